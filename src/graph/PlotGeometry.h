#pragma once

#include <cstdint>

namespace tb {

struct GraphSettings;

// Where the plot area lies in the graph view and how graph values map to view
// pixels; recomputed from the view's size on every drawing.
struct PlotGeometry {
    std::int16_t graphWidth = 0;
    std::int16_t graphHeight = 0;
    std::int16_t plotLeft = 0;
    std::int16_t plotBottom = 0;
    std::int16_t tickUnit = 0; // length of a minor tick mark
    double xScale = 0.0;       // pixels per degree
    double yScale = 0.0;       // pixels per unit of value
    std::int16_t xTickSteps = 0;
    std::int16_t yTickSteps = 0;
    // Lattice columns and rows, xTickSteps + 1 and yTickSteps + 1: the tick
    // loops' bounds, so they too must fit 16 bits.
    std::int16_t xTickColumns = 0;
    std::int16_t yTickRows = 0;
    double xTickSpacing = 0.0;
    double yTickSpacing = 0.0;
    double xAxisMin = 0.0;
    double yAxisMin = 0.0;
};

// Raises the division-by-zero error for equal axis limits or a tick-step count
// of 0, the overflow error for a size or count beyond 16 bits.
[[nodiscard]] PlotGeometry makePlotGeometry(double outerWidth, double outerHeight,
                                            const GraphSettings& settings);

// Graph value to view pixel, rounded to 32 bits (overflow error beyond).
[[nodiscard]] std::int32_t pixelX(const PlotGeometry& g, double angle);
[[nodiscard]] std::int32_t pixelY(const PlotGeometry& g, double value);

// The same mappings without rounding, for drawings that are not made of pixels.
[[nodiscard]] inline double exactX(const PlotGeometry& g, double angle) noexcept
{
    return (angle - g.xAxisMin) * g.xScale + g.plotLeft;
}
[[nodiscard]] inline double exactY(const PlotGeometry& g, double value) noexcept
{
    return g.plotBottom - (value - g.yAxisMin) * g.yScale;
}

} // namespace tb
