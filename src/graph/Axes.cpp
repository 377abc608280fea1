#include "Axes.h"

#include "CheckedMath.h"
#include "Color.h"
#include "DrawingSurface.h"
#include "EngineeringText.h"
#include "GraphSettings.h"
#include "LatticeColumn.h"
#include "LenientParse.h"
#include "NumberText.h"
#include "PlotGeometry.h"
#include "Rounding.h"

#include <QString>

#include <cstdint>

namespace tb {

namespace {

// Rounds to 15 significant digits by way of the number's text, always with "."
// both ways: a locale comma would be read back as a cut-off number.
[[nodiscard]] double roundedLabelValue(double value)
{
    return parseNumber(numberToText(value, "."));
}

} // namespace

void drawFrame(DrawingSurface& surface, const PlotGeometry& g)
{
    const auto left = static_cast<float>(g.plotLeft);
    const auto right = static_cast<float>(g.graphWidth);
    const auto bottom = static_cast<float>(g.plotBottom);
    surface.setForeColor(colors::White);
    surface.line(left, 0.0f, left, bottom);
    surface.line(left, bottom, right, bottom);
    surface.line(right, bottom, right, 0.0f);
    surface.line(right, 0.0f, left, 0.0f);
}

// Of the lattice points only those on the edges and those with a grid mark
// are visited: a visit where nothing is drawn has nothing to check once the
// geometry stands. The order of the marks is the loops' over every point:
// column by column, down each column.
void drawTicks(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    if (g.yTickRows <= 0)
        return; // negative steps: the rows loop never runs
    const std::int16_t minor = g.tickUnit;
    const std::int16_t labeled = mul16(2, g.tickUnit);
    const double lastColumn = g.xTickSteps;
    LatticeColumn column{colors::White, colors::Grid};
    column.tickUnit = g.tickUnit;
    column.lastRow = g.yTickSteps;
    column.rowSpacing = g.yTickSpacing;
    column.rowMinorTicks = settings.yMinorTicks;
    column.plotBottom = g.plotBottom;
    for (double i = 0.0; i < g.xTickColumns; i += 1.0) {
        const double x = checkedAdd(g.plotLeft, checkedMul(i, g.xTickSpacing));
        column.edge = !(0.0 < i && i < lastColumn);
        if (!column.edge) {
            column.x = x;
            column.labeled = isLabeledIndex(i, settings.xMinorTicks);
            const std::int16_t tick = column.labeled ? labeled : minor;
            column.topEnd = tick;
            column.bottomEnd = sub16(g.plotBottom, tick);
        } else if (i == 0.0) {
            column.x = g.plotLeft;
            column.labeledEnd = add16(g.plotLeft, labeled);
            column.minorEnd = add16(g.plotLeft, minor);
        } else {
            column.x = g.graphWidth;
            column.labeledEnd = sub16(g.graphWidth, labeled);
            column.minorEnd = sub16(g.graphWidth, minor);
        }
        surface.latticeColumn(column);
    }
}

void drawYLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    const double lastK = checkedSub(settings.yLabeledTicks, 1.0);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = roundedLabelValue(checkedAdd(
            checkedMul(checkedDiv(checkedSub(settings.yAxisMax, settings.yAxisMin), lastK), k),
            settings.yAxisMin));
        const QString label = engineeringText(value);
        const auto x = static_cast<float>(checkedSub(g.plotLeft, surface.textWidth(label)));
        const double h = surface.textHeight(label);
        auto y = static_cast<float>(checkedSub(
            checkedMul(checkedSub(1.0, checkedMul(checkedDiv(1.0, lastK), k)), g.plotBottom),
            checkedMul(0.5, h)));
        if (y < 0.0f)
            y = 0.0f; // the topmost label would stick out above the box
        surface.setTextPosition(x, y);
        surface.setForeColor(colors::White);
        surface.print(label);
    }
}

void drawXLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    const double lastK = checkedSub(settings.xLabeledTicks, 1.0);
    const std::int16_t plotWidth = sub16(g.graphWidth, g.plotLeft);
    const std::int16_t top = add16(g.plotBottom, g.tickUnit);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = checkedAdd(
            checkedDiv(checkedMul(checkedMul(k, g.xTickSpacing), settings.xMinorTicks), g.xScale),
            settings.xAxisMin);
        const QString label = engineeringText(value).trimmed();
        const double w = surface.textWidth(label);
        std::int16_t px =
            toInt16(checkedSub(checkedAdd(checkedMul(checkedDiv(k, lastK), plotWidth), g.plotLeft),
                               checkedMul(0.5, w)));
        // Pull a label that would run past the right edge back inside it.
        if (checkedSub(g.graphWidth, w) < px)
            px = toInt16(checkedSub(checkedSub(g.graphWidth, w), 6.0));
        surface.setTextPosition(px, top);
        surface.setForeColor(colors::White);
        surface.print(label);
    }
}

void drawTitle(DrawingSurface& surface, const PlotGeometry& g)
{
    const QString title = QStringLiteral("Phase Angle (Degrees)");
    surface.setForeColor(colors::White);
    const double w = surface.textWidth(title);
    const double x =
        checkedSub(checkedDiv(add16(g.graphWidth, g.plotLeft), 2.0), checkedDiv(w, 2.0));
    const double y = checkedAdd(g.plotBottom, checkedMul(g.graphHeight, 0.0529));
    surface.setTextPosition(static_cast<float>(x), static_cast<float>(y));
    surface.print(title);
}

} // namespace tb
