#pragma once

namespace tb {

// 4 x arctan 1, the value degrees are converted with.
inline constexpr double Pi = 3.141592653589793;

// The model variables one press of "Calculate" sets from the required data
// and the waveform functions read afterwards. All zero before the first press.
struct StageVariables {
    double SupplyVolts = 0.0;
    double EbkVolts = 0.0;
    double LoadOhms = 0.0;
    double DriveRmsVolts = 0.0;
    double IdleAmps = 0.0;      // the field holds milliamperes
    double GridPeakVolts = 0.0; // peak drive on each grid
};

// Idling current in amperes from the field's milliamperes.
[[nodiscard]] double idleAmpsFromMilliamps(double milliamps);

// Peak drive on each grid from the RMS grid-to-grid drive: (sqrt 2 x rms) / 2.
[[nodiscard]] double gridPeakVoltsFromRms(double driveRmsVolts);

} // namespace tb
