#include "Waveforms.h"

#include "CheckedMath.h"
#include "StageSample.h"

namespace tb {

namespace {
constexpr double MilliampsPerAmp = 1000.0;
}

double loadVoltageOf(const StageSample& sample) noexcept
{
    return sample.loadVolts;
}

double v1CurrentOf(const StageSample& sample)
{
    return checkedMul(sample.v1Amps, MilliampsPerAmp);
}

double v2CurrentOf(const StageSample& sample)
{
    return checkedMul(sample.v2Amps, MilliampsPerAmp);
}

double loadVoltageAt(const StageVariables& vars, double angleDegrees)
{
    return loadVoltageOf(stageSampleAt(vars, angleDegrees));
}

double v1CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return v1CurrentOf(stageSampleAt(vars, angleDegrees));
}

double v2CurrentAt(const StageVariables& vars, double angleDegrees)
{
    return v2CurrentOf(stageSampleAt(vars, angleDegrees));
}

} // namespace tb
