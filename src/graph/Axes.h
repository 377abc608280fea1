#pragma once

class QString;

namespace tb {

class DrawingSurface;
struct GraphSettings;
struct PlotGeometry;

// The white frame around the plot area.
void drawFrame(DrawingSurface& surface, const PlotGeometry& g);

// White tick marks along the four edges and grey grid marks inside, labeled
// ones twice as long as minor ones.
void drawTicks(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// Y labels right-aligned to the Y axis, blanks included, centred on their rows.
void drawYLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// X labels trimmed and centred below their columns.
void drawXLabels(DrawingSurface& surface, const GraphSettings& settings, const PlotGeometry& g);

// "Phase Angle (Degrees)" centred below the X labels.
void drawTitle(DrawingSurface& surface, const PlotGeometry& g);

} // namespace tb
