// The Player Manager on a large pool: the time from creating the dialog until its list is laid
// out and painted, and what that costs in memory beside the pool; and a refill by "Show me:".
// Window code, so it is built with the windows only.
#ifdef HOOP_BENCH_UI
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QListView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <sstream>
#include <string>

#include "bench_pool.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "gui/main/main_window.h"
#include "gui/players/player_manager.h"
#include "process_memory.h"
#include "support/temp_dir.h"

namespace {
using bench::MiB;
using bench::resetPeakResident;
using bench::statusBytes;

// A pool of n participants named as in the other benchmarks ("Participant" and a number, a long
// shared start, so the sort cannot decide on the first letters), about half complete and half
// paid, the results entry in the middle.
struct Pool {
    explicit Pool(int n)
    {
        PlayerList& players = main.session().players();
        addBenchParticipants(players, n, [](Player& entry, auto& next) {
            entry.complete = (next() >> 16) & 1;
            entry.paid = (next() >> 16) & 1;
        });
        players.indexOfId(ResultsId);  // the id index is built once per pool, not by the dialog
    }

    TempDir dir;
    MemorySettings settings;
    MainWindow main{settings, QString::fromStdString(dir.path())};
};

// Counts the paints of a widget, so a run proves the list was drawn.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// This thread's processor time in seconds: the machines these run on are often shared, and wall
// time then includes waiting for a processor.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Bytes malloc has handed out and not had back, blocks it mapped on their own included.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Opens the dialog as the Player Manager command does, up to its first painted list; the paint
// counter on the list's viewport says whether it was drawn.
std::unique_ptr<PlayerManager> openDialog(MainWindow& main, PaintCounter& counter)
{
    auto dialog = std::make_unique<PlayerManager>(main.session(), main, &main);
    dialog->findChild<QListView*>(QStringLiteral("lstPlayers"))->viewport()->installEventFilter(&counter);
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

// The time is wall time; counter "ms cpu" is this thread's processor time for the same span.
// "MB kept" is what malloc holds for the open dialog beyond what it held before (the
// model, the view's layout, the widgets); "MB peak" is the resident size's high-water mark
// during the opening above the resident size before it, with malloc's free memory given back
// first, so the temporary sort keys count too.
void BM_PlayerManagerOpen(benchmark::State& state)
{
    Pool pool(static_cast<int>(state.range(0)));
    double kept = 0;
    double peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double heapBefore = heapInUse();
        const double residentBefore = statusBytes("VmRSS");
        const bool peakKnown = resetPeakResident();
        PaintCounter counter;
        const double cpuStart = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<PlayerManager> dialog = openDialog(pool.main, counter);
        const auto end = std::chrono::steady_clock::now();
        cpu += threadSeconds() - cpuStart;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        kept = (heapInUse() - heapBefore) / MiB;
        peak = peakKnown ? (statusBytes("VmHWM") - residentBefore) / MiB : -1;
        if (counter.paints == 0) {
            state.SkipWithError("the list was not painted");
            break;
        }
        dialog.reset();  // outside the measured time
    }
    state.counters["ms cpu"] = 1000 * cpu / std::max(1.0, static_cast<double>(state.iterations()));
    state.counters["MB kept"] = kept;
    state.counters["MB peak"] = peak;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlayerManagerOpen)->Arg(100'000)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond);

// "Show me:" switching between all participants and the complete ones, painted after each.
void BM_PlayerManagerFilter(benchmark::State& state)
{
    Pool pool(static_cast<int>(state.range(0)));
    PaintCounter counter;
    std::unique_ptr<PlayerManager> dialog = openDialog(pool.main, counter);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("lstTypes"));
    int filter = AllPlayers;
    for (auto _ : state) {
        filter = filter == AllPlayers ? CompletePlayers : AllPlayers;
        const int paints = counter.paints;
        types->setCurrentIndex(filter);
        QCoreApplication::processEvents();
        if (counter.paints == paints) {
            state.SkipWithError("the list was not painted");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlayerManagerFilter)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}  // namespace
#endif
