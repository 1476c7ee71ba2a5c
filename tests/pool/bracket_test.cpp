#include <gtest/gtest.h>

#include "pool/bracket.h"
#include "pool_samples.h"

namespace {

TEST(TeamCodes, MakeAndSplit)
{
    struct Row {
        int region, seed;
        TeamCode code;
    };
    for (const Row& r : {Row{3, 12, 312}, Row{1, 1, 101}, Row{4, 16, 416}, Row{2, 9, 209}, Row{0, 0, 0}}) {
        EXPECT_EQ(MakeTeamCode(std::uint8_t(r.region), std::uint8_t(r.seed)), r.code);
        EXPECT_EQ((std::pair{RegionOfCode(r.code), SeedOfCode(r.code)}), (std::pair{r.region, r.seed})) << r.code;
    }
    EXPECT_EQ(MakeTeamCode(255, 255), 25755) << "the arguments are unsigned bytes";
}

TEST(Games, RoundOfGameAndNextGame)
{
    const std::pair<int, int> rounds[] = {{1, 1},  {32, 1}, {33, 2}, {48, 2}, {49, 3}, {56, 3}, {57, 4},
                                          {60, 4}, {61, 5}, {62, 5}, {63, 6}, {0, 0},  {64, 0}, {-1, 0}};
    for (auto [game, round] : rounds) EXPECT_EQ(RoundOfGame(game), round) << "game " << game;

    struct Row {
        int game, next;
        Slot slot;
    };
    for (const Row& r : {Row{1, 33, Slot::A}, Row{2, 33, Slot::B}, Row{32, 48, Slot::B}, Row{57, 61, Slot::A},
                         Row{60, 62, Slot::B}, Row{61, 63, Slot::A}, Row{62, 63, Slot::B}, Row{63, 0, Slot::A},
                         Row{0, 0, Slot::A}}) {
        const NextGameInfo next = NextGame(r.game);
        EXPECT_EQ((std::pair{next.game, next.slot}), (std::pair{r.next, r.slot})) << "game " << r.game;
    }
}

TEST(Games, FirstRoundPairsFollowTheSeedOrderOfEachRegion)
{
    const int seeds[] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    std::vector<TeamCode> expected, actual;
    for (int g = 1; g <= 33; ++g) {
        actual.insert(actual.end(), {FirstRoundPair(g).a, FirstRoundPair(g).b});
        const int k = (g - 1) % 8, region = g <= 32 ? (g - 1) / 8 + 1 : 0;
        for (int i : {2 * k, 2 * k + 1}) expected.push_back(region ? region * 100 + seeds[i] : 0);
    }
    EXPECT_EQ(actual, expected);
}

// Clearing the pick of game 1 empties only slot A of game 33.
TEST(Feeders, EachGameIsFedByItsFirstRoundPairOrItsTwoFeederPicks)
{
    std::mt19937 rng(7);
    PickArray picks = RandomBracket(rng);
    for (bool cleared : {false, true}) {
        picks[1] = cleared ? 0 : picks[1];
        const SlotArray slots = DeriveFeeders(picks);
        for (int n = 1; n <= GameCount; ++n) {
            const GamePair feeders = n <= 32 ? FirstRoundPair(n) : GamePair{picks[2 * n - 65], picks[2 * n - 64]};
            EXPECT_EQ((std::pair{slots[n].a, slots[n].b}), (std::pair{feeders.a, feeders.b})) << "game " << n;
        }
        EXPECT_EQ(slots[33].a == 0, cleared);
    }
}

TEST(TeamTable, NamesByCodeNeverReachOutsideTheTable)
{
    ClearTeams();
    TeamEntry(4, 16).name = "Longwood";
    TeamEntry(1, 1).name = "Aardvarks";
    const std::pair<TeamCode, const char*> rows[] = {
        {416, "Longwood"}, {101, "Aardvarks"}, {0, ""},   {102, ""},        {100, ""},         {117, ""},
        {417, ""},         {500, ""},          {516, ""}, {1, ""},          {-1, ""},          {-116, ""},
        {2147483647, ""},  {-2147483647 - 1, ""}};
    for (auto [code, name] : rows) EXPECT_EQ(TeamName(code), name) << code;
    ClearTeams();
}

}  // namespace
