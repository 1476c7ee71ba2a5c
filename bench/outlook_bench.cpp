// Pool Outlook on pools that look real: the results and every sheet follow the game model, so
// favourites are picked more often than long shots and most participants share the top picks.
#include <benchmark/benchmark.h>

#include <random>

#include "core/outlook/outlook.h"

namespace {

PickArray modelBracket(std::mt19937_64& rng, int games = GameCount)
{
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    PickArray picks{};
    for (int g = 1; g <= games; ++g) {
        const GamePair pair = teamsOfGame(picks, g);
        const double p = outlook::winProbability(seedOfCode(pair.a), seedOfCode(pair.b), g <= FirstRoundGames);
        picks[std::size_t(g)] = uniform(rng) < p ? pair.a : pair.b;
    }
    return picks;
}

outlook::OutlookInput modelPool(int participants, int openGames)
{
    std::mt19937_64 rng(2026);
    outlook::OutlookInput input;
    input.results = modelBracket(rng, GameCount - openGames);
    for (int i = 0; i < participants; ++i) input.participants.push_back({i + 1, modelBracket(rng)});
    return input;
}

void run(benchmark::State& state, const outlook::OutlookOptions& options, outlook::OutlookMethod expected,
         int valueFactor = 1)
{
    auto input = modelPool(int(state.range(0)), int(state.range(1)));
    for (int r = 1; r <= RoundCount; ++r) input.values.round[r] *= valueFactor;
    outlook::OutlookResult result;
    for (auto _ : state) {
        result = outlook::computeOutlook(input, options);
        benchmark::DoNotOptimize(result.rows.data());
    }
    if (result.method != expected) state.SkipWithError("not computed the expected way");
    const double per = double(state.range(0)) *
                       double(result.method == outlook::OutlookMethod::Exact ? result.outcomes : result.tournaments);
    state.counters["evaluations/s"] = benchmark::Counter(per, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["half interval"] = result.largestHalfInterval;
    int proven = 0, canWin = 0;
    for (const auto& row : result.rows) {
        proven += row.finishesExact;
        canWin += row.canWin;
    }
    state.counters["finishes proven"] = proven;
    state.counters["can win"] = canWin;
    state.counters["exact"] = result.method == outlook::OutlookMethod::Exact;
}

// Every column exact: participants x 2^open outcomes.
void BM_OutlookExact(benchmark::State& state) { run(state, {}, outlook::OutlookMethod::Exact); }
// Time: wall; CPU: the whole process, every thread of the engine.
BENCHMARK(BM_OutlookExact)
    ->Args({1'000, 20})
    ->Args({10'000, 15})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Round values 50,000 times the usual: the same figures at the same speed.
void BM_OutlookLargeValues(benchmark::State& state) { run(state, {}, outlook::OutlookMethod::Exact, 50'000); }
BENCHMARK(BM_OutlookLargeValues)
    ->Args({10'000, 15})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The method the predicted costs choose: few participants with many games left are not
// enumerated for minutes; many participants with 20 left are, exactly.
void BM_OutlookChosen(benchmark::State& state)
{
    const bool exact = outlook::chooseMethod(int(state.range(0)), int(state.range(1)), 100'000).method ==
                       outlook::OutlookMethod::Exact;
    run(state, {}, exact ? outlook::OutlookMethod::Exact : outlook::OutlookMethod::Simulated);
}
BENCHMARK(BM_OutlookChosen)
    ->Args({3, 31})
    ->Args({13, 29})
    ->Args({10'000, 20})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

// Too many outcomes to visit: simulated percentages, searched finishes.
void BM_OutlookSimulated(benchmark::State& state)
{
    outlook::OutlookOptions options;
    options.tournaments = 100'000;
    run(state, options, outlook::OutlookMethod::Simulated);
}
BENCHMARK(BM_OutlookSimulated)
    ->Args({1'000, 31})
    ->Args({1'000, 47})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

}  // namespace
