#include "Waveforms.h"

#include "StageSample.h"
#include "numeric/CheckedMath.h"

namespace tb {

namespace {
constexpr double MilliampsPerAmp = 1000.0;
}

double LoadVoltageAt(const StageVariables& vars, double angleDegrees)
{
    return StageSampleAt(vars, angleDegrees).LoadVolts;
}

double V1CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return checkedMul(StageSampleAt(vars, angleDegrees).V1Amps, MilliampsPerAmp);
}

double V2CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return checkedMul(StageSampleAt(vars, angleDegrees).V2Amps, MilliampsPerAmp);
}

} // namespace tb
