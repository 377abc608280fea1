#pragma once

#include "StageSample.h"
#include "numeric/CheckedMath.h"

#include <optional>

namespace tb {

struct StageVariables;

// What the sweep adds up over the cycle, and whether any sample clipped.
struct SweepTotals {
    double DissipationSum = 0.0;
    double LoadPowerSum = 0.0;
    double SupplyAmpsSum = 0.0;
    bool Clipped = false;
};

// One sample's terms added, the same steps checked or plain.
template <Checking C>
void addSample(SweepTotals& totals, const StageSample& s, double loadOhms)
{
    totals.DissipationSum = stepAdd<C>(totals.DissipationSum, stepMul<C>(s.V1Amps, s.V1PlateVolts));
    totals.LoadPowerSum =
        stepAdd<C>(totals.LoadPowerSum, stepMul<C>(stepMul<C>(s.LoadAmps, s.LoadAmps), loadOhms));
    totals.SupplyAmpsSum = stepAdd<C>(totals.SupplyAmpsSum, s.V1Amps);
}

// The whole cycle in plain arithmetic, with the processor's fault flags
// tested once at the end: nothing when any step of any sample faulted (or
// when the platform has no such flags), so that the caller sweeps again step
// by step and reports that fault exactly.
[[nodiscard]] std::optional<SweepTotals> sweepTotalsUnchecked(const StageVariables& vars);

} // namespace tb
