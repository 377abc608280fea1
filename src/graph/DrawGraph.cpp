#include "DrawGraph.h"

#include "Axes.h"
#include "Color.h"
#include "Curves.h"
#include "DrawingSurface.h"
#include "PlotGeometry.h"

namespace tb {

void drawGraph(DrawingSurface& surface, const GraphSettings& settings, const StageVariables& vars)
{
    surface.setBackColor(colors::Black);
    surface.setForeColor(colors::White);
    surface.clear();

    const double height = surface.outerHeight();
    const double width = surface.outerWidth();
    // A bad scale stops the pass here, with the box left black and empty.
    const PlotGeometry g = makePlotGeometry(width, height, settings);

    // Later layers draw over earlier ones: the marks lie on top of the traces.
    drawTraces(surface, settings, g, vars);
    drawFrame(surface, g);
    drawLegend(surface, g);
    drawTicks(surface, settings, g);
    drawYLabels(surface, settings, g);
    drawXLabels(surface, settings, g);
    drawTitle(surface, g);
}

} // namespace tb
