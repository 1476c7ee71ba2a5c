#pragma once

// What a scoring pass needs of the pool's settings, read once per pass and passed in as values.
struct ScoringValues {
    int round[7] = {0, 1, 2, 3, 4, 5, 6};  // index 1..6: points for a correct pick in that round
    bool multiplyBySeed = true;            // a round's value times the winner's seed
};

// Whole-number percentage, halves to the even integer.
int roundPercent(double fraction);
