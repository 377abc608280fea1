#pragma once

namespace tb {

// 4 x arctan 1, the value degrees are converted with.
inline constexpr double Pi = 3.141592653589793;

// The model variables one press of "Calculate" sets from the required data
// and the waveform functions read afterwards. All zero before the first press.
struct StageVariables {
    double supplyVolts = 0.0;
    double ebkVolts = 0.0;
    double loadOhms = 0.0;
    double driveRmsVolts = 0.0;
    double idleAmps = 0.0;      // the field holds milliamperes
    double gridPeakVolts = 0.0; // peak drive on each grid
};

// Idling current in amperes from the field's milliamperes.
[[nodiscard]] double idleAmpsFromMilliamps(double milliamps);

// Peak drive on each grid from the RMS grid-to-grid drive: (sqrt 2 x rms) / 2.
[[nodiscard]] double gridPeakVoltsFromRms(double driveRmsVolts);

} // namespace tb
