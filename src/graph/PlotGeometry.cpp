#include "PlotGeometry.h"

#include "CheckedMath.h"
#include "GraphSettings.h"
#include "Rounding.h"

namespace tb {

PlotGeometry makePlotGeometry(double outerWidth, double outerHeight, const GraphSettings& settings)
{
    PlotGeometry g;
    g.xAxisMin = settings.xAxisMin;
    g.yAxisMin = settings.yAxisMin;
    g.graphWidth = toInt16(outerWidth);
    g.graphHeight = toInt16(outerHeight);
    g.plotLeft = toInt16(checkedMul(g.graphWidth, 0.07792));
    g.plotBottom = toInt16(checkedMul(g.graphHeight, 0.868));
    g.tickUnit = toInt16(checkedMul(g.graphWidth, 0.00249));
    const std::int16_t plotWidth = sub16(g.graphWidth, g.plotLeft);
    g.xScale = checkedDiv(plotWidth, checkedSub(settings.xAxisMax, settings.xAxisMin));
    g.yScale = checkedDiv(g.plotBottom, checkedSub(settings.yAxisMax, settings.yAxisMin));
    g.xTickSteps = mul16(sub16(settings.xLabeledTicks, 1), settings.xMinorTicks);
    g.xTickColumns = add16(g.xTickSteps, 1);
    g.yTickSteps = mul16(sub16(settings.yLabeledTicks, 1), settings.yMinorTicks);
    g.yTickRows = add16(g.yTickSteps, 1);
    g.xTickSpacing = checkedDiv(plotWidth, g.xTickSteps);
    g.yTickSpacing = checkedDiv(g.plotBottom, g.yTickSteps);
    return g;
}

std::int32_t pixelX(const PlotGeometry& g, double angle)
{
    return toInt32(checkedAdd(checkedMul(checkedSub(angle, g.xAxisMin), g.xScale), g.plotLeft));
}

std::int32_t pixelY(const PlotGeometry& g, double value)
{
    return toInt32(checkedSub(g.plotBottom, checkedMul(checkedSub(value, g.yAxisMin), g.yScale)));
}

} // namespace tb
