#include "DrawGraph.h"

#include "Axes.h"
#include "Color.h"
#include "Curves.h"
#include "DrawingSurface.h"
#include "PlotGeometry.h"

namespace tb {

void DrawGraph(DrawingSurface& surface, const GraphSettings& settings, const StageVariables& vars)
{
    surface.setBackColor(colors::Black);
    surface.makeVisible();
    surface.setForeColor(colors::White);
    surface.clear();

    const double height = surface.outerHeight();
    const double width = surface.outerWidth();
    // A bad scale stops the pass here, with the box left black and empty.
    const PlotGeometry g = makePlotGeometry(width, height, settings);

    surface.bringToFront();
    surface.clear();

    // Later layers draw over earlier ones: the marks lie on top of the traces.
    DrawTraces(surface, settings, g, vars);
    DrawFrame(surface, g);
    DrawLegend(surface, g);
    DrawTicks(surface, settings, g);
    DrawYLabels(surface, settings, g);
    DrawXLabels(surface, settings, g);
    DrawTitle(surface, g);
}

} // namespace tb
