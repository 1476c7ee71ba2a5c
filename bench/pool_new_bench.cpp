// Pool, New on a pool of 200,000 participants: the command's core (one journal record and one
// pass over the list), and the start after a kill that replays it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench_pool.h"
#include "core/pool/pool_host.h"
#include "support/temp_dir.h"

namespace {
void BM_PoolNew(benchmark::State& state)
{
    TempDir dir;
    NullPoolHost host;
    TeamTable teams;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(dir.file(JournalFileName));
        auto players = std::make_unique<PlayerList>(host, dir.path(), teams);
        players->loadPlayers();  // no PICKS.HFD: the journal extends none
        addBenchParticipants(*players, int(state.range(0)), [](Player&, auto&) {});
        state.ResumeTiming();
        players->deleteAllPlayers();
        state.PauseTiming();
        if (players->count() != 0) state.SkipWithError("the list was not emptied");
        players.reset();
        state.ResumeTiming();
    }
}

// The next start: PICKS.HFD of the whole pool, and the journal's one record that empties it,
// folded into an empty PICKS.HFD.
void BM_StartAfterPoolNew(benchmark::State& state)
{
    TempDir dir;
    NullPoolHost host;
    TeamTable teams;
    {
        PlayerList full(host, dir.path(), teams);
        addBenchParticipants(full, int(state.range(0)), [](Player&, auto&) {});
        full.savePlayersTo(dir.file("whole pool"));
    }
    std::string journal;
    {
        std::filesystem::copy_file(dir.file("whole pool"), dir.file(PicksFileName));
        PlayerList killed(host, dir.path(), teams);
        killed.loadPlayers();
        killed.deleteAllPlayers();
    }
    std::filesystem::rename(dir.file(JournalFileName), dir.file("journal"));
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(dir.file("whole pool"), dir.file(PicksFileName),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(dir.file("journal"), dir.file(JournalFileName),
                                   std::filesystem::copy_options::overwrite_existing);
        auto players = std::make_unique<PlayerList>(host, dir.path(), teams);
        state.ResumeTiming();
        players->loadPlayers();
        state.PauseTiming();
        if (players->count() != 0 || std::filesystem::exists(dir.file(JournalFileName)))
            state.SkipWithError("the journal was not replayed and folded");
        players.reset();
        state.ResumeTiming();
    }
}
}  // namespace

BENCHMARK(BM_PoolNew)->Arg(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartAfterPoolNew)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();
