#pragma once

namespace tb {

class DrawingSurface;
struct GraphSettings;
struct PlotGeometry;
struct StageVariables;

inline constexpr int TraceSamples = 3000;

// The load-voltage and cathode-current traces, sampled from xAxisMin to
// xAxisMax and clipped point by point to the inside of the plot area. Each
// segment goes to the surface as soon as its end point is known.
void drawTraces(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g,
                const StageVariables& vars);

// The three coloured legend lines with their white texts, top right.
void drawLegend(DrawingSurface& surface, const PlotGeometry& g);

} // namespace tb
