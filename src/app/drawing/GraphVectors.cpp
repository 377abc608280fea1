#include "GraphVectors.h"

#include "DrawGraph.h"
#include "SvgPaintDevice.h"
#include "VectorState.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#ifdef TUBEBRIDGE_HAS_SVG
#include <QSvgGenerator>
#endif

#include <cmath>

namespace tb {

void paintGraph(QPainter& painter, const GraphVectorPass& pass)
{
    VectorDrawingSurface surface(painter, pass.box);
    try {
        drawGraph(surface, pass.settings, pass.stage);
    } catch (...) {
        // The screen shows the pass as far as it got, and so does this.
    }
    clearVectorState();
}

bool hasQtSvg() noexcept
{
#ifdef TUBEBRIDGE_HAS_SVG
    return true;
#else
    return false;
#endif
}

QByteArray graphSvg(const GraphVectorPass& pass, SvgWriter writer)
{
    const QSize size = pass.box.size.toSize();
#ifdef TUBEBRIDGE_HAS_SVG
    if (writer == SvgWriter::QtSvg) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        // Fonts then have the size in its pixels that they have on screen.
        svg.setResolution(static_cast<int>(std::lround(pass.box.measuredDpi)));
        svg.setTitle(QStringLiteral("Tubebridge graph"));
        {
            QPainter painter(&svg);
            paintGraph(painter, pass);
        }
        // Qt gives the size in millimetres to three places, which a renderer
        // may take for a pixel more (473 px is 125.148 mm, 473.0006 px): the
        // size is given in pixels, as the view box has it.
        const qsizetype width = bytes.indexOf("<svg width=\"");
        const qsizetype height = bytes.indexOf("height=\"", width);
        const qsizetype end = bytes.indexOf('"', height + 8);
        if (width >= 0 && height >= 0 && end >= 0)
            bytes.replace(width, end + 1 - width,
                          QStringLiteral(R"(<svg width="%1px" height="%2px")")
                              .arg(size.width())
                              .arg(size.height())
                              .toUtf8());
        return bytes;
    }
#else
    (void)writer;
#endif
    SvgPaintDevice svg(size);
    {
        QPainter painter(&svg);
        paintGraph(painter, pass);
    }
    return svg.svg();
}

QByteArray graphPdf(const GraphVectorPass& pass)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QStringLiteral("Tubebridge"));
    pdf.setTitle(QStringLiteral("Tubebridge graph"));
    // One device pixel of the writer is one logical pixel of the box.
    const double dpi = pass.box.measuredDpi;
    pdf.setResolution(static_cast<int>(std::lround(dpi)));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(pass.box.size * (72.0 / dpi), QPageSize::Point,
                              QStringLiteral("Tubebridge graph"), QPageSize::ExactMatch));
    {
        QPainter painter(&pdf);
        paintGraph(painter, pass);
    }
    return bytes;
}

} // namespace tb
