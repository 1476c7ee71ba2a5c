#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <tuple>

#include "../pool/pool_samples.h"
#include "core/outlook/outlook.h"
#include "core/outlook/outlook_table.h"
#include "core/outlook/payouts.h"
#include "core/outlook/prepared_pool.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "support/temp_dir.h"

namespace {

using outlook::OutlookInput;
using outlook::OutlookMethod;
using outlook::OutlookOptions;
using outlook::OutlookResult;

// What every column should be, from every outcome rescored from scratch by the standings.
struct Expected {
    std::vector<int> best, worst;
    std::vector<double> win, money;
    std::uint64_t outcomes = 0;
    std::vector<double> winnings;  // with the input's prizes
};

Expected bruteForce(const OutlookInput& input)
{
    const int n = int(input.participants.size());
    TempDir dir;
    NullPoolHost host;
    TeamTable teams;
    PlayerList players(host, dir.path(), teams);
    players.setScoringSource([&] { return input.values; });
    players.add(makeEntry(ResultsId, ResultsName, input.results));
    Player* results = &players.unjournaledEntry(0);
    std::vector<const Player*> entries;
    for (const auto& p : input.participants) entries.push_back(players.add(makeEntry(p.id, "P", p.picks)));

    Expected e{std::vector<int>(std::size_t(n), n + 1),
               std::vector<int>(std::size_t(n), 0),
               std::vector<double>(std::size_t(n)),
               std::vector<double>(std::size_t(n)),
               0,
               std::vector<double>(std::size_t(n))};
    std::vector<int> open;
    for (int g = 1; g <= GameCount; ++g)
        if (input.results[std::size_t(g)] == 0) open.push_back(g);
    PickArray completed = input.results;
    const auto visit = [&](auto&& self, std::size_t k, double p) -> void {
        if (k == open.size()) {
            ++e.outcomes;
            results->picks = completed;
            results->modified = 1;
            players.updateStandings();
            std::vector<int> totals;
            for (const Player* t : entries) totals.push_back(t->total);
            const int top = *std::max_element(totals.begin(), totals.end());
            const auto sharing = double(std::count(totals.begin(), totals.end(), top));
            for (std::size_t j = 0; j < totals.size(); ++j) {
                const int finish =
                    1 + int(std::count_if(totals.begin(), totals.end(), [&](int t) { return t > totals[j]; }));
                e.best[j] = std::min(e.best[j], finish);
                e.worst[j] = std::max(e.worst[j], finish);
                if (totals[j] == top) e.win[j] += 100 * p / sharing;
                if (finish <= input.places) e.money[j] += 100 * p;
                // Tied at this finish: an equal share of the places from it on.
                const auto tied = std::count(totals.begin(), totals.end(), totals[j]);
                for (auto q = std::size_t(finish - 1); q < std::size_t(finish - 1 + tied); ++q)
                    if (q < input.prizes.size()) e.winnings[j] += p * input.prizes[q] / double(tied);
            }
            return;
        }
        const int g = open[k];
        const GamePair pair = teamsOfGame(completed, g);
        for (const TeamCode w : {pair.a, pair.b}) {
            const TeamCode other = w == pair.a ? pair.b : pair.a;
            completed[std::size_t(g)] = w;
            self(self, k + 1, p * outlook::winProbability(seedOfCode(w), seedOfCode(other), g <= FirstRoundGames));
        }
        completed[std::size_t(g)] = 0;
    };
    visit(visit, 0, 1.0);
    return e;
}

// A pool with `open` games left, picked anywhere in the bracket (so later results may be entered
// while earlier ones are not), consistent sheets, two identical ones, and one with damaged codes.
OutlookInput randomPool(std::mt19937& rng, int participants, int open, const ScoringValues& values)
{
    OutlookInput input;
    input.values = values;
    input.places = 1 + int(rng() % 4);
    input.results = randomBracket(rng);
    std::vector<int> games(GameCount);
    std::iota(games.begin(), games.end(), 1);
    std::shuffle(games.begin(), games.end(), rng);
    for (int k = 0; k < open; ++k) input.results[std::size_t(games[std::size_t(k)])] = 0;
    for (int i = 0; i < participants; ++i) input.participants.push_back({i + 1, randomBracket(rng)});
    input.participants[1].picks = input.participants[0].picks;
    for (int g : {5, 40, 63}) input.participants[2].picks[std::size_t(g)] = g == 40 ? 999 : -3;
    return input;
}

void expectMatches(const OutlookResult& r, const Expected& e, bool exactPercents, double tolerance = 0)
{
    ASSERT_FALSE(r.cancelled);
    ASSERT_EQ(r.rows.size(), e.best.size());
    double winSum = 0;
    for (std::size_t j = 0; j < e.best.size(); ++j) {
        const auto& row = r.rows[j];
        SCOPED_TRACE("participant " + std::to_string(j));
        EXPECT_EQ(row.bestFinish, e.best[j]);
        EXPECT_EQ(row.worstFinish, e.worst[j]);
        EXPECT_EQ(row.canWin, e.best[j] == 1);
        if (!row.canWin) {
            EXPECT_EQ(row.winPercent, 0);
        }
        const auto within = [&](double want) {
            const double p = std::clamp(want / 100, 0.0, 1.0);
            return exactPercents ? 1e-6 : tolerance + 300 * std::sqrt(p * (1 - p) / double(r.tournaments));
        };
        EXPECT_NEAR(row.winPercent, e.win[j], within(e.win[j]));
        EXPECT_NEAR(row.moneyPercent, e.money[j], within(e.money[j]));
        winSum += row.winPercent;
    }
    EXPECT_NEAR(winSum, 100, 1e-6);
}

// Options by name; the rest keep their defaults.
struct Opt {
    std::uint64_t seed = 1;
    int threads = 0;
    std::uint64_t limit = OutlookOptions{}.maxExactEvaluations;
    std::uint64_t tournaments = 100'000;
    std::uint64_t budget = OutlookOptions{}.searchBudget;
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double)> progress = {};
};
OutlookOptions with(const Opt& o)
{
    OutlookOptions options;
    options.seed = o.seed;
    options.threads = o.threads;
    options.maxExactEvaluations = o.limit;
    options.tournaments = o.tournaments;
    options.searchBudget = o.budget;
    // A budget given is the same for both searches; the default keeps each its own.
    options.worstSearchBudget =
        o.budget == OutlookOptions{}.searchBudget ? OutlookOptions{}.worstSearchBudget : o.budget;
    options.cancel = o.cancel;
    options.progress = o.progress;
    return options;
}

