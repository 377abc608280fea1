#include "StageSample.h"

#include "StageVariables.h"
#include "numeric/CheckedMath.h"

#include <cmath>

namespace tb {

namespace {

constexpr double OutputGain = 0.85;

// Upper limit first, then the lower one on what is left: with a negative
// limit (Ebk above the supply) both fire and the swing ends at -limit.
[[nodiscard]] double limitSwing(double swing, double limit, bool& clipped) noexcept
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

} // namespace

StageSample StageSampleAt(const StageVariables& vars, double angleDegrees)
{
    const double r = checkedDiv(checkedMul(angleDegrees, Pi), 180.0);
    // One sine serves both grids: the second grid's drive is its exact negative.
    const double sine = std::sin(r);
    const double g1 = checkedMul(sine, vars.GridPeakVolts);
    const double g2 = checkedMul(-sine, vars.GridPeakVolts);

    StageSample s;
    const double swingLimit = checkedDiv(checkedSub(vars.SupplyVolts, vars.EbkVolts), 2.0);
    s.V1Swing = limitSwing(checkedMul(g1, OutputGain), swingLimit, s.Clipped);
    s.V2Swing = limitSwing(checkedMul(g2, OutputGain), swingLimit, s.Clipped);

    s.LoadVolts = checkedSub(s.V1Swing, s.V2Swing);
    s.LoadAmps = checkedDiv(s.LoadVolts, vars.LoadOhms);

    s.V1Amps = checkedAdd(s.LoadAmps, vars.IdleAmps);
    if (s.V1Amps < 0.0)
        s.V1Amps = 0.0;
    s.V2Amps =
        checkedSub(-vars.IdleAmps, checkedDiv(checkedSub(s.V2Swing, s.V1Swing), vars.LoadOhms));
    if (s.V2Amps > 0.0)
        s.V2Amps = 0.0;

    s.V1PlateVolts = checkedSub(checkedAdd(s.V2Swing, vars.SupplyVolts), s.V1Swing);
    return s;
}

} // namespace tb
