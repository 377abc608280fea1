#include "StageVariables.h"
#include "Sweep.h"
#include "VectorState.h"
#include "Waveforms.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

tb::StageVariables workedExample()
{
    tb::StageVariables v;
    v.supplyVolts = 400;
    v.ebkVolts = 60;
    v.loadOhms = 4000;
    v.driveRmsVolts = 300; // clips: every limit test is exercised
    v.idleAmps = tb::idleAmpsFromMilliamps(50);
    v.gridPeakVolts = tb::gridPeakVoltsFromRms(v.driveRmsVolts);
    return v;
}

// Both run as in a press: the process has drawn with Qt (QApplication alone
// leaves the vector registers' upper halves in use), and the press clears
// that state once before the sweep.

// The floor of the sweep: the one sine per sample it takes, of the same 3600
// angles computed the same way (k x 0.1 degrees, x Pi, / 180), and nothing else.
void BM_SineFloor(benchmark::State& state)
{
    for (auto _ : state) {
        tb::clearVectorState();
        double sum = 0.0;
        for (int k = 0; k < tb::SweepSamples; ++k)
            sum += std::sin(k * tb::AngleStep * tb::Pi / 180.0);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SineFloor);

void BM_Sweep(benchmark::State& state)
{
    const tb::StageVariables v = workedExample();
    int clips = 0;
    for (auto _ : state) {
        tb::clearVectorState();
        tb::OperatingPoint p = tb::sweepCycle(v, [&clips] { ++clips; });
        benchmark::DoNotOptimize(p);
    }
    benchmark::DoNotOptimize(clips);
}
BENCHMARK(BM_Sweep);

void BM_WaveformCall(benchmark::State& state)
{
    const tb::StageVariables v = workedExample();
    double angle = 30.0;
    // As before the graph's traces are sampled: otherwise the figure depends
    // on which benchmark ran before.
    tb::clearVectorState();
    for (auto _ : state) {
        benchmark::DoNotOptimize(angle);
        double mA = tb::v1CurrentAt(v, angle);
        benchmark::DoNotOptimize(mA);
    }
}
BENCHMARK(BM_WaveformCall);

} // namespace
