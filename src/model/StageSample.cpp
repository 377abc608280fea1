#include "StageSample.h"

#include "StageSampleOfSine.h"

#include <cmath>

namespace tb {

StageSample stageSampleAt(const StageVariables& vars, double angleDegrees)
{
    return stageSampleOfSine<Checking::EachStep>(
        vars, std::sin(radiansOf<Checking::EachStep>(angleDegrees)));
}

} // namespace tb
