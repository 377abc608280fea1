#pragma once

#include "StageVariables.h"

#include <cmath>

namespace tb::test {

// The worked example's stage, written out: supply 400 V, Ebk 60 V, load
// 4000 ohms, drive 200 V RMS (141.4 V peak on each grid), idling 50 mA.
// Load peak 240.4 V, V1 110.1 mA, V2 cut off at 90 degrees.
inline StageVariables workedStage()
{
    StageVariables v;
    v.supplyVolts = 400;
    v.ebkVolts = 60;
    v.loadOhms = 4000;
    v.driveRmsVolts = 200;
    v.idleAmps = 0.05;
    v.gridPeakVolts = std::sqrt(2.0) * 200 / 2;
    return v;
}

} // namespace tb::test
