#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/pool/players.h"
#include "core/settings/settings.h"
#include "pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

using Picks = std::initializer_list<std::pair<int, TeamCode>>;

class Scoring : public ::testing::Test {
protected:
    void SetUp() override
    {
        players.setScoringSource([this] { return readValues(); });
    }
    ScoringValues readValues()
    {
        SettingsFile ini(store);
        return settings::readScoringValues(ini);
    }

    Player& add(std::int32_t id, Picks picks)
    {
        Player e = makeEntry(id, id == ResultsId ? ResultsName : "P");
        for (auto [game, code] : picks) e.picks[game] = code;
        e.modified = 1;
        players.add(e);
        return players.unjournaledEntry(players.count() - 1);
    }
    Player& addEntry(Picks picks) { return add(players.count() + 1, picks); }
    // The stored round values 1..6 and seed switch, as far as given.
    void setScoring(const std::vector<const char*>& values)
    {
        store.values.clear();
        for (int i = 0; i < int(values.size()); ++i)
            store.values[{settings::Scoring, i < 6 ? settings::roundName(i + 1) : settings::MultiplybySeed}] =
                values[i];
    }
    // Round points 1..6, then total, potential and the modified mark.
    static std::vector<int> state(const Player& p)
    {
        std::vector<int> out(p.roundPoints + 1, p.roundPoints + 7);
        out.insert(out.end(), {p.total, p.potential, p.modified});
        return out;
    }

    MemorySettings store;
    TempDir dir;
    RecordingHost host;
    TeamTable teams;
    PlayerList players{host, dir.path(), teams};
};

TEST_F(Scoring, WorkedExample)
{
    add(ResultsId, {{1, 101}, {2, 109}});
    Player& p = addEntry({{1, 101}, {2, 108}, {33, 101}, {49, 101}, {63, 101}});
    ASSERT_TRUE(players.updateStandings());
    EXPECT_EQ(state(p), (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 1 + 2 + 3 + 6, 0}));
}

TEST_F(Scoring, GameValues)
{
    // A correct 12 seed in game 3 and a correct 1 seed as champion.
    const std::pair<std::vector<const char*>, int> rows[] = {
        {{}, 12 * 1 + 1 * 6},  // the defaults multiply by seed
        {{"10", "20", "30", "40", "50", "60", "1"}, 12 * 10 + 1 * 60},
        {{"10", "20", "30", "40", "50", "60", "0"}, 10 + 60},
        {{"", "abc", "x", "", "", "-", "x"}, 12 * 1 + 1 * 6},  // bad texts take the defaults
        {{"-2", "0", "0", "0", "0", "-1", "2"}, -24 - 1},
    };
    for (const auto& [values, total] : rows) {
        setScoring(values);
        players.clear();
        add(ResultsId, {{3, 112}, {63, 101}});
        Player& p = addEntry({{3, 112}, {63, 101}});
        players.updateStandings();
        EXPECT_EQ((std::pair{p.total, p.potential}), (std::pair{total, total})) << "expected " << total;
    }
}

TEST_F(Scoring, PerfectSheetHalfwayAndAtTheEnd)
{
    std::mt19937 rng(9);
    const PickArray actual = randomBracket(rng);
    players.add(makeEntry(ResultsId, ResultsName, actual));
    Player& results = players.unjournaledEntry(0);
    std::fill(results.picks.begin() + 33, results.picks.end(), 0);
    const Player& p = *players.add(makeEntry(1, "Perfect", actual));
    int played = 0, open = 0;
    for (int g = 1; g <= GameCount; ++g) (g <= 32 ? played : open) += seedOfCode(actual[g]) * roundOfGame(g);
    for (int pass = 0; pass < 2; ++pass) {
        results.modified = 1;
        players.updateStandings();
        EXPECT_EQ((std::pair{p.total, p.potential}), (std::pair{played + pass * open, played + open}));
        EXPECT_EQ(state(results), std::vector<int>(9, 0));
        results.picks = actual;
    }
}

// Who is out comes from the results alone: not from the sheets scored before in the pass.
TEST_F(Scoring, EliminatedTeamsComeFromTheResults)
{
    add(ResultsId, {{2, 109}});
    Player& before = addEntry({{33, 108}});
    addEntry({{2, 108}});
    Player& after = addEntry({{33, 108}});
    players.updateStandings();
    EXPECT_EQ((std::pair{before.potential, after.potential}), (std::pair{0, 0})) << "108 lost game 2";
}

// Game 2 left blank below game 33, which was played: its two teams are out all the same, and
// identical sheets score alike wherever they stand in the list.
TEST_F(Scoring, IdenticalSheetsScoreAlikeWhenTheResultsLeaveAGap)
{
    add(ResultsId, {{1, 101}, {33, 101}});
    std::vector<Player*> sheets;
    for (int i = 0; i < 8; ++i) sheets.push_back(&addEntry({{1, 101}, {2, 109}, {33, 109}, {49, 109}, {57, 101}}));
    players.updateStandings();
    for (const Player* p : sheets) EXPECT_EQ((std::pair{p->total, p->potential}), (std::pair{1, 1 + 1 * 4})) << p->id;
}

