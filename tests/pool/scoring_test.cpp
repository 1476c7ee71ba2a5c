#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/pool/players.h"
#include "pool_samples.h"
#include "core/settings/settings.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

using Picks = std::initializer_list<std::pair<int, TeamCode>>;

class Scoring : public ::testing::Test {
protected:
    void SetUp() override { players.setScoringSource([this] { return readValues(); }); }
    ScoringValues readValues()
    {
        TRegIniFile ini(store);
        return settings::readScoringValues(ini);
    }

    TPlayer& add(std::int32_t id, Picks picks)
    {
        TPlayer e = MakeEntry(id, id == ResultsId ? ResultsName : "P");
        for (auto [game, code] : picks) e.Picks[game] = code;
        e.Modified = 1;
        return *players.add(e);
    }
    TPlayer& addEntry(Picks picks) { return add(players.count() + 1, picks); }
    // The stored round values 1..6 and seed switch, as far as given.
    void setScoring(const std::vector<const char*>& values)
    {
        store.values.clear();
        for (int i = 0; i < int(values.size()); ++i)
            store.values[{settings::Scoring, i < 6 ? settings::roundName(i + 1) : settings::MultiplybySeed}] =
                values[i];
    }
    // Round points 1..6, then total, potential and the modified mark.
    static std::vector<int> state(const TPlayer& p)
    {
        std::vector<int> out(p.RoundPoints + 1, p.RoundPoints + 7);
        out.insert(out.end(), {p.Total, p.Potential, p.Modified});
        return out;
    }

    MemorySettings store;
    TempDir dir;
    RecordingHost host;
    TTeamTable teams;
    TPlayers players{host, dir.path(), teams};
};

TEST_F(Scoring, WorkedExample)
{
    add(ResultsId, {{1, 101}, {2, 109}});
    TPlayer& p = addEntry({{1, 101}, {2, 108}, {33, 101}, {49, 101}, {63, 101}});
    ASSERT_TRUE(players.UpdateStandings(true));
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
        TPlayer& p = addEntry({{3, 112}, {63, 101}});
        players.UpdateStandings(true);
        EXPECT_EQ((std::pair{p.Total, p.Potential}), (std::pair{total, total})) << "expected " << total;
    }
}

TEST_F(Scoring, PerfectSheetHalfwayAndAtTheEnd)
{
    std::mt19937 rng(9);
    const PickArray actual = RandomBracket(rng);
    TPlayer& results = *players.add(MakeEntry(ResultsId, ResultsName, actual));
    std::fill(results.Picks.begin() + 33, results.Picks.end(), 0);
    TPlayer& p = *players.add(MakeEntry(1, "Perfect", actual));
    int played = 0, open = 0;
    for (int g = 1; g <= GameCount; ++g) (g <= 32 ? played : open) += SeedOfCode(actual[g]) * RoundOfGame(g);
    for (int pass = 0; pass < 2; ++pass) {
        results.Modified = 1;
        players.UpdateStandings(true);
        EXPECT_EQ((std::pair{p.Total, p.Potential}), (std::pair{played + pass * open, played + open}));
        EXPECT_EQ(state(results), std::vector<int>(9, 0));
        results.Picks = actual;
    }
}

// Who is out comes from the results alone: not from the sheets scored before in the pass.
TEST_F(Scoring, EliminatedTeamsComeFromTheResults)
{
    add(ResultsId, {{2, 109}});
    TPlayer& before = addEntry({{33, 108}});
    addEntry({{2, 108}});
    TPlayer& after = addEntry({{33, 108}});
    players.UpdateStandings(true);
    EXPECT_EQ((std::pair{before.Potential, after.Potential}), (std::pair{0, 0})) << "108 lost game 2";
}

// Game 2 left blank below game 33, which was played: its two teams are out all the same, and
// identical sheets score alike wherever they stand in the list.
TEST_F(Scoring, IdenticalSheetsScoreAlikeWhenTheResultsLeaveAGap)
{
    add(ResultsId, {{1, 101}, {33, 101}});
    std::vector<TPlayer*> sheets;
    for (int i = 0; i < 8; ++i) sheets.push_back(&addEntry({{1, 101}, {2, 109}, {33, 109}, {49, 109}, {57, 101}}));
    players.UpdateStandings(true);
    for (const TPlayer* p : sheets) EXPECT_EQ((std::pair{p->Total, p->Potential}), (std::pair{1, 1 + 1 * 4})) << p->Id;
}

