#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "pool/players.h"
#include "pool_samples.h"
#include "settings/settings.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

struct OpenStandings : IStandingsView {
    void RefreshStandings() override {}
};

class Scoring : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSettingsStore(&store);
        players.SetWriteOnDestroy(false);
    }
    void TearDown() override { SetSettingsStore(nullptr); }

    TPlayer& addResults(std::initializer_list<std::pair<int, TeamCode>> winners)
    {
        TPlayer results = MakeEntry(ResultsId, ResultsName);
        for (auto [game, code] : winners) results.Picks[game] = code;
        results.Modified = 1;
        players.HasResults = 1;
        return *players.Add(results);
    }
    TPlayer& addEntry(std::initializer_list<std::pair<int, TeamCode>> picks, std::int32_t id = 0)
    {
        TPlayer e = MakeEntry(id ? id : players.Count() + 1, "P");
        for (auto [game, code] : picks) e.Picks[game] = code;
        e.Modified = 1;
        return *players.Add(e);
    }
    void setRounds(std::initializer_list<const char*> values, const char* seed)
    {
        int r = 1;
        for (const char* v : values) store.values[{settings::Scoring, settings::RoundName(r++)}] = v;
        if (seed) store.values[{settings::Scoring, settings::MultiplybySeed}] = seed;
    }
    static std::vector<int> rounds(const TPlayer& p) { return {p.RoundPoints + 1, p.RoundPoints + 7}; }

    MemorySettings store;
    TempDir dir;
    RecordingHost host;
    TPlayers players{host, dir.path()};
};

