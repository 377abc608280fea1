#include "GraphFiles.h"

#include "GraphPainter.h"
#include "GraphPicture.h"

#include <QBrush>
#include <QBuffer>
#include <QPageSize>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QTextItem>
#include <QTransform>
#include <QXmlStreamWriter>

#include <cmath>

namespace tb {

namespace {

constexpr int Dpi = 96;
constexpr double MillimetresPerInch = 25.4;

QString number(double v)
{
    QString text = QString::number(v, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString point(QPointF p)
{
    return number(p.x()) + QLatin1Char(',') + number(p.y());
}

// An SVG drawing, written the same on every system (the Windows build has no
// Qt SVG), of what the graph paints and nothing more: the device is its own
// paint engine, and each call of the painter one element, so the lines of one
// call (the lattice's marks of one colour) are one path. Filled rectangles,
// lines, polylines and polygons in their pen's colour and width, and texts in
// their font; images and painter paths are left out. Coordinates are the
// painter's, with at most three decimals, in a view box of the given size at
// 96 dots per inch.
class SvgPaintDevice final : public QPaintDevice, public QPaintEngine {
public:
    explicit SvgPaintDevice(QSize size)
        : QPaintEngine(AllFeatures)
        , m_size(size)
    {
    }

    [[nodiscard]] QPaintEngine* paintEngine() const override
    {
        return const_cast<SvgPaintDevice*>(this); // the painter draws through us
    }

    bool begin(QPaintDevice* /*device*/) override
    {
        m_svg.clear();
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(0);
        m_xml.writeStartDocument();
        m_xml.writeStartElement(QStringLiteral("svg"));
        m_xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
        m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
        m_xml.writeAttribute(QStringLiteral("width"), QString::number(m_size.width()));
        m_xml.writeAttribute(QStringLiteral("height"), QString::number(m_size.height()));
        m_xml.writeAttribute(QStringLiteral("viewBox"),
                             QStringLiteral("0 0 %1 %2").arg(m_size.width()).arg(m_size.height()));
        m_xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Tubebridge graph"));
        return true;
    }

    bool end() override
    {
        m_xml.writeEndDocument();
        return true;
    }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            m_pen = state.pen();
        if (dirty & DirtyBrush)
            m_brush = state.brush();
        if (dirty & DirtyTransform)
            m_transform = state.transform();
    }

    void drawRects(const QRectF* rects, int rectCount) override
    {
        for (int i = 0; i < rectCount; ++i) {
            const QRectF r = m_transform.mapRect(rects[i]);
            m_xml.writeEmptyElement(QStringLiteral("rect"));
            m_xml.writeAttribute(QStringLiteral("x"), number(r.x()));
            m_xml.writeAttribute(QStringLiteral("y"), number(r.y()));
            m_xml.writeAttribute(QStringLiteral("width"), number(r.width()));
            m_xml.writeAttribute(QStringLiteral("height"), number(r.height()));
            m_xml.writeAttribute(QStringLiteral("fill"), m_brush.color().name()); // fillRect's
        }
    }

    // Horizontal and vertical lines, as most marks are, in their short forms.
    void drawLines(const QLineF* lines, int lineCount) override
    {
        QString d;
        for (int i = 0; i < lineCount; ++i) {
            const QLineF l = m_transform.map(lines[i]);
            d += QLatin1Char('M') + point(l.p1());
            if (l.y1() == l.y2())
                d += QLatin1Char('H') + number(l.x2());
            else if (l.x1() == l.x2())
                d += QLatin1Char('V') + number(l.y2());
            else
                d += QLatin1Char('L') + point(l.p2());
        }
        m_xml.writeEmptyElement(QStringLiteral("path"));
        m_xml.writeAttribute(QStringLiteral("d"), d);
        writeStroke();
    }

    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override
    {
        QStringList list;
        for (int i = 0; i < pointCount; ++i)
            list << point(m_transform.map(points[i]));
        m_xml.writeEmptyElement(mode == PolylineMode ? QStringLiteral("polyline")
                                                     : QStringLiteral("polygon"));
        m_xml.writeAttribute(QStringLiteral("points"), list.join(QLatin1Char(' ')));
        writeStroke();
    }

    void drawTextItem(const QPointF& p, const QTextItem& textItem) override
    {
        const QFont font = textItem.font();
        const double pixels =
            font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * Dpi / 72.0;
        const QPointF baselineStart = m_transform.map(p);
        m_xml.writeStartElement(QStringLiteral("text"));
        m_xml.writeAttribute(QStringLiteral("x"), number(baselineStart.x()));
        m_xml.writeAttribute(QStringLiteral("y"), number(baselineStart.y()));
        m_xml.writeAttribute(QStringLiteral("font-family"), font.family());
        m_xml.writeAttribute(QStringLiteral("font-size"),
                             number(pixels * std::sqrt(std::abs(m_transform.determinant()))));
        if (font.bold())
            m_xml.writeAttribute(QStringLiteral("font-weight"), QStringLiteral("bold"));
        if (font.italic())
            m_xml.writeAttribute(QStringLiteral("font-style"), QStringLiteral("italic"));
        m_xml.writeAttribute(QStringLiteral("fill"), m_pen.color().name());
        m_xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        m_xml.writeCharacters(textItem.text());
        m_xml.writeEndElement();
    }

    void drawPixmap(const QRectF& /*r*/, const QPixmap& /*pm*/, const QRectF& /*sr*/) override
    {
        // The graph draws no images.
    }

    [[nodiscard]] Type type() const override { return User; }
    // The whole document, once the painter has ended.
    [[nodiscard]] const QByteArray& svg() const noexcept { return m_svg; }

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return static_cast<int>(m_size.width() * MillimetresPerInch / Dpi);
        case PdmHeightMM:
            return static_cast<int>(m_size.height() * MillimetresPerInch / Dpi);
        case PdmNumColors:
            return 0xffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return Dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    void writeStroke()
    {
        m_xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        m_xml.writeAttribute(QStringLiteral("stroke"), m_pen.color().name());
        // A cosmetic pen of width 0 is one device pixel wide.
        const double scale = std::sqrt(std::abs(m_transform.determinant()));
        m_xml.writeAttribute(QStringLiteral("stroke-width"),
                             number(m_pen.widthF() > 0 ? m_pen.widthF() * scale : 1.0));
        // The graph ends its marks square and its traces round.
        const bool round = m_pen.capStyle() == Qt::RoundCap;
        m_xml.writeAttribute(QStringLiteral("stroke-linecap"),
                             round ? QStringLiteral("round") : QStringLiteral("square"));
        m_xml.writeAttribute(QStringLiteral("stroke-linejoin"),
                             round ? QStringLiteral("round") : QStringLiteral("miter"));
    }

    QSize m_size;
    QByteArray m_svg;
    QXmlStreamWriter m_xml{&m_svg};
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

} // namespace

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
