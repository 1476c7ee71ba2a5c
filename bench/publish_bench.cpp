// Publishing the site of a pool of 1,000 participants: every page written and put in place, the
// outlook computed as the window computes it. Must stay under 2 seconds and 20 MB of pages.
#include <benchmark/benchmark.h>

#include "core/publish/site_pages.h"
#include "publish/sample_pool.h"

namespace {
// Arguments: participants, games played (52: eleven left, the outlook exact; 32: after the first
// round, the outlook simulated).
void BM_Publish(benchmark::State& state)
{
    SamplePool pool(int(state.range(0)), {}, int(state.range(1)));
    TempDir out;
    PublishOptions options;
    options.asOf = "As of: 03/21/2026 21:05";
    PublishSummary summary;
    for (auto _ : state) summary = publishPool(*pool.session, out.file("site"), options);
    state.counters["pages"] = summary.pages;
    state.counters["MB"] = double(summary.bytes) / 1e6;
    state.counters["estimated"] = summary.outlookEstimated;
}
BENCHMARK(BM_Publish)->Args({1'000, 52})->Args({1'000, 32})->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
