// Standings: the bare sort of the list, a window refresh (sort and model reset) beside it, and
// each export format, for 10k and 100k participants. Each round switches the sort key between
// total points and name, so every sort really reorders the list.
#include <benchmark/benchmark.h>
#include <memory>

#include "bench_pool.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "support/temp_dir.h"

#ifdef HOOP_BENCH_UI
#include "gui/main/main_window.h"
#include "gui/standings/standings_window.h"
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
