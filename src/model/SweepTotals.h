#pragma once

#include "CheckedMath.h"
#include "StageSample.h"

#include <optional>

namespace tb {

struct StageVariables;

// What the sweep adds up over the cycle, and whether any sample clipped.
struct SweepTotals {
    double dissipationSum = 0.0;
    double loadPowerSum = 0.0;
    double supplyAmpsSum = 0.0;
    bool clipped = false;
};

// One sample's terms added, the same steps checked or plain.
template <Checking C>
void addSample(SweepTotals& totals, const StageSample& s, double loadOhms)
{
    totals.dissipationSum = stepAdd<C>(totals.dissipationSum, stepMul<C>(s.v1Amps, s.v1PlateVolts));
    totals.loadPowerSum =
        stepAdd<C>(totals.loadPowerSum, stepMul<C>(stepMul<C>(s.loadAmps, s.loadAmps), loadOhms));
    totals.supplyAmpsSum = stepAdd<C>(totals.supplyAmpsSum, s.v1Amps);
}

// The whole cycle in plain arithmetic, with the processor's fault flags
// tested once at the end: nothing when any step of any sample faulted (or
// when the platform has no such flags), so that the caller sweeps again step
// by step and reports that fault exactly.
[[nodiscard]] std::optional<SweepTotals> sweepTotalsUnchecked(const StageVariables& vars);

} // namespace tb
