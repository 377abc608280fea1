#pragma once

#include "StageSample.h"
#include "StageVariables.h"
#include "SweepTotals.h"

namespace tb {

// The cycle averages "Calculate" writes into the calculated-value fields.
struct OperatingPoint {
    double plateDissipationWatts = 0.0; // each tube
    double loadPowerWatts = 0.0;
    double supplyMilliamps = 0.0; // each supply
};

inline constexpr int SweepSamples = 3600;
inline constexpr double AngleStep = 0.1; // degrees

// The averages of the totals, each step checked.
[[nodiscard]] OperatingPoint averagesOf(const SweepTotals& totals);

// Sweeps one cycle in 0.1-degree steps. onFirstClip runs once when any sample
// clips, before any later sample can fault, so an error part-way leaves the
// clipping already reported; it must not change vars. Only V1 is
// accumulated: V2 mirrors it.
//
// A sweep without a fault runs in plain arithmetic; its samples have no
// effect but their sums, so reporting the clipping after them is the same as
// reporting it at the first. Only a sweep that faulted runs again step by step.
template <typename OnFirstClip>
[[nodiscard]] OperatingPoint sweepCycle(const StageVariables& vars, OnFirstClip&& onFirstClip)
{
    if (const std::optional<SweepTotals> totals = sweepTotalsUnchecked(vars)) {
        if (totals->clipped)
            onFirstClip();
        return averagesOf(*totals);
    }
    SweepTotals totals;
    for (int k = 0; k < SweepSamples; ++k) {
        const StageSample s = stageSampleAt(vars, k * AngleStep);
        if (s.clipped && !totals.clipped) {
            totals.clipped = true;
            onFirstClip();
        }
        addSample<Checking::EachStep>(totals, s, vars.loadOhms);
    }
    return averagesOf(totals);
}

} // namespace tb
