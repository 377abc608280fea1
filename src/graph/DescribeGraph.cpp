#include "DescribeGraph.h"

#include "CheckedMath.h"
#include "EngineeringText.h"
#include "GraphSettings.h"
#include "LenientParse.h"
#include "NumberText.h"
#include "Rounding.h"
#include "StageSample.h"
#include "TextMeasure.h"
#include "VectorState.h"
#include "Waveforms.h"

#include <array>

namespace tb {

namespace {

constexpr int TraceSamples = 3000;

struct TraceKind {
    double (*valueOf)(const StageSample&);
    Color color;
    double legendRowFactor; // of graphHeight
    const char* legendText;
};

constexpr std::array<TraceKind, 3> TraceKinds{{
    {&loadVoltageOf, colors::Red, 0.0882, "Load Voltage (Volts)"},
    {&v1CurrentOf, colors::Green, 0.176, "V1 Cathode Current (mA)"},
    {&v2CurrentOf, colors::Blue, 0.264, "V2 Cathode Current (mA)"},
}};

// A text position as the screen takes it: single precision.
[[nodiscard]] QPointF textPosition(double x, double y)
{
    return {static_cast<float>(x), static_cast<float>(y)};
}

[[nodiscard]] GraphPicture::Point tracePoint(const PlotGeometry& g, double angle, double value,
                                             std::int32_t x)
{
    GraphPicture::Point p;
    p.x = x;
    p.y = pixelY(g, value);
    p.exact = {exactX(g, angle), exactY(g, value)};
    // A point on the frame counts as outside.
    p.inside = g.plotLeft < p.x && p.x < g.graphWidth && 0 < p.y && p.y < g.plotBottom;
    return p;
}

// One sample of the stage per angle serves the three traces; a fault in it
// stops the sweep where the first trace's value would have.
void describeTraces(GraphPicture& picture, const GraphSettings& settings, const PlotGeometry& g,
                    const StageVariables& vars)
{
    // The sines that follow run slowly after Qt's vector code until this.
    clearVectorState();
    for (const TraceKind& kind : TraceKinds)
        picture.traces.push_back({kind.color, {}});
    const StageSample first = stageSampleAt(vars, settings.xAxisMin);
    for (std::size_t t = 0; t < TraceKinds.size(); ++t) {
        GraphPicture::Point start =
            tracePoint(g, settings.xAxisMin, TraceKinds[t].valueOf(first), g.plotLeft);
        start.inside = false;
        picture.traces[t].points.reserve(TraceSamples + 2);
        picture.traces[t].points.push_back(start);
    }

    const double step = checkedDiv(checkedSub(settings.xAxisMax, settings.xAxisMin), TraceSamples);
    const bool rising = step > 0.0;
    double a = checkedAdd(settings.xAxisMin, step);
    while (rising ? a <= settings.xAxisMax : a >= settings.xAxisMax) {
        const std::int32_t x = pixelX(g, a);
        const StageSample sample = stageSampleAt(vars, a);
        for (std::size_t t = 0; t < TraceKinds.size(); ++t) {
            std::vector<GraphPicture::Point>& points = picture.traces[t].points;
            GraphPicture::Point p = tracePoint(g, a, TraceKinds[t].valueOf(sample), x);
            p.drawn = p.inside && (p.x != points.back().x || p.y != points.back().y);
            points.push_back(p);
        }
        // Far from zero a step can fall below the angle's resolution; without
        // this the sweep would never reach xAxisMax.
        const double next = checkedAdd(a, step);
        if (next == a)
            break;
        a = next;
    }
}

void describeLegend(GraphPicture& picture, const PlotGeometry& g)
{
    // The line starts twice this far right of the plot's left edge.
    const std::int16_t offset = toInt16(checkedMul(g.graphWidth, 0.249));
    const std::int16_t lineEnd = toInt16(checkedMul(g.graphWidth, 0.311));
    const std::int16_t x1 = add16(add16(g.plotLeft, offset), offset);
    const std::int16_t x2 = add16(add16(g.plotLeft, offset), lineEnd);
    for (const TraceKind& kind : TraceKinds) {
        const std::int16_t rowY = toInt16(checkedMul(g.graphHeight, kind.legendRowFactor));
        const GraphPicture::Text text{QString::fromLatin1(kind.legendText),
                                      textPosition(add16(x2, 10), sub16(rowY, 7))};
        picture.legend.push_back({kind.color, x1, x2, rowY, text});
    }
}

// Rounds to 15 significant digits by way of the number's text, always with "."
// both ways: a locale comma would be read back as a cut-off number.
[[nodiscard]] double roundedLabelValue(double value)
{
    return parseNumber(numberToText(value, "."));
}

// Right-aligned to the Y axis, blanks included, centred on their rows.
void describeYLabels(GraphPicture& picture, const GraphSettings& settings, const PlotGeometry& g,
                     const TextMeasure& measure)
{
    const double lastK = checkedSub(settings.yLabeledTicks, 1.0);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = roundedLabelValue(checkedAdd(
            checkedMul(checkedDiv(checkedSub(settings.yAxisMax, settings.yAxisMin), lastK), k),
            settings.yAxisMin));
        const QString label = engineeringText(value);
        const auto x = static_cast<float>(checkedSub(g.plotLeft, measure.width(label)));
        const double h = measure.lineHeight();
        auto y = static_cast<float>(checkedSub(
            checkedMul(checkedSub(1.0, checkedMul(checkedDiv(1.0, lastK), k)), g.plotBottom),
            checkedMul(0.5, h)));
        if (y < 0.0f)
            y = 0.0f; // the topmost label would stick out above the view
        picture.labels.push_back({label, textPosition(x, y)});
    }
}

// Trimmed and centred below their columns.
void describeXLabels(GraphPicture& picture, const GraphSettings& settings, const PlotGeometry& g,
                     const TextMeasure& measure)
{
    const double lastK = checkedSub(settings.xLabeledTicks, 1.0);
    const std::int16_t plotWidth = sub16(g.graphWidth, g.plotLeft);
    const std::int16_t top = add16(g.plotBottom, g.tickUnit);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = checkedAdd(
            checkedDiv(checkedMul(checkedMul(k, g.xTickSpacing), settings.xMinorTicks), g.xScale),
            settings.xAxisMin);
        const QString label = engineeringText(value).trimmed();
        const double w = measure.width(label);
        std::int16_t px =
            toInt16(checkedSub(checkedAdd(checkedMul(checkedDiv(k, lastK), plotWidth), g.plotLeft),
                               checkedMul(0.5, w)));
        // Pull a label that would run past the right edge back inside it.
        if (checkedSub(g.graphWidth, w) < px)
            px = toInt16(checkedSub(checkedSub(g.graphWidth, w), 6.0));
        picture.labels.push_back({label, textPosition(px, top)});
    }
}

