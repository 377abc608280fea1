#include "PlotGeometry.h"

#include "GraphSettings.h"
#include "numeric/CheckedMath.h"
#include "numeric/Rounding.h"

namespace tb {

PlotGeometry makePlotGeometry(double outerWidth, double outerHeight, const GraphSettings& settings)
{
    PlotGeometry g;
    g.XAxisMin = settings.XAxisMin;
    g.YAxisMin = settings.YAxisMin;
    g.GraphWidth = toInt16(outerWidth);
    g.GraphHeight = toInt16(outerHeight);
    g.PlotLeft = toInt16(checkedMul(g.GraphWidth, 0.07792));
    g.PlotBottom = toInt16(checkedMul(g.GraphHeight, 0.868));
    g.TickUnit = toInt16(checkedMul(g.GraphWidth, 0.00249));
    const std::int16_t plotWidth = sub16(g.GraphWidth, g.PlotLeft);
    g.XScale = checkedDiv(plotWidth, checkedSub(settings.XAxisMax, settings.XAxisMin));
    g.YScale = checkedDiv(g.PlotBottom, checkedSub(settings.YAxisMax, settings.YAxisMin));
    g.XTickSteps = mul16(sub16(settings.XLabeledTicks, 1), settings.XMinorTicks);
    g.XTickColumns = add16(g.XTickSteps, 1);
    g.YTickSteps = mul16(sub16(settings.YLabeledTicks, 1), settings.YMinorTicks);
    g.YTickRows = add16(g.YTickSteps, 1);
    g.XTickSpacing = checkedDiv(plotWidth, g.XTickSteps);
    g.YTickSpacing = checkedDiv(g.PlotBottom, g.YTickSteps);
    return g;
}

std::int32_t PixelX(const PlotGeometry& g, double angle)
{
    return toInt32(checkedAdd(checkedMul(checkedSub(angle, g.XAxisMin), g.XScale), g.PlotLeft));
}

std::int32_t PixelY(const PlotGeometry& g, double value)
{
    return toInt32(checkedSub(g.PlotBottom, checkedMul(checkedSub(value, g.YAxisMin), g.YScale)));
}

} // namespace tb
