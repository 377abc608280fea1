#include <QApplication>

#include <benchmark/benchmark.h>

// The "Calculate" benchmarks need widgets; they run on the offscreen platform
// so no display is needed, with two screens: one at a device pixel ratio of 1
// and one at 2. The second screen's ratio is Qt's own scale factor for it:
// the offscreen platform's "dpr" reaches a window on Qt 6.4 but not on 6.8.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TUBEBRIDGE_BENCH_SCREENS);
        qputenv("QT_SCREEN_SCALE_FACTORS", "1;2");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
