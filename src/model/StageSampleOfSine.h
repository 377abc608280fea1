#pragma once

#include "CheckedMath.h"
#include "StageSample.h"
#include "StageVariables.h"

namespace tb {

// Degrees to radians, (angle x Pi) / 180: the argument of the sample's sine.
template <Checking C>
[[nodiscard]] double radiansOf(double angleDegrees)
{
    return stepDiv<C>(stepMul<C>(angleDegrees, Pi), 180.0);
}

// The output swing of a grid drive, before limiting.
template <Checking C>
[[nodiscard]] double outputSwingOf(double gridDrive)
{
    constexpr double outputGain = 0.85;
    return stepMul<C>(gridDrive, outputGain);
}

// The largest swing either way, (Supply - Ebk) / 2.
template <Checking C>
[[nodiscard]] double swingLimitOf(const StageVariables& vars)
{
    return stepDiv<C>(stepSub<C>(vars.supplyVolts, vars.ebkVolts), 2.0);
}

// Upper limit first, then the lower one on what is left: with a negative
// limit (Ebk above the supply) both fire and the swing ends at -limit.
[[nodiscard]] inline double limitSwing(double swing, double limit, bool& clipped) noexcept
{
    if (swing > limit) {
        swing = limit;
        clipped = true;
    }
    if (swing < -limit) {
        swing = -limit;
        clipped = true;
    }
    return swing;
}

// Everything of a sample after its sine, written once for the checked steps
// of stageSampleAt and the plain ones of the sweep's fast path, so both give
// the same values.
template <Checking C>
[[nodiscard]] StageSample stageSampleOfSine(const StageVariables& vars, double sine)
{
    // One sine serves both grids: the second grid's drive is its exact negative.
    const double g1 = stepMul<C>(sine, vars.gridPeakVolts);
    const double g2 = stepMul<C>(-sine, vars.gridPeakVolts);

    StageSample s;
    const double swingLimit = swingLimitOf<C>(vars);
    s.v1Swing = limitSwing(outputSwingOf<C>(g1), swingLimit, s.clipped);
    s.v2Swing = limitSwing(outputSwingOf<C>(g2), swingLimit, s.clipped);

    s.loadVolts = stepSub<C>(s.v1Swing, s.v2Swing);
    s.loadAmps = stepDiv<C>(s.loadVolts, vars.loadOhms);

    const double v1Amps = stepAdd<C>(s.loadAmps, vars.idleAmps);
    s.v1Amps = v1Amps < 0.0 ? 0.0 : v1Amps;
    const double v2Amps =
        stepSub<C>(-vars.idleAmps, stepDiv<C>(stepSub<C>(s.v2Swing, s.v1Swing), vars.loadOhms));
    s.v2Amps = v2Amps > 0.0 ? 0.0 : v2Amps;

    s.v1PlateVolts = stepSub<C>(stepAdd<C>(s.v2Swing, vars.supplyVolts), s.v1Swing);
    return s;
}

} // namespace tb
