#include "StageSample.h"

#include "StageSampleOfSine.h"

#include <cmath>

namespace tb {

StageSample StageSampleAt(const StageVariables& vars, double angleDegrees)
{
    return StageSampleOfSine<Checking::EachStep>(
        vars, std::sin(radiansOf<Checking::EachStep>(angleDegrees)));
}

} // namespace tb
