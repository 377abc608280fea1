#pragma once

namespace tb {

struct StageVariables;

// The state of the stage at one phase angle, shared by the sweep and the
// waveform functions so the graph shows exactly what the averages came from.
struct StageSample {
    double V1Swing = 0.0;
    double V2Swing = 0.0;
    bool Clipped = false;
    double LoadVolts = 0.0;
    double LoadAmps = 0.0;
    double V1Amps = 0.0; // never below 0
    double V2Amps = 0.0; // signed: never above 0
    double V1PlateVolts = 0.0;
};

// Raises the overflow or division-by-zero error on a floating-point fault
// (a load of 0 ohms faults at every angle).
[[nodiscard]] StageSample StageSampleAt(const StageVariables& vars, double angleDegrees);

} // namespace tb
