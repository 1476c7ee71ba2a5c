#include <gtest/gtest.h>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "core/pool/sheet_picks.h"
#include "pool_samples.h"

namespace {

using State = SheetPicks::PickState;

std::pair<TeamCode, TeamCode> pairOf(const GamePair& pair) { return {pair.a, pair.b}; }

// The slot a game's winner goes to, as nextGame tells it.
TeamCode slotOfNextGame(const SheetPicks& sheet, int game)
{
    const NextGameInfo next = nextGame(game);
    return next.slot == Slot::A ? sheet.teams(next.game).a : sheet.teams(next.game).b;
}

// A sheet as consistent as its edits leave it: the first-round pairs fixed, every pick 0 or a
// team, and each slot of games 33..63 holding the pick of the game that feeds it.
void expectSlotsFollowPicks(const SheetPicks& sheet, int step)
{
    for (int n = 1; n <= FirstRoundGames; ++n)
        ASSERT_EQ(pairOf(sheet.teams(n)), pairOf(firstRoundPair(n))) << "game " << n << ", step " << step;
    for (int n = 1; n <= GameCount; ++n) {
        ASSERT_TRUE(sheet.pick(n) == 0 || isValidTeamCode(sheet.pick(n))) << "game " << n << ", step " << step;
        if (n < GameCount) {
            ASSERT_EQ(slotOfNextGame(sheet, n), sheet.pick(n)) << "game " << n << ", step " << step;
        }
    }
}

// Random edits as the keys make them (upper team, lower team, none), now and then a cleared
// sheet or a stored entry with damaged codes loaded: a pick moves into the next game's slot and
// changes nothing else, later picks included.
TEST(SheetPicks, RandomEditsPassEachPickOnToTheNextSlotOnly)
{
    std::mt19937 rng(11);
    SheetPicks sheet;
    expectSlotsFollowPicks(sheet, 0);
    for (int step = 1; step <= 20000; ++step) {
        const unsigned op = rng() % 200;
        if (op == 0) {
            sheet.clear();
            EXPECT_EQ(sheet.picks(), PickArray{});
        } else if (op == 1) {
            PickArray stored = randomBracket(rng, int(rng() % (GameCount + 1)));
            const TeamCode odd[] = {9999, -3, makeTeamCode(4, 16)};  // no teams, and a team of another game
            for (int n = 1; n <= GameCount; ++n)
                if (const unsigned r = rng() % 20; r < 3) stored[std::size_t(n)] = odd[r];
            sheet.load(stored);
            for (int n = 1; n <= GameCount; ++n) {
                const TeamCode code = stored[std::size_t(n)];
                ASSERT_EQ(sheet.pick(n), isValidTeamCode(code) ? code : 0) << "game " << n << ", step " << step;
            }
        } else {
            const int game = 1 + int(rng() % GameCount);
            const GamePair teams = sheet.teams(game);
            const TeamCode team = std::array{teams.a, teams.b, 0}[rng() % 3];
            SheetPicks expected = sheet;
            sheet.setWinner(game, team);
            ASSERT_EQ(sheet.pick(game), team);
            for (int n = 1; n <= GameCount; ++n) {
                if (n != game) {
                    ASSERT_EQ(sheet.pick(n), expected.pick(n)) << "game " << n << ", step " << step;
                }
                const bool fed = game < GameCount && nextGame(game).game == n;
                const GamePair before = expected.teams(n), after = sheet.teams(n);
                const bool sameA = before.a == after.a, sameB = before.b == after.b;
                const bool otherSlotKept = !fed || (nextGame(game).slot == Slot::A ? sameB : sameA);
                ASSERT_TRUE(fed ? otherSlotKept : sameA && sameB) << "game " << n << ", step " << step;
            }
        }
        expectSlotsFollowPicks(sheet, step);
        if (testing::Test::HasFatalFailure()) return;
    }
}

// Every game won by its upper team.
PickArray favourites()
{
    PickArray picks{};
    for (int n = 1; n <= GameCount; ++n) picks[std::size_t(n)] = teamsOfGame(picks, n).a;
    return picks;
}

TEST(SheetPicks, CheckAPickAgainstItsGame)
{
    struct Row {
        const char* what;
        PickArray stored;
        std::vector<std::pair<int, TeamCode>> moves;  // setWinner(game, team) after loading
        int game;
        State state;
    };
    PickArray lonelyPick{};
    lonelyPick[33] = 101;
    PickArray damaged = favourites();
    damaged[5] = 9999;
    const Row rows[] = {
        {"no pick", {}, {}, 1, State::Open},
        {"upper team", {}, {{1, 101}}, 1, State::Fits},
        {"lower team", {}, {{1, 116}}, 1, State::Fits},
        {"a team of another game", {}, {{1, 108}}, 1, State::Stray},
        {"a code that is no team is no pick", {}, {{1, 117}}, 1, State::Open},
        {"stored without the games that feed it", lonelyPick, {}, 33, State::Stray},
        {"its feeder changed after it was picked", favourites(), {{1, 116}}, 33, State::Stray},
        {"two games on it still fits", favourites(), {{1, 116}}, 49, State::Fits},
        {"mended, the fault moves on", favourites(), {{1, 116}, {33, 116}}, 49, State::Stray},
        {"champion of a cleared finalist", favourites(), {{61, 0}}, 63, State::Stray},
        {"the cleared finalist", favourites(), {{61, 0}}, 61, State::Open},
        {"a damaged stored code shows as open", damaged, {}, 5, State::Open},
        {"a complete sheet", favourites(), {}, 63, State::Fits},
        {"outside the bracket", favourites(), {}, 64, State::Open},
    };
    for (const Row& row : rows) {
        SheetPicks sheet;
        sheet.load(row.stored);
        for (auto [game, team] : row.moves) sheet.setWinner(game, team);
        EXPECT_EQ(sheet.check(row.game), row.state) << row.what;
    }
}

// The check drops a pick it cannot name without passing the change on.
TEST(SheetPicks, ADroppedPickLeavesTheNextSlot)
{
    SheetPicks sheet;
    sheet.load(favourites());
    sheet.dropPick(1);
    sheet.dropPick(0);
    sheet.setWinner(64, 101);
    EXPECT_EQ((std::tuple{sheet.pick(1), sheet.check(1), sheet.teams(33).a, sheet.pick(33)}),
              (std::tuple{0, State::Open, 101, 101}));
    PickArray expected = favourites();
    expected[1] = 0;
    EXPECT_EQ(sheet.picks(), expected);
}

}  // namespace
