#pragma once

namespace tb {

struct StageSample;
struct StageVariables;

// The instantaneous waveforms the graph draws, at any angle in degrees
// (periodic in 360). They read the model variables and touch nothing else.
[[nodiscard]] double loadVoltageAt(const StageVariables& vars, double angleDegrees);
[[nodiscard]] double v1CurrentAt(const StageVariables& vars, double angleDegrees); // mA, >= 0
[[nodiscard]] double v2CurrentAt(const StageVariables& vars, double angleDegrees); // mA, <= 0

// The same three from a sample already worked out for the angle, so that one
// sample serves all three.
[[nodiscard]] double loadVoltageOf(const StageSample& sample) noexcept;
[[nodiscard]] double v1CurrentOf(const StageSample& sample);
[[nodiscard]] double v2CurrentOf(const StageSample& sample);

} // namespace tb
