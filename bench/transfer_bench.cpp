// Picks out to a spreadsheet file and back in at 100,000 participants: the export (separated
// file and page, written to disk), and the import (read, every line checked, all stored through
// the journal in one batch). Each must stay under 2 seconds, in wall time: both wait for the disk.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/picks_export.h"
#include "core/transfer/picks_import.h"
#include "pool/pool_samples.h"
#include "support/temp_dir.h"

namespace {
struct Pool {
    explicit Pool(int participants = 0)
    {
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s)
                session.teams().entry(r, s).name = "Team " + std::to_string(r * 100 + s);
        if (participants) fillRandomPool(session.players(), participants);
    }
    TempDir dir;
    NullPoolHost host;
    MemorySettings settings;
    PoolSession session{host, dir.path(), settings};
};

void BM_ExportPicks(benchmark::State& state, PicksFileFormat format)
{
    Pool pool(int(state.range(0)));
    const std::string path = pool.dir.file(format == PicksFileFormat::Html ? "picks.htm" : "picks.csv");
    for (auto _ : state) exportPicksFile(pool.session, path, format);
}

void BM_ImportPicks(benchmark::State& state)
{
    Pool source(int(state.range(0)));
    const std::string path = source.dir.file("picks.csv");
    exportPicksFile(source.session, path, PicksFileFormat::Csv);
    for (auto _ : state) {
        state.PauseTiming();
        auto pool = std::make_unique<Pool>();
        state.ResumeTiming();
        const PicksImport import = readPicksImportFile(pool->session, path);
        if (!import.refused.empty() || int(import.entries.size()) != state.range(0))
            state.SkipWithError("lines refused");
        storeImportedPicks(pool->session, import);
        state.PauseTiming();
        pool.reset();
        state.ResumeTiming();
    }
}

// The reading and checking alone, without storing: what the import costs before the disk.
void BM_ReadPicksImport(benchmark::State& state)
{
    Pool source(int(state.range(0)));
    const std::string path = source.dir.file("picks.csv");
    exportPicksFile(source.session, path, PicksFileFormat::Csv);
    Pool pool;
    for (auto _ : state) benchmark::DoNotOptimize(readPicksImportFile(pool.session, path).entries.size());
}
}  // namespace

BENCHMARK_CAPTURE(BM_ExportPicks, csv, PicksFileFormat::Csv)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportPicks, page, PicksFileFormat::Html)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ImportPicks)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadPicksImport)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();
