#pragma once

class QString;

namespace tb {

class DrawingSurface;
struct GraphSettings;
struct PlotGeometry;

// The white frame around the plot area.
void DrawFrame(DrawingSurface& surface, const PlotGeometry& g);

// White tick marks along the four edges and grey grid marks inside, labeled
// ones twice as long as minor ones.
void DrawTicks(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// Y labels right-aligned to the Y axis, blanks included, centred on their rows.
void DrawYLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// X labels trimmed and centred below their columns.
void DrawXLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// "Phase Angle (Degrees)" centred below the X labels.
void DrawTitle(DrawingSurface& surface, const PlotGeometry& g);

} // namespace tb