ScoringValues scoring(std::array<int, 6> rounds, bool bySeed)
{
    ScoringValues v;
    std::copy(rounds.begin(), rounds.end(), v.round + 1);
    v.multiplyBySeed = bySeed;
    return v;
}

const ScoringValues ScoringRows[] = {
    ScoringValues{}, scoring({1, 1, 1, 1, 1, 1}, false),                             // many ties
    scoring({10, 20, 40, 80, 160, 320}, false), scoring({3, -2, 0, 5, 7, 1}, true),  // a negative round value
};

// Totals that leave 32 bits wrap as the standings' do, and are ranked as the standings rank them.
const ScoringValues WideScoring =
    scoring({300'000'000, 300'000'000, 300'000'000, 300'000'000, 300'000'000, 300'000'000}, true);

TEST(Outlook, EnumerationMatchesRescoringEveryOutcome)
{
    std::mt19937 rng(7);
    std::vector<ScoringValues> rows(std::begin(ScoringRows), std::end(ScoringRows));
    rows.push_back(WideScoring);
    for (const ScoringValues& values : rows) {
        for (int round = 0; round < 3; ++round) {
            const int open = 4 + int(rng() % 9);
            const OutlookInput input = randomPool(rng, 6 + int(rng() % 20), open, values);
            SCOPED_TRACE("open games " + std::to_string(open));
            const OutlookResult r = outlook::computeOutlook(input, with({.threads = 1 + round}));
            const Expected e = bruteForce(input);
            EXPECT_EQ(r.method, OutlookMethod::Exact);
            EXPECT_EQ(r.outcomes, e.outcomes);
            EXPECT_EQ(r.remainingGames, open);
            expectMatches(r, e, true);
            EXPECT_EQ(r.rows[0].winPercent, r.rows[1].winPercent);  // identical sheets
            EXPECT_EQ(r.rows[0].bestFinish, r.rows[1].bestFinish);
        }
    }
}