TEST_F(Scoring, WorkedExample)
{
    addResults({{1, 101}, {2, 109}});
    TPlayer& p = addEntry({{1, 101}, {2, 108}, {33, 101}, {49, 101}, {63, 101}});
    ASSERT_TRUE(players.UpdateStandings(true));
    EXPECT_EQ(rounds(p), (std::vector<int>{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(p.Total, 1);
    EXPECT_EQ(p.Potential, 2 + 3 + 6 + 1);
    EXPECT_EQ(p.Modified, 0);
}

TEST_F(Scoring, GameValues)
{
    struct Row {
        const char* what;
        std::initializer_list<const char*> rounds;
        const char* seedSwitch;
        int total;
    };
    // A correct 12 seed in game 3 and a correct 1 seed as champion.
    const Row rows[] = {
        {"defaults multiply by seed", {}, nullptr, 12 * 1 + 1 * 6},
        {"seed on", {"10", "20", "30", "40", "50", "60"}, "1", 12 * 10 + 1 * 60},
        {"seed off", {"10", "20", "30", "40", "50", "60"}, "0", 10 + 60},
        {"bad texts take the defaults", {"", "abc", "x", "", "", "-"}, "x", 12 * 1 + 1 * 6},
        {"negative values", {"-2", "0", "0", "0", "0", "-1"}, "2", -24 - 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        store.values.clear();
        setRounds(r.rounds, r.seedSwitch);
        players.Clear();
        addResults({{3, 112}, {63, 101}});
        TPlayer& p = addEntry({{3, 112}, {63, 101}});
        players.UpdateStandings(true);
        EXPECT_EQ(p.Total, r.total);
        EXPECT_EQ(p.Potential, p.Total);
    }
}

TEST_F(Scoring, PerfectSheetHalfwayAndAtTheEnd)
{
    std::mt19937 rng(9);
    const PickArray actual = RandomBracket(rng);
    PickArray half = actual;
    for (int g = 33; g <= GameCount; ++g) half[g] = 0;
    TPlayer& results = *players.Add(MakeEntry(ResultsId, ResultsName, half));
    results.Modified = 1;
    TPlayer& p = *players.Add(MakeEntry(1, "Perfect", actual));
    players.UpdateStandings(true);
    int played = 0, open = 0;
    for (int g = 1; g <= GameCount; ++g)
        (g <= 32 ? played : open) += SeedOfCode(actual[g]) * RoundOfGame(g);
    EXPECT_EQ(p.Total, played);
    EXPECT_EQ(p.Potential, played + open);
    EXPECT_EQ(rounds(results), std::vector<int>(6, 0));
    EXPECT_EQ(results.Total, 0);

    results.Picks = actual;
    results.Modified = 1;
    players.UpdateStandings(true);
    EXPECT_EQ(p.Total, played + open);
    EXPECT_EQ(p.Potential, p.Total);
}

// The set of losing teams is shared by every entry of a pass, in list order.
TEST_F(Scoring, EliminatedSetIsSharedAcrossEntries)
{
    addResults({{2, 109}});
    TPlayer& loser = addEntry({{2, 108}});
    TPlayer& later = addEntry({{33, 108}});
    players.UpdateStandings(true);
    EXPECT_EQ(later.Potential, 0) << "108 lost game 2 in the entry scored before";

    players.Clear();
    addResults({{2, 109}});
    TPlayer& first = addEntry({{33, 108}});
    addEntry({{2, 108}});
    players.UpdateStandings(true);
    EXPECT_EQ(first.Potential, 8 * 2) << "scored before anybody had 108 losing";
    (void)loser;
}

TEST_F(Scoring, OnlyChangedEntriesUnlessResultsChanged)
{
    TPlayer& results = addResults({{1, 101}});
    TPlayer& changed = addEntry({{1, 101}});
    TPlayer& same = addEntry({{1, 101}});
    players.UpdateStandings(true);
    ASSERT_EQ(same.Total, 1);
    EXPECT_EQ(results.Modified, 0);

    changed.Picks[1] = 116;
    changed.Modified = 1;
    same.Picks[1] = 116;  // not marked: keeps its old points
    host.progress.clear();
    players.UpdateStandings(true);
    EXPECT_EQ(changed.Total, 0);
    EXPECT_EQ(same.Total, 1);
    EXPECT_EQ(host.progress, (std::vector<int>{67, 0})) << "only the changed entry reports";

    results.Modified = 1;
    players.UpdateStandings(true);
    EXPECT_EQ(same.Total, 0);
}

TEST_F(Scoring, ProgressRoundsHalvesToEven)
{
    struct Row {
        int resultsAt;
        std::vector<int> progress;
    };
    // Eight entries: i + 1 over 8 gives the halves 12.5, 37.5, 62.5 and 87.5.
    const Row rows[] = {{0, {25, 38, 50, 62, 75, 88, 100, 0}}, {7, {12, 25, 38, 50, 62, 75, 88, 0}}};
    for (const Row& r : rows) {
        players.Clear();
        host.progress.clear();
        for (int i = 0; i < 8; ++i) {
            if (i == r.resultsAt)
                addResults({{1, 101}});
            else
                addEntry({{1, 101}});
        }
        players.UpdateStandings(true);
        EXPECT_EQ(host.progress, r.progress) << "results at " << r.resultsAt;
    }
}

TEST_F(Scoring, AtMostOneProgressCallPerWholePercent)
{
    FillRandomPool(players, 5000);
    players.UpdateStandings(true);
    ASSERT_LE(host.progress.size(), 101u);
    EXPECT_EQ(host.progress.back(), 0);
    for (std::size_t i = 1; i + 1 < host.progress.size(); ++i) EXPECT_LT(host.progress[i - 1], host.progress[i]);
    EXPECT_EQ(host.progress[host.progress.size() - 2], 100);
}

TEST_F(Scoring, WithoutResultsNothingIsScored)
{
    TPlayer& p = addEntry({{1, 101}});
    p.Total = 7;
    EXPECT_FALSE(players.UpdateStandings(true));
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"Updating pool standings...", ""}));
    EXPECT_EQ(host.progress, std::vector<int>{0});
    EXPECT_TRUE(host.standingsShown.empty());
    EXPECT_EQ(p.Total, 7);
    EXPECT_EQ(p.Modified, 1);
}

TEST_F(Scoring, WhenAPassRuns)
{
    EXPECT_FALSE(players.UpdateStandings(true)) << "empty list";
    EXPECT_TRUE(host.statusTexts.empty());

    addResults({{1, 101}});
    TPlayer& p = addEntry({{1, 101}});
    EXPECT_FALSE(players.UpdateStandings(false)) << "no standings window";
    EXPECT_EQ(p.Modified, 1);
    EXPECT_TRUE(host.statusTexts.empty());

    OpenStandings window;
    players.StandingsWindow = &window;
    EXPECT_TRUE(players.UpdateStandings(false));
    EXPECT_TRUE(players.UpdateStandings(true));
    EXPECT_EQ(host.standingsShown, (std::vector<bool>{false, true}));
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{UpdatingStandingsText, "", UpdatingStandingsText, ""}));
    EXPECT_EQ(p.Total, 1);
}