TEST_F(Scoring, OnlyChangedEntriesUnlessResultsChanged)
{
    Player& results = add(ResultsId, {{1, 101}});
    Player& changed = addEntry({{1, 101}});
    Player& same = addEntry({{1, 101}});
    players.updateStandings();
    changed.picks[1] = same.picks[1] = 116;  // only one is marked: the other keeps its old points
    changed.modified = 1;
    host.progress.clear();
    players.updateStandings();
    EXPECT_EQ((std::pair{changed.total, same.total}), (std::pair{0, 1}));
    EXPECT_EQ(host.progress, (std::vector<int>{67, 0})) << "only the changed entry reports";

    results.modified = 1;
    players.updateStandings();
    EXPECT_EQ(same.total, 0);
}

// Eight entries: i + 1 over 8 gives the halves 12.5, 37.5, 62.5 and 87.5.
TEST_F(Scoring, ProgressRoundsHalvesToEven)
{
    for (auto [resultsAt, progress] : {std::pair{0, std::vector{25, 38, 50, 62, 75, 88, 100, 0}},
                                       std::pair{7, std::vector{12, 25, 38, 50, 62, 75, 88, 0}}}) {
        players.clear();
        host.progress.clear();
        for (int i = 0; i < 8; ++i) add(i == resultsAt ? ResultsId : i + 1, {{1, 101}});
        players.updateStandings();
        EXPECT_EQ(host.progress, progress) << "results at " << resultsAt;
    }
}

TEST_F(Scoring, WhenAPassRuns)
{
    EXPECT_FALSE(players.updateStandings()) << "empty list";
    Player& p = addEntry({{1, 101}});
    EXPECT_FALSE(players.updateStandings()) << "no results";
    EXPECT_EQ(host.progress, std::vector<int>{0});
    add(ResultsId, {{1, 101}});
    EXPECT_TRUE(players.updateStandings());
    EXPECT_TRUE(players.updateStandings());
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"Updating pool standings...", "", UpdatingStandingsText, "",
                                                          UpdatingStandingsText, ""}));
    EXPECT_EQ(p.total, 1);
}

// The first-round teams that can reach a game.
void addPartOf(int game, std::set<TeamCode>& teams)
{
    if (game <= 32) {
        teams.insert({firstRoundPair(game).a, firstRoundPair(game).b});
        return;
    }
    addPartOf(2 * game - 65, teams);
    addPartOf(2 * game - 64, teams);
}

// The rules game by game, written plainly, against the pass on random and inconsistent pools: a
// team is out once a played game of its part of the bracket went to another team.
std::vector<int> scoreByTheRules(PlayerList& list, const ScoringValues& v)
{
    std::vector<int> progress;
    Player& results = list.unjournaledEntry(list.indexOfId(ResultsId));
    std::set<TeamCode> field, eliminated;
    addPartOf(63, field);
    for (int g = 1; g <= GameCount; ++g) {
        std::set<TeamCode> part;
        addPartOf(g, part);
        for (TeamCode team : part)
            if (results.picks[g] != 0 && team != results.picks[g]) eliminated.insert(team);
    }
    for (int i = 0; i < list.count(); ++i) {
        Player& e = list.unjournaledEntry(i);
        if (&e == &results || (!results.modified && !e.modified)) continue;
        long long points[7] = {}, potential = 0, total = 0;
        for (int g = 1; g <= GameCount; ++g) {
            const int r = roundOfGame(g);
            const TeamCode w = results.picks[g], p = e.picks[g];
            const long long value = v.multiplyBySeed ? (long long)seedOfCode(w != 0 ? w : p) * v.round[r] : v.round[r];
            if (w != 0 && p == w)
                points[r] += value;
            else if (w == 0 && field.count(p) && !eliminated.count(p))
                potential += value;
        }
        for (int r = 1; r <= 6; ++r) total += e.roundPoints[r] = std::int32_t(points[r]);
        e.total = std::int32_t(total);
        e.potential = std::int32_t(potential + total);
        const int percent = int(std::nearbyint(double(i + 1) / double(list.count()) * 100.0));
        if (percent != (progress.empty() ? 0 : progress.back())) progress.push_back(percent);
        e.modified = 0;
    }
    results.modified = 0;
    progress.push_back(0);
    return progress;
}

