#pragma once
#include <cstdint>

#include "core/pool/bracket.h"

// What a scoring pass needs of the pool's settings, read once per pass and passed in as values.
struct ScoringValues {
    int round[7] = {0, 1, 2, 3, 4, 5, 6};  // index 1..6: points for a correct pick in that round
    bool multiplyBySeed = true;            // a round's value times the winner's seed
};

// Whole-number percentage, halves to the even integer.
int roundPercent(double fraction);

// A team as a bit of a 64-bit set (region position and seed); valid team codes only.
std::uint64_t teamBit(TeamCode code);

// The teams the results show out of the tournament: for every played game, each team of its part
// of the bracket but its winner. Taken from the results alone, so every sheet of a pass is scored
// against the same teams whatever the order of the list, also when the results leave a game
// blank below one that was played.
std::uint64_t eliminatedTeams(const PickArray& results);

// One sheet against a set of results by the standings' rules: what a scoring pass stores in the
// entry, for callers that score picks of their own (a what-if) without touching the list.
struct PickScore {
    std::int32_t roundPoints[RoundCount + 1] = {};  // index 1..6
    std::int32_t total = 0;
    std::int32_t potential = 0;  // the total plus what the open games can still bring
};
// eliminated: eliminatedTeams(results), worked out once for many sheets.
PickScore scorePicks(const PickArray& picks, const PickArray& results, const ScoringValues& values,
                     std::uint64_t eliminated);
inline PickScore scorePicks(const PickArray& picks, const PickArray& results, const ScoringValues& values)
{
    return scorePicks(picks, results, values, eliminatedTeams(results));
}
