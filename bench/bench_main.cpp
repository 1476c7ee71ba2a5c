// Benchmarks of window code need an application object; the core ones do not mind it.
#include <benchmark/benchmark.h>

#ifdef HOOP_BENCH_UI
#include <QApplication>
#endif

int main(int argc, char** argv)
{
#ifdef HOOP_BENCH_UI
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
