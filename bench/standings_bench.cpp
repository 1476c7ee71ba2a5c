// Standings: the bare sort of the list, a window refresh (sort and model reset) beside it, and
// each export format, for 10k and 100k participants. Each round switches the sort key between
// total points and name, so every sort really reorders the list.
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

#include "bench_pool.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "support/temp_dir.h"

#ifdef HOOP_BENCH_UI
#include <QAction>
#include <QCoreApplication>

#include "core/session/pool_session.h"
#include "gui/main/main_window.h"
#include "gui/standings/standings_window.h"
#include "pool/pool_samples.h"
#endif

namespace {
const std::array<std::string, 4> Regions = {"East", "West", "South", "Midwest"};

void fillTeams(TeamTable& teams)
{
    for (int region = 1; region <= RegionCount; ++region)
        for (int seed = 1; seed <= SeedCount; ++seed)
            teams.entry(region, seed).name = "Team " + std::to_string(region * 100 + seed);
}

// The team table of the benchmarks that run without a window.
TeamTable& teams()
{
    static TeamTable teams = [] {
        TeamTable t;
        fillTeams(t);
        return t;
    }();
    return teams;
}

// n participants with scattered points and picks, and the results entry in the middle.
void fillPlayers(PlayerList& players, int n)
{
    addBenchParticipants(players, n, [](Player& entry, auto& next) {
        for (int r = 1; r <= RoundCount; ++r) entry.roundPoints[r] = static_cast<std::int32_t>(next() % 40);
        for (int r = 1; r <= RoundCount; ++r) entry.total += entry.roundPoints[r];
        entry.potential = entry.total + static_cast<std::int32_t>(next() % 100);
        for (int g : {57, 58, 59, 60, 63})
            entry.picks[g] =
                makeTeamCode(static_cast<std::uint8_t>(1 + next() % 4), static_cast<std::uint8_t>(1 + next() % 16));
    });
}

void nextKey(PlayerList& players)
{
    players.setSort(players.sortKey() == SortKey::Total ? SortKey::Name : SortKey::Total, players.sortAscending());
}

void BM_StandingsCoreSort(benchmark::State& state)
{
    NullPoolHost host;
    PlayerList players(host, "", teams());
    fillPlayers(players, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        nextKey(players);
        players.sort();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StandingsCoreSort)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The grid's snapshot of the sorted list alone, the part of a refresh that is ours besides the sort.
void BM_StandingsRefill(benchmark::State& state)
{
    NullPoolHost host;
    PlayerList players(host, "", teams());
    fillPlayers(players, static_cast<int>(state.range(0)));
    StandingsTable table(Regions);
    for (auto _ : state) {
        table.refill(players, teams());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StandingsRefill)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

#ifdef HOOP_BENCH_UI
void BM_StandingsRefresh(benchmark::State& state)
{
    TempDir dir;
    MemorySettings settings;
    MainWindow main(settings, QString::fromStdString(dir.path()));
    PlayerList& players = main.session().players();
    fillTeams(main.session().teams());
    fillPlayers(players, static_cast<int>(state.range(0)));
    main.show();
    main.showStandings(true);
    StandingsWindow* form = main.standingsForm();
    if (!form) {
        state.SkipWithError("no standings window");
        return;
    }
    for (auto _ : state) {
        nextKey(players);
        form->refreshStandings();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StandingsRefresh)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// ---- A freshly loaded pool in the main window ---------------------------------------------------
// What the organiser waits for, from a PICKS.HFD loaded as at start-up: consistent random sheets
// named as above, the results (first round played) in the middle, so the first View Standings
// scores everybody. Time is this thread's processor time (the machines are shared; waiting for a
// processor or the disk is not the code's); counter "ms wall" is the wall time of the same spans.

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One timed span: processor and wall time.
class Span {
public:
    Span() : m_cpu(threadSeconds()), m_wall(std::chrono::steady_clock::now()) {}
    void end(benchmark::State& state, double& wall) const
    {
        state.SetIterationTime(threadSeconds() - m_cpu);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count();
    }

private:
    double m_cpu;
    std::chrono::steady_clock::time_point m_wall;
};

void reportWall(benchmark::State& state, double wall)
{
    state.counters["ms wall"] = 1000 * wall / std::max<double>(1, static_cast<double>(state.iterations()));
}

// The pool's folder with its PICKS.HFD, written once per size.
const TempDir& poolFolder(int n)
{
    static std::map<int, std::unique_ptr<TempDir>> folders;
    auto& folder = folders[n];
    if (!folder) {
        folder = std::make_unique<TempDir>();
        NullPoolHost host;
        PlayerList players(host, folder->path(), teams());
        std::mt19937 rng(7);
        addBenchParticipants(players, n, [&rng](Player& entry, auto&) { entry.picks = randomBracket(rng); });
        players.unjournaledEntry(players.indexOfId(ResultsId)).picks = randomBracket(rng, 32);
        players.savePlayersTo(folder->file(PicksFileName));
    }
    return *folder;
}

// The main window on the pool as start-up leaves it. The journal a run leaves is removed, so the
// next one loads the same pool.
struct LoadedPool {
    explicit LoadedPool(int n) : folder(poolFolder(n))
    {
        fillTeams(main.session().teams());
        main.show();
        main.session().loadPlayers();
        QCoreApplication::processEvents();
    }
    ~LoadedPool() { std::filesystem::remove(folder.file(JournalFileName)); }
    PlayerList& players() { return main.session().players(); }
    void viewStandings() { main.findChild<QAction*>(QStringLiteral("mnuViewStd"))->trigger(); }
    QAction* sortItem(const char* name) { return main.standingsForm()->findChild<QAction*>(QLatin1String(name)); }

    const TempDir& folder;
    MemorySettings settings;
    MainWindow main{settings, QString::fromStdString(folder.path())};
};

// View Standings on a pool just loaded: every entry scored, the window made, sorted and filled,
// and painted.
void BM_StandingsFirstOpen(benchmark::State& state)
{
    double wall = 0;
    for (auto _ : state) {
        LoadedPool pool(static_cast<int>(state.range(0)));
        const Span span;
        pool.viewStandings();
        QCoreApplication::processEvents();
        span.end(state, wall);
        if (!pool.main.standingsForm()) state.SkipWithError("no standings window");
    }
    reportWall(state, wall);
}

// A resort from the pop-up menu, painted; each from the other order, so every one reorders.
void resort(benchmark::State& state, const char* from, const char* to)
{
    LoadedPool pool(static_cast<int>(state.range(0)));
    pool.viewStandings();
    QCoreApplication::processEvents();
    double wall = 0;
    for (auto _ : state) {
        pool.sortItem(from)->trigger();
        QCoreApplication::processEvents();
        const Span span;
        pool.sortItem(to)->trigger();
        QCoreApplication::processEvents();
        span.end(state, wall);
    }
    reportWall(state, wall);
}
void BM_StandingsResortByName(benchmark::State& state) { resort(state, "mnuSortTotal", "mnuSortName"); }
void BM_StandingsResortByTotal(benchmark::State& state) { resort(state, "mnuSortName", "mnuSortTotal"); }

// A sheet saved as the bracket sheet saves it (its entry looked up, a copy stored, journaled and
// flushed) while the standings are open, which score it and show it in its place; painted. Every
// other save is a new participant's.
void BM_SaveSheetWithStandingsOpen(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    LoadedPool pool(n);
    pool.viewStandings();
    QCoreApplication::processEvents();
    PlayerList& players = pool.players();
    std::mt19937 rng(11);
    const IdSource ids = [&rng] { return static_cast<std::int32_t>(rng() % 999'999'999); };
    double wall = 0;
    bool fresh = false;
    for (auto _ : state) {
        const PickArray picks = randomBracket(rng);
        const std::int32_t id = fresh ? 0 : static_cast<std::int32_t>(1 + rng() % static_cast<unsigned>(n));
        const Span span;
        Player record;
        if (id != 0) {
            record = players[players.indexOfId(id)];
        } else {
            record.id = newPlayerId(players, ids);
            record.name = "New participant";
        }
        record.picks = picks;
        players.storeEntry(record, true);
        QCoreApplication::processEvents();
        span.end(state, wall);
        fresh = !fresh;
    }
    reportWall(state, wall);
}

// The first new sheet saved after loading, the standings closed: a new id drawn, the entry
// stored and the new journal created and flushed.
void BM_FirstSaveAfterLoad(benchmark::State& state)
{
    std::mt19937 rng(13);
    const IdSource ids = [&rng] { return static_cast<std::int32_t>(rng() % 999'999'999); };
    double wall = 0;
    for (auto _ : state) {
        LoadedPool pool(static_cast<int>(state.range(0)));
        Player record;
        record.name = "New participant";
        record.picks = randomBracket(rng);
        const Span span;
        record.id = newPlayerId(pool.players(), ids);
        pool.players().storeEntry(record, true);
        span.end(state, wall);
    }
    reportWall(state, wall);
}

// Each run loads the pool afresh; a few runs are enough, and a million takes a while to load.
void fewRuns(benchmark::internal::Benchmark* b)
{
    b->Arg(100'000)->Arg(1'000'000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void manySaves(benchmark::internal::Benchmark* b)
{
    b->Arg(100'000)->Arg(1'000'000)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_StandingsFirstOpen)->Apply(fewRuns);
BENCHMARK(BM_StandingsResortByName)->Apply(fewRuns);
BENCHMARK(BM_StandingsResortByTotal)->Apply(fewRuns);
BENCHMARK(BM_SaveSheetWithStandingsOpen)->Apply(manySaves);
BENCHMARK(BM_FirstSaveAfterLoad)->Apply(fewRuns);
#endif

enum class Format { Csv, Tab, Html, Clipboard };

template <Format format> void BM_StandingsExport(benchmark::State& state)
{
    NullPoolHost host;
    PlayerList players(host, "", teams());
    fillPlayers(players, static_cast<int>(state.range(0)));
    players.sort();
    StandingsTable table(Regions);
    table.refill(players, teams());
    TempDir dir;
    const std::string path = dir.file("standing.out");
    for (auto _ : state) {
        switch (format) {
        case Format::Csv: exportTextFile(table, path, TextSeparator::Comma, host); break;
        case Format::Tab: exportTextFile(table, path, TextSeparator::Tab, host); break;
        case Format::Html: exportHtmlFile(table, path, "As of: 01/02/2025", host); break;
        case Format::Clipboard: benchmark::DoNotOptimize(exportClipboardText(table, host)); break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StandingsExport<Format::Csv>)
    ->Name("BM_StandingsExportCsv")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandingsExport<Format::Tab>)
    ->Name("BM_StandingsExportTab")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandingsExport<Format::Html>)
    ->Name("BM_StandingsExportHtml")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandingsExport<Format::Clipboard>)
    ->Name("BM_StandingsExportClipboard")
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
}  // namespace
