#pragma once

#include <cstdint>

namespace tb {

struct GraphSettings;

// Where the plot area lies in the picture box and how graph values map to box
// pixels; recomputed from the box's size on every drawing pass.
struct PlotGeometry {
    std::int16_t GraphWidth = 0;
    std::int16_t GraphHeight = 0;
    std::int16_t PlotLeft = 0;
    std::int16_t PlotBottom = 0;
    std::int16_t TickUnit = 0; // length of a minor tick mark
    double XScale = 0.0;       // pixels per degree
    double YScale = 0.0;       // pixels per unit of value
    std::int16_t XTickSteps = 0;
    std::int16_t YTickSteps = 0;
    // Lattice columns and rows, XTickSteps + 1 and YTickSteps + 1: the tick
    // loops' bounds, so they too must fit 16 bits.
    std::int16_t XTickColumns = 0;
    std::int16_t YTickRows = 0;
    double XTickSpacing = 0.0;
    double YTickSpacing = 0.0;
    double XAxisMin = 0.0;
    double YAxisMin = 0.0;
};

// Raises the division-by-zero error for equal axis limits or a tick-step count
// of 0, the overflow error for a size or count beyond 16 bits.
[[nodiscard]] PlotGeometry makePlotGeometry(double outerWidth, double outerHeight,
                                            const GraphSettings& settings);

// Graph value to box pixel, rounded to 32 bits (overflow error beyond).
[[nodiscard]] std::int32_t PixelX(const PlotGeometry& g, double angle);
[[nodiscard]] std::int32_t PixelY(const PlotGeometry& g, double value);

} // namespace tb