// With enumeration ruled out, the search still finds the exact finishes, and the simulated
// percentages stay within three standard errors of the exact ones.
TEST(Outlook, SearchAndSimulationAgreeWithRescoring)
{
    std::mt19937 rng(11);
    for (const ScoringValues& values : ScoringRows) {
        const OutlookInput input = randomPool(rng, 12 + int(rng() % 20), 10, values);
        const OutlookResult r =
            outlook::computeOutlook(input, with({.seed = rng(), .limit = 0, .tournaments = 20'000}));
        EXPECT_EQ(r.method, OutlookMethod::Simulated);
        EXPECT_EQ(r.tournaments, 20'000u);
        EXPECT_TRUE(r.finishesExact);
        EXPECT_GT(r.largestHalfInterval, 0);
        expectMatches(r, bruteForce(input), false, 1e-9);
    }
}

// A pool the way it looks late in a tournament: the last `open` games left, sheets that mostly
// agree with a favourite bracket (so many rivals share picks and clash where they differ).
OutlookInput latePool(std::mt19937& rng, int participants, int open, const ScoringValues& values)
{
    OutlookInput input;
    input.values = values;
    input.places = 1 + int(rng() % 4);
    input.results = randomBracket(rng, GameCount - open);
    const PickArray favourite = randomBracket(rng);
    for (int i = 0; i < participants; ++i) {
        PickArray sheet{};
        for (int g = 1; g <= GameCount; ++g) {
            const GamePair pair = teamsOfGame(sheet, g);
            const TeamCode liked = favourite[std::size_t(g)];
            const bool likedPlays = liked == pair.a || liked == pair.b;
            sheet[std::size_t(g)] = likedPlays && rng() % 4 ? liked : (rng() & 1 ? pair.a : pair.b);
        }
        input.participants.push_back({i + 1, sheet});
    }
    return input;
}

// Best and worst finishes found by the searches, against every outcome rescored: pools whose
// last games are left (where regions are chosen as a whole), and pools with open games anywhere.
TEST(Outlook, SearchedFinishesMatchRescoring)
{
    const struct {
        unsigned seed;
        int participants, open;
        bool late;
        ScoringValues values;
    } rows[] = {
        {21, 40, 15, true, ScoringValues{}},  {22, 60, 15, true, ScoringValues{}}, {23, 25, 14, true, ScoringRows[2]},
        {24, 30, 11, true, ScoringRows[1]},   {25, 35, 13, true, ScoringRows[3]},  {26, 20, 7, true, ScoringValues{}},
        {27, 45, 12, false, ScoringValues{}}, {28, 30, 13, false, ScoringRows[3]},
    };
    for (const auto& row : rows) {
        std::mt19937 rng(row.seed);
        const OutlookInput input = row.late ? latePool(rng, row.participants, row.open, row.values)
                                            : randomPool(rng, row.participants, row.open, row.values);
        SCOPED_TRACE("seed " + std::to_string(row.seed));
        const OutlookResult r = outlook::computeOutlook(input, with({.limit = 0, .tournaments = 100}));
        const Expected e = bruteForce(input);
        EXPECT_TRUE(r.finishesExact);
        for (std::size_t j = 0; j < e.best.size(); ++j) {
            EXPECT_EQ(r.rows[j].worstFinish, e.worst[j]) << "participant " << j;
            EXPECT_EQ(r.rows[j].bestFinish, e.best[j]) << "participant " << j;
        }
    }
}

// Large round values: the figures of a pool do not change when every value is multiplied by
// 1,000, and they are those of every outcome rescored, by enumeration and by the searches. Values
// with no common factor whose totals span far more than a count of totals can hold are searched
// in 32 bits.
TEST(Outlook, LargeRoundValuesGiveExactFinishes)
{
    const auto times = [](ScoringValues v, int k) {
        for (int r = 1; r <= RoundCount; ++r) v.round[r] *= k;
        return v;
    };
    const struct {
        unsigned seed;
        bool late;
        std::uint64_t limit;
        ScoringValues values;
        int factor;
    } rows[] = {
        {51, true, 0, ScoringValues{}, 1000},
        {52, false, 0, ScoringRows[3], 1000},
        {53, true, OutlookOptions{}.maxExactEvaluations, ScoringRows[2], 1000},
        {54, true, 0, scoring({3, 7, 11, 13'000, 170'000, 1'000'003}, true), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("seed " + std::to_string(row.seed));
        std::mt19937 rng(row.seed);
        OutlookInput input = row.late ? latePool(rng, 30, 12, row.values) : randomPool(rng, 30, 11, row.values);
        const OutlookResult plain = outlook::computeOutlook(input, with({.limit = row.limit, .tournaments = 2000}));
        input.values = times(row.values, row.factor);
        const Expected e = bruteForce(input);
        const OutlookResult scaled = outlook::computeOutlook(input, with({.limit = row.limit, .tournaments = 2000}));
        EXPECT_TRUE(scaled.finishesExact);
        for (std::size_t j = 0; j < e.best.size(); ++j) {
            SCOPED_TRACE("participant " + std::to_string(j));
            const auto& a = plain.rows[j];
            const auto& b = scaled.rows[j];
            EXPECT_EQ(b.bestFinish, e.best[j]);
            EXPECT_EQ(b.worstFinish, e.worst[j]);
            EXPECT_EQ(b.canWin, e.best[j] == 1);
            EXPECT_TRUE(b.canWinExact);
            EXPECT_EQ(std::tie(a.bestFinish, a.worstFinish, a.canWin, a.winPercent, a.moneyPercent),
                      std::tie(b.bestFinish, b.worstFinish, b.canWin, b.winPercent, b.moneyPercent));
            EXPECT_EQ(std::int64_t(b.finalTotal), std::int64_t(a.finalTotal) * row.factor);
        }
    }
}

// A worst-finish search stopped for want of budget goes on where it stopped and ends where one
// run with enough budget ends, whatever the shares, having done all of that run's work (and
// found its place again each time): none of it is skipped.
TEST(Outlook, WorstSearchGoesOnWhereItStopped)
{
    std::mt19937 rng(31);
    const OutlookInput input = latePool(rng, 80, 31, ScoringValues{});
    const outlook::detail::PreparedPool model = outlook::detail::preparePool(input);
    outlook::detail::WorstSearch search(model, {});
    int checked = 0;
    for (int i = 0; i < model.n; i += 3) {
        std::int32_t whole = -1;
        std::vector<int> place;
        ASSERT_TRUE(search.run(i, whole, ~std::uint64_t(0), place));
        const std::uint64_t used = search.steps();
        if (used < 50'000 * std::uint64_t(model.n)) continue;  // a share must pay for the start
        ++checked;
        for (const std::uint64_t share : {used / 3, used / 10}) {
            std::int32_t found = -1;
            int runs = 1;
            std::uint64_t work = 0;
            while (!search.run(i, found, share, place)) {
                work += search.steps();
                ASSERT_FALSE(place.empty());
                ASSERT_LE(found, whole);
                ASSERT_LT(++runs, 1000);
            }
            work += search.steps();
            EXPECT_EQ(found, whole) << "participant " << i;
            EXPECT_GT(runs, 1);
            EXPECT_GE(work, used) << "participant " << i;
        }
    }
    EXPECT_GE(checked, 3);
}

// A row whose worst-finish search needs far more work than the pool's typical row (here proofs
// that the last rivals can never all pass at once) is stopped and marked; every row marked exact
// has the worst finish that a search without any limit finds.
TEST(Outlook, RowsStoppedAtTheirShareAreMarked)
{
    std::mt19937 rng(43);
    const OutlookInput input = latePool(rng, 60, 47, ScoringValues{});
    const OutlookResult r = outlook::computeOutlook(input, with({.limit = 0, .tournaments = 2000}));
    const outlook::detail::PreparedPool model = outlook::detail::preparePool(input);
    outlook::detail::WorstSearch search(model, {});
    int open = 0;
    for (int j = 0; j < model.n; ++j) {
        if (!r.rows[std::size_t(j)].finishesExact) {
            ++open;
            continue;
        }
        std::int32_t found = -1;
        std::vector<int> place;
        ASSERT_TRUE(search.run(j, found, ~std::uint64_t(0), place));
        EXPECT_EQ(r.rows[std::size_t(j)].worstFinish, found + 1) << "participant " << j;
    }
    EXPECT_GE(open, 1);
}

// A search that runs out of steps still answers Can Win exactly; its finishes are bounds on the
// true ones (no better than the best, no worse than the worst), marked as such.
TEST(Outlook, SearchOutOfBudget)
{
    std::mt19937 rng(13);
    const OutlookInput input = randomPool(rng, 30, 12, ScoringValues{});
    const Expected e = bruteForce(input);
    const OutlookResult r = outlook::computeOutlook(input, with({.limit = 0, .tournaments = 10, .budget = 0}));
    EXPECT_FALSE(r.finishesExact);
    for (std::size_t j = 0; j < e.best.size(); ++j) {
        const auto& row = r.rows[j];
        EXPECT_EQ(row.canWin, e.best[j] == 1);
        EXPECT_GE(row.bestFinish, e.best[j]);
        EXPECT_LE(row.worstFinish, e.worst[j]);
        if (!row.finishesExact) continue;
        EXPECT_EQ(row.bestFinish, e.best[j]);
        EXPECT_EQ(row.worstFinish, e.worst[j]);
    }
}

// The method by predicted cost, as a function of the counts: small pools with many games left
// are not enumerated for minutes, large pools with few left are; across the break-even the
// choice changes once, and never to the fallback where exact was predicted cheaper.
TEST(Outlook, MethodByPredictedCost)
{
    const struct {
        int participants, games;
        OutlookMethod method;
    } rows[] = {
        {3, 31, OutlookMethod::Simulated},      {4, 31, OutlookMethod::Simulated},
        {13, 29, OutlookMethod::Simulated},     {50, 20, OutlookMethod::Exact},
        {1'000, 20, OutlookMethod::Exact},      {1'000, 31, OutlookMethod::Simulated},
        {10'000, 15, OutlookMethod::Exact},     {10'000, 20, OutlookMethod::Exact},
        {10'000, 31, OutlookMethod::Simulated}, {1'000'000, 15, OutlookMethod::Exact},
    };
    for (const auto& row : rows)
        EXPECT_EQ(outlook::chooseMethod(row.participants, row.games, 100'000).method, row.method)
            << row.participants << " participants, " << row.games << " games";
    for (const int n : {1, 3, 50, 1'000, 10'000, 1'000'000}) {
        int changes = 0;
        OutlookMethod before = OutlookMethod::Exact;
        for (int games = 0; games <= 63; ++games) {
            const outlook::MethodChoice c = outlook::chooseMethod(n, games, 100'000, ~std::uint64_t(0));
            SCOPED_TRACE(std::to_string(n) + " participants, " + std::to_string(games) + " games");
            if (c.exactSeconds <= c.fallbackSeconds) {
                EXPECT_EQ(c.method, OutlookMethod::Exact);
            }
            changes += c.method != before;
            before = c.method;
            EXPECT_EQ(outlook::chooseMethod(n, games, 100'000, 0).method, OutlookMethod::Simulated);
        }
        EXPECT_EQ(changes, 1) << n;
    }
}

// Expected winnings: fee places paid first, ties sharing their places' prizes, by enumeration
// and by simulation; with percentages adding up to 100 they add up to the pot.
TEST(Outlook, ExpectedWinnings)
{
    const struct {
        const char* payouts;
        double fee;
        int paid;
        std::vector<double> prizes;
    } tables[] = {
        {"60,30,10", 5, 20, {60, 30, 10}},
        {"50,30,20,fee", 10, 11, {50, 30, 20, 10}},
        {" 50% , fee,FEE ,40", 10, 4, {10, 10, 10, 8}},  // the fees leave 20 of 40
        {"100,fee", 10, 0, {0, 0}},
    };
    for (const auto& table : tables) {
        const auto payouts = outlook::parsePayouts(table.payouts);
        ASSERT_TRUE(payouts) << table.payouts;
        EXPECT_EQ(outlook::prizesOf(table.fee * table.paid, table.fee, *payouts), table.prizes) << table.payouts;
    }
    for (const char* bad : {"", "60,x", "120", "60,,40", "-5", "1,1,1,1,1,1,1,1,1", "fees"})
        EXPECT_FALSE(outlook::parsePayouts(bad)) << bad;
    EXPECT_EQ(outlook::parseFee(" $12.50"), 12.5);
    EXPECT_FALSE(outlook::parseFee("5 dollars"));
    EXPECT_EQ(outlook::moneyText(1234.5), "1234.50");

    std::mt19937 rng(61);
    for (const ScoringValues& values : {ScoringValues{}, ScoringRows[1]}) {  // the second: many ties
        OutlookInput input = randomPool(rng, 9, 8, values);
        input.participants[3].picks = input.participants[0].picks;  // three tied whatever happens
        input.prizes = outlook::prizesOf(90, 10, *outlook::parsePayouts("50,30,20,fee"));
        const Expected e = bruteForce(input);
        for (const std::uint64_t limit : {OutlookOptions{}.maxExactEvaluations, std::uint64_t(0)}) {
            const OutlookResult r = outlook::computeOutlook(input, with({.limit = limit, .tournaments = 40'000}));
            double sum = 0;
            for (std::size_t j = 0; j < e.winnings.size(); ++j) {
                // Simulated: within four standard errors of a prize of at most 40.
                EXPECT_NEAR(r.rows[j].expectedWinnings, e.winnings[j],
                            limit ? 1e-6 : 4 * 40 / std::sqrt(double(r.tournaments)))
                    << "participant " << j;
                sum += r.rows[j].expectedWinnings;
            }
            EXPECT_NEAR(sum, 90, 1e-6);
            EXPECT_EQ(r.rows[0].expectedWinnings, r.rows[3].expectedWinnings);
        }
    }
}

TEST(Outlook, IdenticalSheetsSplitTheWin)
{
    std::mt19937 rng(3);
    OutlookInput input;
    input.results = randomBracket(rng, 62);  // only the final left
    const PickArray sheet = input.results;
    input.participants = {{1, sheet}, {2, sheet}, {3, {}}};
    input.participants[0].picks[63] = input.participants[1].picks[63] = teamsOfGame(sheet, 63).a;
    const OutlookResult r = outlook::computeOutlook(input);
    EXPECT_EQ(r.outcomes, 2u);
    EXPECT_DOUBLE_EQ(r.rows[0].winPercent, 50);  // tied first in both outcomes: one half each
    EXPECT_DOUBLE_EQ(r.rows[1].winPercent, 50);
    EXPECT_FALSE(r.rows[2].canWin);
    EXPECT_EQ(r.rows[2].winPercent, 0);
    EXPECT_EQ(r.rows[2].bestFinish, 3);
}

TEST(Outlook, EliminatedParticipantCannotWin)
{
    std::mt19937 rng(5);
    OutlookInput input;
    input.results = randomBracket(rng, 48);  // the third round on is open
    PickArray leader = randomBracket(rng);
    std::copy(input.results.begin(), input.results.begin() + 49, leader.begin());
    PickArray behind = leader;
    for (int g = 1; g <= 32; ++g) behind[std::size_t(g)] = 0;  // no first-round points
    input.participants = {{1, leader}, {2, behind}};
    for (const std::uint64_t limit : {std::uint64_t(1) << 40, std::uint64_t(0)}) {
        const OutlookResult r = outlook::computeOutlook(input, with({.limit = limit, .tournaments = 2000}));
        EXPECT_TRUE(r.rows[0].canWin);
        EXPECT_FALSE(r.rows[1].canWin);
        EXPECT_EQ(r.rows[1].winPercent, 0);
        EXPECT_EQ(r.rows[1].bestFinish, 2);
        EXPECT_EQ(r.rows[0].finalTotal > r.rows[1].finalTotal, true);
    }
}

// The same seed gives the same figures on any number of threads.
TEST(Outlook, FiguresDoNotDependOnThreads)
{
    std::mt19937 rng(9);
    const OutlookInput input = latePool(rng, 60, 31, ScoringValues{});
    // Enough budget for every row, and so little that the rounds share it out and rows stay open.
    for (const std::uint64_t budget : {OutlookOptions{}.searchBudget, std::uint64_t(30'000'000)}) {
        const auto on = [&](int threads) {
            return outlook::computeOutlook(
                input, with({.seed = 42, .threads = threads, .tournaments = 5000, .budget = budget}));
        };
        const OutlookResult one = on(1), three = on(3);
        ASSERT_EQ(one.rows.size(), three.rows.size());
        int open = 0;
        for (std::size_t j = 0; j < one.rows.size(); ++j) {
            EXPECT_EQ(one.rows[j].winPercent, three.rows[j].winPercent);
            EXPECT_EQ(one.rows[j].moneyPercent, three.rows[j].moneyPercent);
            EXPECT_EQ(one.rows[j].bestFinish, three.rows[j].bestFinish);
            EXPECT_EQ(one.rows[j].worstFinish, three.rows[j].worstFinish);
            EXPECT_EQ(one.rows[j].finishesExact, three.rows[j].finishesExact);
            open += !one.rows[j].finishesExact;
        }
        EXPECT_EQ(one.largestHalfInterval, three.largestHalfInterval);
        EXPECT_EQ(open > 0, budget != OutlookOptions{}.searchBudget) << open;
    }
}

TEST(Outlook, CancelAndProgress)
{
    std::mt19937 rng(4);
    const OutlookInput input = randomPool(rng, 50, 16, ScoringValues{});
    std::vector<double> seen;
    const OutlookResult done = outlook::computeOutlook(input, {.progress = [&](double f) { seen.push_back(f); }});
    EXPECT_FALSE(done.cancelled);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1.0);

    std::atomic<bool> cancel{true};
    const OutlookResult r = outlook::computeOutlook(input, with({.cancel = &cancel}));
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.rows.empty());
}

// Codes that are no team, in the results or on sheets, never advance and never score.
TEST(Outlook, DamagedCodesDoNotCrash)
{
    std::mt19937 rng(8);
    for (const TeamCode bad : {-1, 999, 117, 100, 2'000'000'000}) {
        OutlookInput input = randomPool(rng, 8, 6, ScoringValues{});
        for (int g = 33; g <= 48; ++g) input.results[std::size_t(g)] = 0;
        input.results[1] = input.results[2] = bad;  // game 33 has no real team
        input.results[3] = bad;
        for (auto& p : input.participants) p.picks[std::size_t(1 + rng() % 63)] = bad;
        for (const std::uint64_t limit : {std::uint64_t(1) << 40, std::uint64_t(0)}) {
            const OutlookResult r = outlook::computeOutlook(input, with({.limit = limit, .tournaments = 500}));
            ASSERT_EQ(r.rows.size(), 8u);
            double sum = 0;
            for (const auto& row : r.rows) sum += row.winPercent;
            EXPECT_NEAR(sum, 100, 1e-6);
        }
    }
}

TEST(Outlook, GameModel)
{
    const struct {
        int a, b;
        bool first;
        double p;
    } rows[] = {{1, 16, true, 0.99},    {16, 1, true, 0.01}, {12, 5, true, 0.36},     {8, 9, true, 0.51},
                {3, 5, false, 5.0 / 8}, {4, 4, false, 0.5},  {11, 2, false, 2.0 / 13}};
    for (const auto& row : rows)
        EXPECT_NEAR(outlook::winProbability(row.a, row.b, row.first), row.p, 1e-12) << row.a << " v " << row.b;
}

TEST(Outlook, InputFromTheList)
{
    TempDir dir;
    NullPoolHost host;
    TeamTable teams;
    PlayerList players(host, dir.path(), teams);
    fillRandomPool(players, 6);
    const OutlookInput input = outlook::outlookInputOf(players, ScoringValues{}, 2);
    ASSERT_EQ(input.participants.size(), 6u);
    EXPECT_EQ(input.results, players[players.indexOfId(ResultsId)].picks);
    players.updateStandings();
    const OutlookResult r = outlook::computeOutlook(input);
    for (const auto& row : r.rows) EXPECT_EQ(row.finalTotal, players[players.indexOfId(row.id)].total);
}

}  // namespace