TEST_F(Scoring, OnlyChangedEntriesUnlessResultsChanged)
{
    TPlayer& results = add(ResultsId, {{1, 101}});
    TPlayer& changed = addEntry({{1, 101}});
    TPlayer& same = addEntry({{1, 101}});
    players.UpdateStandings(true);
    changed.Picks[1] = same.Picks[1] = 116;  // only one is marked: the other keeps its old points
    changed.Modified = 1;
    host.progress.clear();
    players.UpdateStandings(true);
    EXPECT_EQ((std::pair{changed.Total, same.Total}), (std::pair{0, 1}));
    EXPECT_EQ(host.progress, (std::vector<int>{67, 0})) << "only the changed entry reports";

    results.Modified = 1;
    players.UpdateStandings(true);
    EXPECT_EQ(same.Total, 0);
}

// Eight entries: i + 1 over 8 gives the halves 12.5, 37.5, 62.5 and 87.5.
TEST_F(Scoring, ProgressRoundsHalvesToEven)
{
    for (auto [resultsAt, progress] : {std::pair{0, std::vector{25, 38, 50, 62, 75, 88, 100, 0}},
                                       std::pair{7, std::vector{12, 25, 38, 50, 62, 75, 88, 0}}}) {
        players.clear();
        host.progress.clear();
        for (int i = 0; i < 8; ++i) add(i == resultsAt ? ResultsId : i + 1, {{1, 101}});
        players.UpdateStandings(true);
        EXPECT_EQ(host.progress, progress) << "results at " << resultsAt;
    }
}

TEST_F(Scoring, WhenAPassRuns)
{
    EXPECT_FALSE(players.UpdateStandings(true)) << "empty list";
    TPlayer& p = addEntry({{1, 101}});
    EXPECT_FALSE(players.UpdateStandings(true)) << "no results";
    EXPECT_EQ(host.progress, std::vector<int>{0});
    add(ResultsId, {{1, 101}});
    EXPECT_FALSE(players.UpdateStandings(false)) << "no standings window";
    EXPECT_EQ((std::pair{p.Total, int(p.Modified)}), (std::pair{0, 1}));

    host.standingsOpen = true;
    EXPECT_TRUE(players.UpdateStandings(false));
    EXPECT_TRUE(players.UpdateStandings(true));
    EXPECT_EQ(host.standingsShown, (std::vector<bool>{false, true}));
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"Updating pool standings...", "", UpdatingStandingsText, "",
                                                          UpdatingStandingsText, ""}));
    EXPECT_EQ(p.Total, 1);
}

// The first-round teams that can reach a game.
void AddPartOf(int game, std::set<TeamCode>& teams)
{
    if (game <= 32) {
        teams.insert({firstRoundPair(game).a, firstRoundPair(game).b});
        return;
    }
    AddPartOf(2 * game - 65, teams);
    AddPartOf(2 * game - 64, teams);
}

