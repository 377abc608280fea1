#pragma once

class QFont;
class QPainter;

namespace tb {

struct GraphPicture;

// Paints a graph on any painter, in the view's logical pixels: the screen's
// image, a PNG, a PDF or SVG drawing, a printer's page.
//
// On an image the drawing is the screen's, pixel for pixel: trace points on
// whole pixels, every line one logical pixel wide in whole device pixels,
// and deviceBorder device pixels of the image above and left of the view. On
// any other device (a vector drawing) the traces are paths through their
// samples' exact places, one for each stretch drawn unbroken on screen, and
// every line runs through the middle of the pixels it covers on screen.
// Texts are text in the view's font, sized as on a screen of fontDpi.
void paintGraph(QPainter& painter, const GraphPicture& picture, const QFont& font, double fontDpi,
                int deviceBorder = 0);

} // namespace tb
