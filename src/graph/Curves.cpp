#include "Curves.h"

#include "CheckedMath.h"
#include "Color.h"
#include "DrawingSurface.h"
#include "GraphSettings.h"
#include "PlotGeometry.h"
#include "Rounding.h"
#include "StageSample.h"
#include "Waveforms.h"

#include <QString>

#include <array>
#include <cstdint>

namespace tb {

namespace {

struct Trace {
    double (*valueOf)(const StageSample&);
    Color color;
    double legendRowFactor; // of graphHeight
    const char* legendText;
};

constexpr std::array<Trace, 3> Traces{{
    {&loadVoltageOf, colors::Red, 0.0882, "Load Voltage (Volts)"},
    {&v1CurrentOf, colors::Green, 0.176, "V1 Cathode Current (mA)"},
    {&v2CurrentOf, colors::Blue, 0.264, "V2 Cathode Current (mA)"},
}};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

[[nodiscard]] bool insidePlot(const PlotGeometry& g, Point p) noexcept
{
    // A point on the frame counts as outside.
    return g.plotLeft < p.x && p.x < g.graphWidth && 0 < p.y && p.y < g.plotBottom;
}

} // namespace

void drawTraces(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g,
                const StageVariables& vars)
{
    // One sample of the stage per angle serves the three traces; a fault in
    // it stops the pass where the first trace's value would have.
    std::array<Point, Traces.size()> previous{};
    const StageSample first = stageSampleAt(vars, settings.xAxisMin);
    for (std::size_t t = 0; t < Traces.size(); ++t)
        previous[t] = {g.plotLeft, pixelY(g, Traces[t].valueOf(first))};

    const double step = checkedDiv(checkedSub(settings.xAxisMax, settings.xAxisMin), TraceSamples);
    const bool rising = step > 0.0;
    double a = checkedAdd(settings.xAxisMin, step);
    while (rising ? a <= settings.xAxisMax : a >= settings.xAxisMax) {
        const std::int32_t x = pixelX(g, a);
        const StageSample sample = stageSampleAt(vars, a);
        for (std::size_t t = 0; t < Traces.size(); ++t) {
            const Point p{x, pixelY(g, Traces[t].valueOf(sample))};
            if (insidePlot(g, p) && (p.x != previous[t].x || p.y != previous[t].y)) {
                surface.setForeColor(Traces[t].color);
                surface.line(static_cast<float>(previous[t].x), static_cast<float>(previous[t].y),
                             static_cast<float>(p.x), static_cast<float>(p.y));
            }
            previous[t] = p;
        }
        // Far from zero a step can fall below the angle's resolution; without
        // this the sweep would never reach xAxisMax.
        const double next = checkedAdd(a, step);
        if (next == a)
            break;
        a = next;
    }
}

void drawLegend(DrawingSurface& surface, const PlotGeometry& g)
{
    // The line starts twice this far right of the plot's left edge.
    const std::int16_t offset = toInt16(checkedMul(g.graphWidth, 0.249));
    const std::int16_t lineEnd = toInt16(checkedMul(g.graphWidth, 0.311));
    const std::int16_t x1 = add16(add16(g.plotLeft, offset), offset);
    const std::int16_t x2 = add16(add16(g.plotLeft, offset), lineEnd);
    for (const Trace& trace : Traces) {
        const std::int16_t rowY = toInt16(checkedMul(g.graphHeight, trace.legendRowFactor));
        surface.setForeColor(trace.color);
        surface.line(x1, rowY, x2, rowY);
        surface.setTextPosition(add16(x2, 10), sub16(rowY, 7));
        surface.setForeColor(colors::White);
        surface.print(QString::fromLatin1(trace.legendText));
    }
}

} // namespace tb
