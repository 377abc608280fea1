#pragma once

#include <QByteArray>

class QFont;

namespace tb {

struct GraphPicture;

// The graph as a vector file of the view's size in logical pixels, its texts
// in the view's font sized as on a screen of fontDpi: an SVG drawing (the
// same writer on every system), or a PDF document of one page.
[[nodiscard]] QByteArray graphSvg(const GraphPicture& picture, const QFont& font, double fontDpi);
[[nodiscard]] QByteArray graphPdf(const GraphPicture& picture, const QFont& font, double fontDpi);

} // namespace tb
