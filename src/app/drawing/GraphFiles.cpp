#include "GraphFiles.h"

#include "GraphPainter.h"
#include "GraphPicture.h"
#include "SvgPaintDevice.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace tb {

QByteArray graphSvg(const GraphPicture& picture, const QFont& font, double fontDpi)
{
    SvgPaintDevice svg(picture.size.toSize());
    {
        QPainter painter(&svg);
        paintGraph(painter, picture, font, fontDpi);
    }
    return svg.svg();
}

QByteArray graphPdf(const GraphPicture& picture, const QFont& font, double fontDpi)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QStringLiteral("Tubebridge"));
    pdf.setTitle(QStringLiteral("Tubebridge graph"));
    // One device pixel of the writer is one logical pixel of the view.
    pdf.setResolution(static_cast<int>(std::lround(fontDpi)));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(picture.size * (72.0 / fontDpi), QPageSize::Point,
                              QStringLiteral("Tubebridge graph"), QPageSize::ExactMatch));
    {
        QPainter painter(&pdf);
        paintGraph(painter, picture, font, fontDpi);
    }
    return bytes;
}

} // namespace tb
