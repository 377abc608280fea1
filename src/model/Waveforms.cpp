#include "Waveforms.h"

#include "CheckedMath.h"
#include "StageSample.h"

namespace tb {

namespace {
constexpr double MilliampsPerAmp = 1000.0;
}

double loadVoltageAt(const StageVariables& vars, double angleDegrees)
{
    return stageSampleAt(vars, angleDegrees).loadVolts;
}

double v1CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return checkedMul(stageSampleAt(vars, angleDegrees).v1Amps, MilliampsPerAmp);
}

double v2CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return checkedMul(stageSampleAt(vars, angleDegrees).v2Amps, MilliampsPerAmp);
}

} // namespace tb
