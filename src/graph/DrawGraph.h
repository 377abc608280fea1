#pragma once

namespace tb {

class DrawingSurface;
struct GraphSettings;
struct StageVariables;

// The drawing pass of one "Calculate": prepares the box, then draws the
// traces, frame, legend, tick and grid marks, labels and title. Raises a
// run-time error on a fault; what was drawn before it stays on the surface.
void drawGraph(DrawingSurface& surface, const GraphSettings& settings, const StageVariables& vars);

} // namespace tb