// The rules game by game, written plainly, against the pass on random and inconsistent pools: a
// team is out once a played game of its part of the bracket went to another team.
std::vector<int> ScoreByTheRules(TPlayers& list, const ScoringValues& v)
{
    std::vector<int> progress;
    TPlayer& results = list[list.IndexOfId(ResultsId)];
    std::set<TeamCode> field, eliminated;
    AddPartOf(63, field);
    for (int g = 1; g <= GameCount; ++g) {
        std::set<TeamCode> part;
        AddPartOf(g, part);
        for (TeamCode team : part)
            if (results.Picks[g] != 0 && team != results.Picks[g]) eliminated.insert(team);
    }
    for (int i = 0; i < list.count(); ++i) {
        TPlayer& e = list[i];
        if (&e == &results || (!results.Modified && !e.Modified)) continue;
        long long points[7] = {}, potential = 0, total = 0;
        for (int g = 1; g <= GameCount; ++g) {
            const int r = RoundOfGame(g);
            const TeamCode w = results.Picks[g], p = e.Picks[g];
            const long long value = v.multiplyBySeed ? (long long)SeedOfCode(w != 0 ? w : p) * v.round[r] : v.round[r];
            if (w != 0 && p == w) points[r] += value;
            else if (w == 0 && field.count(p) && !eliminated.count(p)) potential += value;
        }
        for (int r = 1; r <= 6; ++r) total += e.RoundPoints[r] = std::int32_t(points[r]);
        e.Total = std::int32_t(total);
        e.Potential = std::int32_t(potential + total);
        const int percent = int(std::nearbyint(double(i + 1) / double(list.count()) * 100.0));
        if (percent != (progress.empty() ? 0 : progress.back())) progress.push_back(percent);
        e.Modified = 0;
    }
    results.Modified = 0;
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
        players[0].Picks = RandomBracket(rng, played);
        for (int i = 0; i < 300; ++i) players.add(MakeEntry(i + 1, "P", RandomBracket(rng)));
        std::set<TeamCode> lost;  // the former rule
        std::vector<int> expected;
        for (int i = 1; i < players.count(); ++i) {
            int potential = 0;
            for (int g = 1; g <= GameCount; ++g) {
                const TeamCode w = players[0].Picks[g], p = players[i].Picks[g];
                if (w != 0 && p != w) lost.insert(p);
                if (w != 0 && p == w) potential += SeedOfCode(w) * RoundOfGame(g);
                if (w == 0 && !lost.count(p)) potential += SeedOfCode(p) * RoundOfGame(g);
            }
            expected.push_back(potential);
        }
        players.UpdateStandings(true);
        std::vector<int> potentials;
        for (int i = 1; i < players.count(); ++i) potentials.push_back(players[i].Potential);
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
        TPlayer& results = add(ResultsId, {});
        results.Picks = RandomBracket(rng, 50);
        results.Picks[5] = results.Picks[40] = 0;
        for (int i = 0; i < 300; ++i) {
            TPlayer& e = addEntry({});
            e.Picks = RandomBracket(rng);
            if (i % 7 == 0) e.Picks[1 + rng() % 63] = i % 2 ? 1000000 : 117;
        }
        players.UpdateStandings(true);
        for (int i = 1; i < players.count(); ++i) {
            const PickScore score = scorePicks(players[i].Picks, results.Picks, readValues());
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
        PickArray picks = RandomBracket(rng, played);
        for (int g = 1; g <= GameCount && !consistent; ++g)
            if (rng() % 4 == 0) picks[g] = odd[rng() % std::size(odd)];
        return picks;
    };
    // Sound results with games left blank below played ones.
    auto gappedResults = [&] {
        PickArray picks = RandomBracket(rng, 33 + int(rng() % 31));
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
            TPlayers copy(host, dir.path(), teams);
            const int resultsAt = int(rng() % std::uint32_t(count));
            for (int i = 0; i < count; ++i) {
                // Share -1: sound sheets, results with gaps.
            TPlayer e = i == resultsAt ? MakeEntry(ResultsId, ResultsName,
                                                   oddShare < 0 ? gappedResults() : randomPicks(int(rng() % 64), consistent()))
                                           : MakeEntry(i + 1, "P", randomPicks(GameCount, consistent()));
                e.Modified = std::uint8_t(rng() % 3 == 0);
                players.add(e);
                copy.add(e);
            }
            for (int pass = 0; pass < 2; ++pass) {  // the second pass rescores only the marked entries
                host.progress.clear();
                players.UpdateStandings(true);
                TRegIniFile ini(store);
                EXPECT_EQ(host.progress, ScoreByTheRules(copy, settings::readScoringValues(ini)));
                for (int i = 0; i < count; ++i) ASSERT_EQ(state(players[i]), state(copy[i])) << "entry " << i;
                for (int i = 0; i < count; i += 3) players[i].Modified = copy[i].Modified = 1;
            }
        }
    }
}

}  // namespace
