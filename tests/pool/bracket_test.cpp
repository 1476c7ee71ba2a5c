#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "core/pool/bracket.h"

namespace {

TEST(TeamCodes, MakeAndSplit)
{
    for (auto [region, seed, code] : {std::tuple{3, 12, 312}, {1, 1, 101}, {4, 16, 416}, {2, 9, 209}, {0, 0, 0}}) {
        EXPECT_EQ(makeTeamCode(std::uint8_t(region), std::uint8_t(seed)), code);
        EXPECT_EQ((std::pair{regionOfCode(code), seedOfCode(code)}), (std::pair{region, seed})) << code;
    }
    EXPECT_EQ(makeTeamCode(255, 255), 25755) << "the arguments are unsigned bytes";
}

TEST(Games, RoundOfGameAndNextGame)
{
    const std::pair<int, int> rounds[] = {{1, 1},  {32, 1}, {33, 2}, {48, 2}, {49, 3}, {56, 3}, {57, 4},
                                          {60, 4}, {61, 5}, {62, 5}, {63, 6}, {0, 0},  {64, 0}, {-1, 0}};
    for (auto [game, round] : rounds) EXPECT_EQ(roundOfGame(game), round) << "game " << game;

    for (auto [game, next, slot] : {std::tuple{1, 33, Slot::A},
                                    {2, 33, Slot::B},
                                    {32, 48, Slot::B},
                                    {57, 61, Slot::A},
                                    {60, 62, Slot::B},
                                    {61, 63, Slot::A},
                                    {62, 63, Slot::B},
                                    {63, 0, Slot::A},
                                    {0, 0, Slot::A}})
        EXPECT_EQ((std::pair{nextGame(game).game, nextGame(game).slot}), (std::pair{next, slot})) << "game " << game;
}

TEST(Games, FirstRoundPairsFollowTheSeedOrderOfEachRegion)
{
    const int seeds[] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    std::vector<TeamCode> expected, actual;
    for (int g = 1; g <= 33; ++g) {
        actual.insert(actual.end(), {firstRoundPair(g).a, firstRoundPair(g).b});
        const int k = (g - 1) % 8, region = g <= 32 ? (g - 1) / 8 + 1 : 0;
        for (int i : {2 * k, 2 * k + 1}) expected.push_back(region ? region * 100 + seeds[i] : 0);
    }
    EXPECT_EQ(actual, expected);
}

// Feeders are the inverse of nextGame: the two games whose winners go into slots A and B.
TEST(Games, FeederGamesAreTheGamesWhoseWinnersMeet)
{
    for (int n = FirstRoundGames + 1; n <= GameCount; ++n) {
        const FeederGames feeders = feederGames(n);
        EXPECT_EQ((std::tuple{nextGame(feeders.a).game, nextGame(feeders.a).slot, nextGame(feeders.b).game,
                              nextGame(feeders.b).slot}),
                  (std::tuple{n, Slot::A, n, Slot::B}))
            << "game " << n;
    }
    for (auto [game, a, b] : {std::tuple{33, 1, 2},
                              {48, 31, 32},
                              {49, 33, 34},
                              {60, 55, 56},
                              {63, 61, 62},
                              {32, 0, 0},
                              {1, 0, 0},
                              {0, 0, 0},
                              {64, 0, 0},
                              {-5, 0, 0}})
        EXPECT_EQ((std::pair{feederGames(game).a, feederGames(game).b}), (std::pair{a, b})) << "game " << game;
}

TEST(TeamTable, NamesByCodeNeverReachOutsideTheTable)
{
    TeamTable teams;
    teams.entry(4, 16).name = "Longwood";
    teams.entry(1, 1).name = "Aardvarks";
    EXPECT_EQ(teams.teamName(416).bytes + "/" + teams.teamName(101).bytes, "Longwood/Aardvarks");
    for (TeamCode code : {0, 102, 100, 117, 417, 500, 516, 1, -1, -116, 2147483647, -2147483647 - 1})
        EXPECT_EQ(teams.teamName(code).bytes, "") << code;
}

}  // namespace
