#pragma once

#include "StageSample.h"
#include "StageVariables.h"
#include "numeric/CheckedMath.h"

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
    constexpr double OutputGain = 0.85;
    return stepMul<C>(gridDrive, OutputGain);
}

// The largest swing either way, (Supply - Ebk) / 2.
template <Checking C>
[[nodiscard]] double swingLimitOf(const StageVariables& vars)
{
    return stepDiv<C>(stepSub<C>(vars.SupplyVolts, vars.EbkVolts), 2.0);
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
// of StageSampleAt and the plain ones of the sweep's fast path, so both give
// the same values.
template <Checking C>
[[nodiscard]] StageSample StageSampleOfSine(const StageVariables& vars, double sine)
{
    // One sine serves both grids: the second grid's drive is its exact negative.
    const double g1 = stepMul<C>(sine, vars.GridPeakVolts);
    const double g2 = stepMul<C>(-sine, vars.GridPeakVolts);

    StageSample s;
    const double swingLimit = swingLimitOf<C>(vars);
    s.V1Swing = limitSwing(outputSwingOf<C>(g1), swingLimit, s.Clipped);
    s.V2Swing = limitSwing(outputSwingOf<C>(g2), swingLimit, s.Clipped);

    s.LoadVolts = stepSub<C>(s.V1Swing, s.V2Swing);
    s.LoadAmps = stepDiv<C>(s.LoadVolts, vars.LoadOhms);

    const double v1Amps = stepAdd<C>(s.LoadAmps, vars.IdleAmps);
    s.V1Amps = v1Amps < 0.0 ? 0.0 : v1Amps;
    const double v2Amps =
        stepSub<C>(-vars.IdleAmps, stepDiv<C>(stepSub<C>(s.V2Swing, s.V1Swing), vars.LoadOhms));
    s.V2Amps = v2Amps > 0.0 ? 0.0 : v2Amps;

    s.V1PlateVolts = stepSub<C>(stepAdd<C>(s.V2Swing, vars.SupplyVolts), s.V1Swing);
    return s;
}

} // namespace tb
