#include "StageVariables.h"

#include "CheckedMath.h"

#include <cmath>

namespace tb {

double idleAmpsFromMilliamps(double milliamps)
{
    return checkedDiv(milliamps, 1000.0);
}

double gridPeakVoltsFromRms(double driveRmsVolts)
{
    return checkedDiv(checkedMul(std::sqrt(2.0), driveRmsVolts), 2.0);
}

} // namespace tb
