#include "Axes.h"

#include "Color.h"
#include "DrawingSurface.h"
#include "GraphSettings.h"
#include "LatticeColumn.h"
#include "PlotGeometry.h"
#include "format/EngineeringText.h"
#include "numeric/CheckedMath.h"
#include "numeric/LenientParse.h"
#include "numeric/NumberText.h"
#include "numeric/Rounding.h"

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

void DrawFrame(DrawingSurface& surface, const PlotGeometry& g)
{
    const auto left = static_cast<float>(g.PlotLeft);
    const auto right = static_cast<float>(g.GraphWidth);
    const auto bottom = static_cast<float>(g.PlotBottom);
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
void DrawTicks(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    if (g.YTickRows <= 0)
        return; // negative steps: the rows loop never runs
    const std::int16_t minor = g.TickUnit;
    const std::int16_t labeled = mul16(2, g.TickUnit);
    const double lastColumn = g.XTickSteps;
    LatticeColumn column{colors::White, colors::Grid};
    column.tickUnit = g.TickUnit;
    column.lastRow = g.YTickSteps;
    column.rowSpacing = g.YTickSpacing;
    column.rowMinorTicks = settings.YMinorTicks;
    column.plotBottom = g.PlotBottom;
    for (double i = 0.0; i < g.XTickColumns; i += 1.0) {
        const double x = checkedAdd(g.PlotLeft, checkedMul(i, g.XTickSpacing));
        column.edge = !(0.0 < i && i < lastColumn);
        if (!column.edge) {
            column.x = x;
            column.labeled = isLabeledIndex(i, settings.XMinorTicks);
            const std::int16_t tick = column.labeled ? labeled : minor;
            column.topEnd = tick;
            column.bottomEnd = sub16(g.PlotBottom, tick);
        } else if (i == 0.0) {
            column.x = g.PlotLeft;
            column.labeledEnd = add16(g.PlotLeft, labeled);
            column.minorEnd = add16(g.PlotLeft, minor);
        } else {
            column.x = g.GraphWidth;
            column.labeledEnd = sub16(g.GraphWidth, labeled);
            column.minorEnd = sub16(g.GraphWidth, minor);
        }
        surface.latticeColumn(column);
    }
}

void DrawYLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    const double lastK = checkedSub(settings.YLabeledTicks, 1.0);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = roundedLabelValue(checkedAdd(
            checkedMul(checkedDiv(checkedSub(settings.YAxisMax, settings.YAxisMin), lastK), k),
            settings.YAxisMin));
        const QString label = engineeringText(value);
        const auto x = static_cast<float>(checkedSub(g.PlotLeft, surface.textWidth(label)));
        const double h = surface.textHeight(label);
        auto y = static_cast<float>(checkedSub(
            checkedMul(checkedSub(1.0, checkedMul(checkedDiv(1.0, lastK), k)), g.PlotBottom),
            checkedMul(0.5, h)));
        if (y < 0.0f)
            y = 0.0f; // the topmost label would stick out above the box
        surface.setTextPosition(x, y);
        surface.setForeColor(colors::White);
        surface.print(label);
    }
}

void DrawXLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g)
{
    const double lastK = checkedSub(settings.XLabeledTicks, 1.0);
    const std::int16_t plotWidth = sub16(g.GraphWidth, g.PlotLeft);
    const std::int16_t top = add16(g.PlotBottom, g.TickUnit);
    for (double k = 0.0; k <= lastK; k += 1.0) {
        const double value = checkedAdd(
            checkedDiv(checkedMul(checkedMul(k, g.XTickSpacing), settings.XMinorTicks), g.XScale),
            settings.XAxisMin);
        const QString label = engineeringText(value).trimmed();
        const double w = surface.textWidth(label);
        std::int16_t px =
            toInt16(checkedSub(checkedAdd(checkedMul(checkedDiv(k, lastK), plotWidth), g.PlotLeft),
                               checkedMul(0.5, w)));
        // Pull a label that would run past the right edge back inside it.
        if (checkedSub(g.GraphWidth, w) < px)
            px = toInt16(checkedSub(checkedSub(g.GraphWidth, w), 6.0));
        surface.setTextPosition(px, top);
        surface.setForeColor(colors::White);
        surface.print(label);
    }
}

void DrawTitle(DrawingSurface& surface, const PlotGeometry& g)
{
    const QString title = QStringLiteral("Phase Angle (Degrees)");
    surface.setForeColor(colors::White);
    const double w = surface.textWidth(title);
    const double x =
        checkedSub(checkedDiv(add16(g.GraphWidth, g.PlotLeft), 2.0), checkedDiv(w, 2.0));
    const double y = checkedAdd(g.PlotBottom, checkedMul(g.GraphHeight, 0.0529));
    surface.setTextPosition(static_cast<float>(x), static_cast<float>(y));
    surface.print(title);
}

} // namespace tb
