#include "Curves.h"

#include "Color.h"
#include "DrawingSurface.h"
#include "GraphSettings.h"
#include "PlotGeometry.h"
#include "model/Waveforms.h"
#include "numeric/CheckedMath.h"
#include "numeric/Rounding.h"

#include <QString>

#include <array>
#include <cstdint>

namespace tb {

namespace {

struct Trace {
    double (*function)(const StageVariables&, double);
    Color color;
    double legendRowFactor; // of GraphHeight
    const char* legendText;
};

constexpr std::array<Trace, 3> Traces{{
    {&LoadVoltageAt, colors::Red, 0.0882, "Load Voltage (Volts)"},
    {&V1CurrentAt, colors::Green, 0.176, "V1 Cathode Current (mA)"},
    {&V2CurrentAt, colors::Blue, 0.264, "V2 Cathode Current (mA)"},
}};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

[[nodiscard]] bool insidePlot(const PlotGeometry& g, Point p) noexcept
{
    // A point on the frame counts as outside.
    return g.PlotLeft < p.x && p.x < g.GraphWidth && 0 < p.y && p.y < g.PlotBottom;
}

} // namespace

void DrawTraces(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g,
                const StageVariables& vars)
{
    std::array<Point, Traces.size()> previous{};
    for (std::size_t t = 0; t < Traces.size(); ++t)
        previous[t] = {g.PlotLeft, PixelY(g, Traces[t].function(vars, settings.XAxisMin))};

    const double step = checkedDiv(checkedSub(settings.XAxisMax, settings.XAxisMin), TraceSamples);
    const bool rising = step > 0.0;
    double a = checkedAdd(settings.XAxisMin, step);
    while (rising ? a <= settings.XAxisMax : a >= settings.XAxisMax) {
        const std::int32_t x = PixelX(g, a);
        for (std::size_t t = 0; t < Traces.size(); ++t) {
            const Point p{x, PixelY(g, Traces[t].function(vars, a))};
            if (insidePlot(g, p) && (p.x != previous[t].x || p.y != previous[t].y)) {
                surface.setForeColor(Traces[t].color);
                surface.line(static_cast<float>(previous[t].x), static_cast<float>(previous[t].y),
                             static_cast<float>(p.x), static_cast<float>(p.y));
            }
            previous[t] = p;
        }
        // Far from zero a step can fall below the angle's resolution; without
        // this the sweep would never reach XAxisMax.
        const double next = checkedAdd(a, step);
        if (next == a)
            break;
        a = next;
    }
}

void DrawLegend(DrawingSurface& surface, const PlotGeometry& g)
{
    // The line starts twice this far right of the plot's left edge.
    const std::int16_t offset = toInt16(checkedMul(g.GraphWidth, 0.249));
    const std::int16_t lineEnd = toInt16(checkedMul(g.GraphWidth, 0.311));
    const std::int16_t x1 = add16(add16(g.PlotLeft, offset), offset);
    const std::int16_t x2 = add16(add16(g.PlotLeft, offset), lineEnd);
    for (const Trace& trace : Traces) {
        const std::int16_t rowY = toInt16(checkedMul(g.GraphHeight, trace.legendRowFactor));
        surface.setForeColor(trace.color);
        surface.line(x1, rowY, x2, rowY);
        surface.setTextPosition(add16(x2, 10), sub16(rowY, 7));
        surface.setForeColor(colors::White);
        surface.print(QString::fromLatin1(trace.legendText));
    }
}

} // namespace tb