// "Phase Angle (Degrees)" centred below the X labels.
void describeTitle(GraphPicture& picture, const PlotGeometry& g, const TextMeasure& measure)
{
    const QString title = QStringLiteral("Phase Angle (Degrees)");
    const double w = measure.width(title);
    const double x =
        checkedSub(checkedDiv(add16(g.graphWidth, g.plotLeft), 2.0), checkedDiv(w, 2.0));
    const double y = checkedAdd(g.plotBottom, checkedMul(g.graphHeight, 0.0529));
    picture.labels.push_back({title, textPosition(x, y)});
}

} // namespace

GraphPicture describeGraph(const GraphSettings& settings, const StageVariables& vars, QSizeF size,
                           const TextMeasure& measure)
{
    GraphPicture picture;
    picture.size = size;
    picture.textAscent = measure.ascent();
    try {
        // A bad scale stops the drawing here, with the view left black and empty.
        const PlotGeometry& g = picture.geometry.emplace(makePlotGeometry(
            static_cast<float>(size.width()), static_cast<float>(size.height()), settings));
        // Later layers draw over earlier ones: the marks lie on top of the traces.
        describeTraces(picture, settings, g, vars);
        picture.frame = true;
        describeLegend(picture, g);
        picture.lattice = makeLattice(settings, g);
        describeYLabels(picture, settings, g, measure);
        describeXLabels(picture, settings, g, measure);
        describeTitle(picture, g, measure);
    } catch (...) {
        picture.error = std::current_exception();
    }
    return picture;
}

} // namespace tb
