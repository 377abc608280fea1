#pragma once

namespace tb {

struct StageVariables;

// The state of the stage at one phase angle, shared by the sweep and the
// waveform functions so the graph shows exactly what the averages came from.
struct StageSample {
    double v1Swing = 0.0;
    double v2Swing = 0.0;
    bool clipped = false;
    double loadVolts = 0.0;
    double loadAmps = 0.0;
    double v1Amps = 0.0; // never below 0
    double v2Amps = 0.0; // signed: never above 0
    double v1PlateVolts = 0.0;
};

// Raises the overflow or division-by-zero error on a floating-point fault
// (a load of 0 ohms faults at every angle).
[[nodiscard]] StageSample stageSampleAt(const StageVariables& vars, double angleDegrees);

} // namespace tb
