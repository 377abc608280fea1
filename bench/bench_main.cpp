#include <QApplication>

#include <benchmark/benchmark.h>

// The "Calculate" benchmarks need widgets; they run on the offscreen platform
// so no display is needed, with two screens: one at a device pixel ratio of 1
// and one at 2.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TUBEBRIDGE_BENCH_SCREENS);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
