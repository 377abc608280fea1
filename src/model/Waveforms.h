#pragma once

namespace tb {

struct StageVariables;

// The instantaneous waveforms the graph draws, at any angle in degrees
// (periodic in 360). They read the model variables and touch nothing else.
[[nodiscard]] double loadVoltageAt(const StageVariables& vars, double angleDegrees);
[[nodiscard]] double v1CurrentAt(const StageVariables& vars, double angleDegrees); // mA, >= 0
[[nodiscard]] double v2CurrentAt(const StageVariables& vars, double angleDegrees); // mA, <= 0

} // namespace tb