// The rules game by game, written plainly, against the pass on random and inconsistent pools.
struct Reference {
    std::vector<int> progress;
    void score(TPlayers& list, const settings::ScoringValues& v)
    {
        const TPlayer& results = list[list.IndexOfId(ResultsId)];
        std::set<TeamCode> eliminated;
        for (int i = 0; i < list.Count(); ++i) {
            TPlayer& e = list[i];
            if (&e == &results || (!results.Modified && !e.Modified)) continue;
            long long points[7] = {}, potential = 0;
            for (int g = 1; g <= GameCount; ++g) {
                const int r = RoundOfGame(g);
                const TeamCode w = results.Picks[g], p = e.Picks[g];
                const long long value = v.multiplyBySeed ? (long long)SeedOfCode(w != 0 ? w : p) * v.round[r] : v.round[r];
                if (w != 0) {
                    if (p == w) points[r] += value;
                    else eliminated.insert(p);
                } else if (p != 0 && !eliminated.count(p)) {
                    potential += value;
                }
            }
            long long total = 0;
            for (int r = 1; r <= 6; ++r) {
                e.RoundPoints[r] = std::int32_t(points[r]);
                total += points[r];
            }
            e.Total = std::int32_t(total);
            e.Potential = std::int32_t(potential + total);
            const int percent = int(std::nearbyint(double(i + 1) / double(list.Count()) * 100.0));
            if (percent != (progress.empty() ? 0 : progress.back())) progress.push_back(percent);
            e.Modified = 0;
        }
    }
};

TEST_F(Scoring, MatchesTheRulesGameByGame)
{
    std::mt19937 rng(17);
    const TeamCode odd[] = {0, 0, 101, 116, 208, 499, 500, -3, 117, 1000000};
    auto randomPicks = [&](int played, bool consistent) {
        PickArray picks = RandomBracket(rng, played);
        if (!consistent)
            for (int g = 1; g <= GameCount; ++g)
                if (rng() % 4 == 0) picks[g] = odd[rng() % std::size(odd)];
        return picks;
    };
    for (int count : {2, 9, 199, 200, 201, 2001}) {
        for (bool consistent : {true, false}) {
            SCOPED_TRACE(::testing::Message() << count << (consistent ? " consistent" : " odd"));
            store.values.clear();
            if (rng() % 2) setRounds({"3", "-2", "7", "1000", "0", "11"}, rng() % 2 ? "1" : "0");
            players.Clear();
            TPlayers copy(host, dir.path());
            copy.SetWriteOnDestroy(false);
            const int resultsAt = int(rng() % std::uint32_t(count));
            for (int i = 0; i < count; ++i) {
                TPlayer e = i == resultsAt ? MakeEntry(ResultsId, ResultsName, randomPicks(int(rng() % 64), consistent))
                                           : MakeEntry(i + 1, "P", randomPicks(GameCount, consistent));
                e.Modified = std::uint8_t(rng() % 3 == 0);
                players.Add(e);
                copy.Add(e);
            }
            for (int pass = 0; pass < 2; ++pass) {  // the second pass rescores only the marked entries
                host.progress.clear();
                players.UpdateStandings(true);
                TRegIniFile ini(store);
                Reference reference;
                reference.score(copy, settings::ReadScoringValues(ini));
                copy[resultsAt].Modified = 0;
                reference.progress.push_back(0);
                EXPECT_EQ(host.progress, reference.progress);
                for (int i = 0; i < count; ++i) {
                    ASSERT_EQ(rounds(players[i]), rounds(copy[i])) << "entry " << i;
                    ASSERT_EQ(players[i].Total, copy[i].Total) << "entry " << i;
                    ASSERT_EQ(players[i].Potential, copy[i].Potential) << "entry " << i;
                    ASSERT_EQ(players[i].Modified, copy[i].Modified) << "entry " << i;
                }
                for (int i = 0; i < count; i += 3) players[i].Modified = copy[i].Modified = 1;
            }
        }
    }
}

}  // namespace