// Sound sheets and results without a gap score as they did when each pass gathered the losing
// teams from the wrong picks of the sheets scored before, in list order.
TEST_F(Scoring, WithoutAGapTheFiguresAreThoseOfTheListOrderRule)
{
    std::mt19937 rng(5);
    for (int played : {0, 17, 32, 40, 56, 62}) {
        players.clear();
        add(ResultsId, {});
        players.unjournaledEntry(0).picks = randomBracket(rng, played);
        for (int i = 0; i < 300; ++i) players.add(makeEntry(i + 1, "P", randomBracket(rng)));
        std::set<TeamCode> lost;  // the former rule
        std::vector<int> expected;
        for (int i = 1; i < players.count(); ++i) {
            int potential = 0;
            for (int g = 1; g <= GameCount; ++g) {
                const TeamCode w = players[0].picks[g], p = players[i].picks[g];
                if (w != 0 && p != w) lost.insert(p);
                if (w != 0 && p == w) potential += seedOfCode(w) * roundOfGame(g);
                if (w == 0 && !lost.count(p)) potential += seedOfCode(p) * roundOfGame(g);
            }
            expected.push_back(potential);
        }
        players.updateStandings();
        std::vector<int> potentials;
        for (int i = 1; i < players.count(); ++i) potentials.push_back(players[i].potential);
        EXPECT_EQ(potentials, expected) << played << " games played";
    }
}

// The one-sheet function gives what a pass stores, damaged picks and results with gaps included.
TEST_F(Scoring, ScorePicksGivesWhatAPassStores)
{
    std::mt19937 rng(3);
    for (const bool seeds : {true, false}) {
        setScoring({"3", "-2", "7", "1000", "0", "11", seeds ? "1" : "0"});
        players.clear();
        Player& results = add(ResultsId, {});
        results.picks = randomBracket(rng, 50);
        results.picks[5] = results.picks[40] = 0;
        for (int i = 0; i < 300; ++i) {
            Player& e = addEntry({});
            e.picks = randomBracket(rng);
            if (i % 7 == 0) e.picks[1 + rng() % 63] = i % 2 ? 1000000 : 117;
        }
        players.updateStandings();
        for (int i = 1; i < players.count(); ++i) {
            const PickScore score = scorePicks(players[i].picks, results.picks, readValues());
            std::vector<int> figures(score.roundPoints + 1, score.roundPoints + 7);
            figures.insert(figures.end(), {score.total, score.potential, 0});
            ASSERT_EQ(figures, state(players[i])) << "entry " << i << (seeds ? " by seed" : "");
        }
    }
}

TEST_F(Scoring, MatchesTheRulesGameByGame)
{
    std::mt19937 rng(17);
    const TeamCode odd[] = {0, 0, 101, 116, 208, 499, 500, -3, 117, 1000000};
    auto randomPicks = [&](int played, bool consistent) {
        PickArray picks = randomBracket(rng, played);
        for (int g = 1; g <= GameCount && !consistent; ++g)
            if (rng() % 4 == 0) picks[g] = odd[rng() % std::size(odd)];
        return picks;
    };
    // Sound results with games left blank below played ones.
    auto gappedResults = [&] {
        PickArray picks = randomBracket(rng, 33 + int(rng() % 31));
        for (int g = 1; g <= 48; ++g)
            if (rng() % 3 == 0) picks[g] = 0;
        return picks;
    };
    for (int count : {2, 9, 199, 200, 201, 2001}) {
        for (int oddShare : {0, 1, 3, -1}) {  // in thirds: a pool can mix damaged sheets with sound ones
            SCOPED_TRACE(::testing::Message() << count << " entries, odd share " << oddShare);
            auto consistent = [&] { return int(rng() % 3) >= oddShare; };
            setScoring(rng() % 2 ? std::vector<const char*>{} : std::vector{"3", "-2", "7", "1000", "0", "11"});
            store.values[{settings::Scoring, settings::MultiplybySeed}] = rng() % 2 ? "1" : "0";
            players.clear();
            PlayerList copy(host, dir.path(), teams);
            const int resultsAt = int(rng() % std::uint32_t(count));
            for (int i = 0; i < count; ++i) {
                // Share -1: sound sheets, results with gaps.
                Player e = i == resultsAt
                               ? makeEntry(ResultsId, ResultsName,
                                           oddShare < 0 ? gappedResults() : randomPicks(int(rng() % 64), consistent()))
                               : makeEntry(i + 1, "P", randomPicks(GameCount, consistent()));
                e.modified = std::uint8_t(rng() % 3 == 0);
                players.add(e);
                copy.add(e);
            }
            for (int pass = 0; pass < 2; ++pass) {  // the second pass rescores only the marked entries
                host.progress.clear();
                players.updateStandings();
                SettingsFile ini(store);
                EXPECT_EQ(host.progress, scoreByTheRules(copy, settings::readScoringValues(ini)));
                for (int i = 0; i < count; ++i) ASSERT_EQ(state(players[i]), state(copy[i])) << "entry " << i;
                for (int i = 0; i < count; i += 3)
                    players.unjournaledEntry(i).modified = copy.unjournaledEntry(i).modified = 1;
            }
        }
    }
}

}  // namespace
