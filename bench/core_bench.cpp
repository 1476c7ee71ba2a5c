// The pool core at 1k to 1M participants: loading, a full scoring pass, the standings sort and
// saving, each beside the figure it is judged against (counters "x read" and "x baseline").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/settings/settings.h"
#include "pool/pool_samples.h"
#include "support/temp_dir.h"

namespace {

// The ratios are taken on this thread's processor time: the machines these run on are often
// shared, and time spent waiting for a processor says nothing about the code.
struct Clock {
    using time_point = double;
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
};

double secondsSince(Clock::time_point start) { return Clock::now() - start; }

class CountingHost final : public NullPoolHost {
public:
    void setProgress(int) override { ++progressCalls; }
    long progressCalls = 0;
};

// One pool per size, built once, with its PICKS.HFD written in a temp folder.
struct Pool {
    explicit Pool(int participants)
    {
        fillRandomPool(players, participants);
        players.savePlayersTo(file());
    }
    std::string file() const { return dir.file(PicksFileName); }
    Player& results() { return players.unjournaledEntry(players.indexOfId(ResultsId)); }

    TempDir dir;
    CountingHost host;
    TeamTable teams;
    PlayerList players{host, dir.path(), teams};
};

Pool& pool(int participants)
{
    static std::map<int, std::unique_ptr<Pool>> pools;
    auto& slot = pools[participants];
    if (!slot) slot = std::make_unique<Pool>(participants);
    return *slot;
}

// The file read into memory and nothing else: what loading is measured against.
std::size_t plainRead(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const auto size = static_cast<std::size_t>(std::ftell(f));
    std::fseek(f, 0, SEEK_SET);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    const std::size_t got = std::fread(bytes.get(), 1, size, f);
    std::fclose(f);
    benchmark::DoNotOptimize(bytes.get());
    return got;
}

// Reads every pick of every entry once: the least any scoring pass must do.
std::int64_t readEveryPick(PlayerList& players)
{
    std::int64_t sum = 0;
    for (int i = 0; i < players.count(); ++i) {
        const Player& entry = *players.item(i);
        for (int g = 1; g <= GameCount; ++g) sum += entry.picks[g];
    }
    return sum;
}

void BM_PlainRead(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(plainRead(p.file()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * (p.players.count() * std::int64_t(PickRecordSize)));
}

void BM_LoadPlayers(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    NullPoolHost host;
    double load = 0, read = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        auto list = std::make_unique<PlayerList>(host, p.dir.path(), p.teams);
        if (!list->loadPlayers() || list->count() != p.players.count()) state.SkipWithError("load failed");
        load += secondsSince(start);
        state.PauseTiming();
        list.reset();
        start = Clock::now();  // the plain read, interleaved so both see the same machine
        benchmark::DoNotOptimize(plainRead(p.file()));
        read += secondsSince(start);
        state.ResumeTiming();
    }
    state.counters["x read"] = load / read;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * (p.players.count() * std::int64_t(PickRecordSize)));
}

void BM_Baseline(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(readEveryPick(p.players));
}

// The median of a few passes that only read the picks, after one that settles the caches (it
// also pays for writing back what a scoring pass before it changed).
double baselineSeconds(PlayerList& players)
{
    std::vector<double> times;
    for (int run = 0; run < 6; ++run) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(readEveryPick(players));
        if (run > 0) times.push_back(secondsSince(start));
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

void BM_UpdateStandings(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    double score = 0;  // with the scoring engine's default values, as an empty settings store gives
    p.host.progressCalls = 0;
    for (auto _ : state) {
        p.results().modified = 1;  // the results changed: every entry is rescored
        const auto start = Clock::now();
        p.players.updateStandings();
        score += secondsSince(start);
    }
    state.counters["x baseline"] = score / double(state.iterations()) / baselineSeconds(p.players);
    state.counters["progress calls"] = double(p.host.progressCalls) / double(state.iterations());
}

void BM_SortStandings(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    // Scored totals, dealt out again in a new order before every sort.
    p.results().modified = 1;
    p.players.updateStandings();
    std::vector<std::int32_t> totals;
    for (int i = 0; i < p.players.count(); ++i) totals.push_back(p.players[i].total);
    std::mt19937 rng(3);
    p.players.setSort(SortKey::Total, false);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(totals.begin(), totals.end(), rng);
        for (int i = 0; i < p.players.count(); ++i) p.players.unjournaledEntry(i).total = totals[std::size_t(i)];
        state.ResumeTiming();
        p.players.sort();
    }
}

void BM_SavePlayersTo(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    const std::string path = p.dir.file("SAVED.HFD");
    for (auto _ : state) benchmark::DoNotOptimize(p.players.savePlayersTo(path));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * (p.players.count() * std::int64_t(PickRecordSize)));
}

// Saving one new sheet: the journal record written and flushed to disk (fdatasync) before the
// save returns, which is what a save costs now instead of the whole file on closing.
void BM_SaveSheet(benchmark::State& state)
{
    Pool& p = pool(int(state.range(0)));
    std::mt19937 rng(3);
    std::int32_t id = 2'000'000'000;
    std::vector<const Player*> added;
    for (auto _ : state) {
        Player sheet = makeEntry(id++, "New sheet", randomBracket(rng));
        added.push_back(p.players.storeEntry(sheet, true));
    }
    // Leave the pool as the other benchmarks expect it (the timing has ended with the loop).
    {
        PlayerList::Batch batch(p.players);
        for (std::size_t i = 0; i < added.size(); ++i) p.players.deletePlayer(added[added.size() - 1 - i]->id);
        batch.finish();
    }
    p.players.writePicksFile();  // folds and removes the journal
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int n : {1'000, 10'000, 100'000, 1'000'000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PlainRead)->Apply(sizes);
BENCHMARK(BM_LoadPlayers)->Apply(sizes);
BENCHMARK(BM_Baseline)->Apply(sizes);
BENCHMARK(BM_UpdateStandings)->Apply(sizes);
BENCHMARK(BM_SortStandings)->Apply(sizes);
BENCHMARK(BM_SavePlayersTo)->Apply(sizes);
BENCHMARK(BM_SaveSheet)->Apply(sizes)->UseRealTime();

}  // namespace
