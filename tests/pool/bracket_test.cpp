#include <gtest/gtest.h>

#include <set>

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
        SCOPED_TRACE(r.code);
        EXPECT_EQ(MakeTeamCode(std::uint8_t(r.region), std::uint8_t(r.seed)), r.code);
        EXPECT_EQ(SeedOfCode(r.code), r.seed);
        EXPECT_EQ(RegionOfCode(r.code), r.region);
    }
    // The arguments are unsigned bytes.
    EXPECT_EQ(MakeTeamCode(255, 255), 25755);
}

TEST(Games, RoundOfGame)
{
    const std::pair<int, int> rows[] = {{1, 1},  {32, 1}, {33, 2}, {48, 2}, {49, 3}, {56, 3}, {57, 4},
                                        {60, 4}, {61, 5}, {62, 5}, {63, 6}, {0, 0},  {64, 0}, {-1, 0}};
    for (auto [game, round] : rows) EXPECT_EQ(RoundOfGame(game), round) << "game " << game;
    int perRound[RoundCount + 1] = {};
    for (int g = 1; g <= GameCount; ++g) ++perRound[RoundOfGame(g)];
    EXPECT_EQ((std::vector<int>(perRound + 1, perRound + 7)), (std::vector<int>{32, 16, 8, 4, 2, 1}));
}

TEST(Games, NextGame)
{
    struct Row {
        int game, next;
        Slot slot;
    };
    for (const Row& r : {Row{1, 33, Slot::A}, Row{2, 33, Slot::B}, Row{32, 48, Slot::B}, Row{57, 61, Slot::A},
                         Row{60, 62, Slot::B}, Row{61, 63, Slot::A}, Row{62, 63, Slot::B}}) {
        const NextGameInfo next = NextGame(r.game);
        EXPECT_EQ(next.game, r.next) << "game " << r.game;
        EXPECT_EQ(next.slot, r.slot) << "game " << r.game;
    }
    EXPECT_EQ(NextGame(63).game, 0);
    EXPECT_EQ(NextGame(0).game, 0);
}

TEST(Games, FirstRoundPairs)
{
    struct Row {
        int game;
        TeamCode a, b;
    };
    for (const Row& r : {Row{1, 101, 116}, Row{2, 108, 109}, Row{8, 102, 115}, Row{9, 201, 216}, Row{17, 301, 316},
                         Row{32, 402, 415}}) {
        EXPECT_EQ(FirstRoundPair(r.game).a, r.a) << "game " << r.game;
        EXPECT_EQ(FirstRoundPair(r.game).b, r.b) << "game " << r.game;
    }
    // The 32 games hold every team once, in the label order of each region.
    std::set<TeamCode> seen;
    for (int g = 1; g <= 32; ++g) {
        const GamePair pair = FirstRoundPair(g);
        const int k = (g - 1) % 8;
        EXPECT_EQ(SeedOfCode(pair.a), SeedOrder[std::size_t(2 * k)]);
        EXPECT_EQ(SeedOfCode(pair.b), SeedOrder[std::size_t(2 * k + 1)]);
        seen.insert(pair.a);
        seen.insert(pair.b);
    }
    EXPECT_EQ(seen.size(), 64u);
    EXPECT_EQ(FirstRoundPair(33).a, 0);
}

TEST(Feeders, LaterGamesAreFedByTheirTwoFeederPicks)
{
    std::mt19937 rng(7);
    const PickArray picks = RandomBracket(rng);
    const SlotArray slots = DeriveFeeders(picks);
    for (int n = 1; n <= 32; ++n) {
        EXPECT_EQ(slots[n].a, FirstRoundPair(n).a);
        EXPECT_EQ(slots[n].b, FirstRoundPair(n).b);
    }
    for (int n = 33; n <= GameCount; ++n) {
        EXPECT_EQ(slots[n].a, picks[2 * n - 65]) << "game " << n;
        EXPECT_EQ(slots[n].b, picks[2 * n - 64]) << "game " << n;
        EXPECT_TRUE(picks[n] == slots[n].a || picks[n] == slots[n].b) << "game " << n;
    }
}

TEST(Feeders, ClearingGameOneOnlyEmptiesSlotAOfGame33)
{
    PickArray picks{};
    picks[1] = 101;
    picks[2] = 108;
    for (int g : {33, 49, 57, 61, 63}) picks[g] = 101;
    const SlotArray before = DeriveFeeders(picks);
    PickArray cleared = picks;
    cleared[1] = 0;
    const SlotArray after = DeriveFeeders(cleared);
    for (int n = 1; n <= GameCount; ++n) {
        if (n == 33) continue;
        EXPECT_EQ(after[n].a, before[n].a) << "game " << n;
        EXPECT_EQ(after[n].b, before[n].b) << "game " << n;
    }
    EXPECT_EQ(after[33].a, 0);
    EXPECT_EQ(after[33].b, 108);
    for (int g : {33, 49, 57, 61, 63}) EXPECT_EQ(cleared[g], 101);
}

class TeamTable : public ::testing::Test {
protected:
    void SetUp() override { ClearTeams(); }
    void TearDown() override { ClearTeams(); }
};

TEST_F(TeamTable, NamesByCode)
{
    TeamEntry(4, 16).name = "Longwood";
    TeamEntry(1, 1).name = "Aardvarks";
    EXPECT_EQ(TeamName(416), "Longwood");
    EXPECT_EQ(TeamName(101), "Aardvarks");
    EXPECT_EQ(TeamName(0), "");
    EXPECT_EQ(TeamName(102), "");
    // Codes that are no team give the empty name and never reach outside the table.
    for (TeamCode code : {100, 117, 417, 500, 516, 1, -1, -116, 2147483647, -2147483647 - 1})
        EXPECT_EQ(TeamName(code), "") << code;
}

}  // namespace
