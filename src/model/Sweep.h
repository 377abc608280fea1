#pragma once

#include "StageSample.h"
#include "StageVariables.h"
#include "numeric/CheckedMath.h"

namespace tb {

// The cycle averages "Calculate" writes into the calculated-value fields.
struct OperatingPoint {
    double PlateDissipationWatts = 0.0; // each tube
    double LoadPowerWatts = 0.0;
    double SupplyMilliamps = 0.0; // each supply
};

inline constexpr int SweepSamples = 3600;
inline constexpr double AngleStep = 0.1; // degrees

// Sweeps one cycle in 0.1-degree steps. onFirstClip runs once, at the first
// clipping sample, before any later sample can fault, so an error part-way
// leaves the clipping already reported. Only V1 is accumulated: V2 mirrors it.
template <typename OnFirstClip>
[[nodiscard]] OperatingPoint SweepCycle(const StageVariables& vars, OnFirstClip&& onFirstClip)
{
    double dissipationSum = 0.0;
    double loadPowerSum = 0.0;
    double supplyAmpsSum = 0.0;
    bool clipReported = false;
    for (int k = 0; k < SweepSamples; ++k) {
        const StageSample s = StageSampleAt(vars, k * AngleStep);
        if (s.Clipped && !clipReported) {
            clipReported = true;
            onFirstClip();
        }
        dissipationSum = checkedAdd(dissipationSum, checkedMul(s.V1Amps, s.V1PlateVolts));
        loadPowerSum =
            checkedAdd(loadPowerSum, checkedMul(checkedMul(s.LoadAmps, s.LoadAmps), vars.LoadOhms));
        supplyAmpsSum = checkedAdd(supplyAmpsSum, s.V1Amps);
    }
    OperatingPoint result;
    result.PlateDissipationWatts = checkedDiv(dissipationSum, SweepSamples);
    result.LoadPowerWatts = checkedDiv(loadPowerSum, SweepSamples);
    result.SupplyMilliamps = checkedMul(checkedDiv(supplyAmpsSum, SweepSamples), 1000.0);
    return result;
}

} // namespace tb
