#pragma once

#include "GraphSettings.h"
#include "StageVariables.h"
#include "VectorDrawingSurface.h"

#include <QByteArray>

class QPainter;

namespace tb {

// One press's graph as the screen shows it, to be drawn again as vectors:
// what the pass drew from, and the box it drew in.
struct GraphVectorPass {
    GraphSettings settings;
    StageVariables stage;
    VectorDrawingSurface::Box box;
};

// Runs the pass on the painter, in the box's logical pixels. A run-time error
// stops it where it stopped on screen, and what was drawn before stays.
void paintGraph(QPainter& painter, const GraphVectorPass& pass);

// Who writes an SVG file: Qt SVG's generator, or where the build has no Qt
// SVG (the Windows build) SvgPaintDevice.
enum class SvgWriter { QtSvg, Own };
[[nodiscard]] bool hasQtSvg() noexcept;

// The graph as an SVG drawing of the box's size in logical pixels.
[[nodiscard]] QByteArray graphSvg(const GraphVectorPass& pass,
                                  SvgWriter writer = hasQtSvg() ? SvgWriter::QtSvg
                                                                : SvgWriter::Own);
// The graph as a PDF document of one page of the box's size.
[[nodiscard]] QByteArray graphPdf(const GraphVectorPass& pass);

} // namespace tb
