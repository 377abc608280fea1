#include "Sweep.h"

#include "FaultFlags.h"
#include "StageSampleOfSine.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tb {

OperatingPoint averagesOf(const SweepTotals& totals)
{
    OperatingPoint result;
    result.plateDissipationWatts = checkedDiv(totals.dissipationSum, SweepSamples);
    result.loadPowerWatts = checkedDiv(totals.loadPowerSum, SweepSamples);
    result.supplyMilliamps = checkedMul(checkedDiv(totals.supplyAmpsSum, SweepSamples), 1000.0);
    return result;
}

std::optional<SweepTotals> sweepTotalsUnchecked(const StageVariables& vars)
{
    if (!faultFlagsAvailable())
        return std::nullopt;
    constexpr Checking plain = Checking::FlagsOnly;

    // The sines first: a call inside the sample loop would make every value
    // the loop keeps in registers go to memory and back around it.
    std::array<double, SweepSamples> sines;
    double largestSine = 0.0;
    for (int k = 0; k < SweepSamples; ++k) {
        sines[k] = std::sin(radiansOf<plain>(k * AngleStep));
        largestSine = std::max(largestSine, std::abs(sines[k]));
    }

    StageVariables v = vars;
    SweepTotals totals;
    // The V2 current is not summed, but the last step of its formula can
    // overflow on its own. Its other steps, (v2Swing - v1Swing) / loadOhms,
    // give exactly -loadAmps, whose steps have run: so -idleAmps - (-loadAmps)
    // raises exactly the flags the V2 current's steps would.
    double v2Check = 0.0;
    clearFaultFlags();
    pinFloatingPoint(v);
    for (const double sine : sines) {
        const StageSample s = stageSampleOfSine<plain>(v, sine);
        addSample<plain>(totals, s, v.loadOhms);
        v2Check += -v.idleAmps - (-s.loadAmps);
    }
    // Whether any sample clipped, without a test per sample (which would cost
    // as much as the rest of the loop). The second grid's swing is the exact
    // negative of the first's, so a sample clips when swingLimit < 0 (every
    // sample does) or when |swing| > swingLimit. A rounded product grows with
    // its factors, so the largest |swing| is the one of the largest |sine|.
    const double swingLimit = swingLimitOf<plain>(v);
    totals.clipped = swingLimit < 0.0 ||
                     outputSwingOf<plain>(largestSine * std::abs(v.gridPeakVolts)) > swingLimit;
    pinFloatingPoint(totals);
    pinFloatingPoint(v2Check);
    if (faultFlagsRaised())
        return std::nullopt;
    return totals;
}

} // namespace tb
