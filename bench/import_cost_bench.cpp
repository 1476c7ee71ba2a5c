// What an import costs on a large file: a picks file of junk under a good header (every line
// refused) and a large good one, read and checked as Import Picks reads them. Each reports its
// time and the resident memory's high-water mark during the import ("MB peak", the process's
// max RSS since the mark was reset; "MB before" is the resident size when it started).
//
// The junk file is 100 MB unless HOOP_BENCH_JUNK_MB says otherwise:
//   HOOP_BENCH_JUNK_MB=1000 ./bench/hoop_bench --benchmark_filter=ImportJunk
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "core/pool/errors.h"
#include "core/pool/pool_host.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/picks_export.h"
#include "core/transfer/picks_import.h"
#include "pool/pool_samples.h"
#include "process_memory.h"
#include "support/temp_dir.h"

namespace {
using bench::MiB;
using bench::resetPeakResident;
using bench::statusBytes;

long junkMegabytes()
{
    const char* text = std::getenv("HOOP_BENCH_JUNK_MB");
    const long value = text ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : 100;
}

struct Pool {
    Pool()
    {
        saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s)
                session.teams().entry(r, s).name = "Team " + std::to_string(r * 100 + s);
    }
    TempDir dir;
    NullPoolHost host;
    MemorySettings settings;
    PoolSession session{host, dir.path(), settings};
};

std::string picksHeader()
{
    std::string header = "Name,Tiebreaker,Paid";
    for (int game = 1; game <= GameCount; ++game) {
        header += ',';
        header += gameColumnName(game);
    }
    header += "\r\n";
    return header;
}

// Lines of junk, to megabytes in all: fields of printable characters (now and then a quote) in
// numbers that fit the header or not, so nearly every line is refused somewhere along it.
void writeJunk(const std::string& path, long megabytes)
{
    static constexpr char Alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-;\"";
    std::ofstream file(path, std::ios::binary);
    file << picksHeader();
    std::mt19937_64 rng(20);
    const std::size_t target = std::size_t(megabytes) << 20;
    std::string block;
    std::size_t written = 0;
    while (written < target) {
        block.clear();
        while (block.size() < (1 << 20)) {
            const std::size_t fields = 1 + rng() % 80;
            for (std::size_t f = 0; f < fields; ++f) {
                if (f) block += ',';
                const std::size_t length = rng() % 13;
                for (std::size_t i = 0; i < length; ++i) block += Alphabet[rng() % (sizeof Alphabet - 1)];
            }
            block += "\r\n";
        }
        file.write(block.data(), std::streamsize(block.size()));
        written += block.size();
    }
}

// Runs the import once per iteration; the counters are those of the last run. expectedEntries:
// how many lines must be taken, npos for any number (a line of junk with a name and nothing
// else is a participant with no picks yet).
void measureImport(benchmark::State& state, const std::string& path, std::size_t expectedEntries)
{
    Pool pool;
    double peak = 0;
    double before = 0;
    std::size_t refused = 0;
    std::size_t taken = 0;
    for (auto _ : state) {
        before = statusBytes("VmRSS");
        const bool known = resetPeakResident();
        PicksImport import;
        try {
            import = readPicksImportFile(pool.session, path);
        } catch (const HoopError& error) {
            state.SkipWithError(error.what());
            break;
        }
        peak = known ? statusBytes("VmHWM") : -1;
        refused = import.refused.total;
        taken = import.entries.size();
        if (expectedEntries != std::string::npos && taken != expectedEntries) {
            state.SkipWithError("unexpected entries");
            break;
        }
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    state.counters["MB file"] = double(file.tellg()) / MiB;
    state.counters["MB peak"] = peak / MiB;
    state.counters["MB before"] = before / MiB;
    state.counters["refused"] = double(refused);
    state.counters["taken"] = double(taken);
}

void BM_ImportJunkPicks(benchmark::State& state)
{
    TempDir dir;
    const std::string path = dir.file("junk.csv");
    writeJunk(path, junkMegabytes());
    measureImport(state, path, std::string::npos);
}

void BM_ImportGoodPicks(benchmark::State& state)
{
    TempDir dir;
    const std::string path = dir.file("picks.csv");
    {
        Pool source;
        fillRandomPool(source.session.players(), int(state.range(0)));
        exportPicksFile(source.session, path, PicksFileFormat::Csv);
    }
    measureImport(state, path, std::size_t(state.range(0)));
}
}  // namespace

BENCHMARK(BM_ImportJunkPicks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ImportGoodPicks)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
