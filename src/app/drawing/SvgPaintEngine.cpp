#include "SvgPaintEngine.h"

#include <QPainterPath>
#include <QTextItem>

#include <cmath>

namespace tb {

namespace {

QString number(double v)
{
    return QString::number(v, 'g', 10);
}

} // namespace

SvgPaintEngine::SvgPaintEngine(QSize size, int dpi)
    : QPaintEngine(AllFeatures)
    , m_size(size)
    , m_dpi(dpi)
{
}

bool SvgPaintEngine::begin(QPaintDevice* /*device*/)
{
    m_svg.clear();
    m_xml.writeStartDocument();
    m_xml.writeStartElement(QStringLiteral("svg"));
    m_xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    m_xml.writeAttribute(QStringLiteral("width"), QString::number(m_size.width()));
    m_xml.writeAttribute(QStringLiteral("height"), QString::number(m_size.height()));
    m_xml.writeAttribute(QStringLiteral("viewBox"),
                         QStringLiteral("0 0 %1 %2").arg(m_size.width()).arg(m_size.height()));
    return true;
}

bool SvgPaintEngine::end()
{
    m_xml.writeEndDocument();
    return true;
}

void SvgPaintEngine::updateState(const QPaintEngineState& state)
{
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyPen)
        m_pen = state.pen();
    if (dirty & DirtyBrush)
        m_brush = state.brush();
    if (dirty & DirtyFont)
        m_font = state.font();
    if (dirty & DirtyTransform)
        m_transform = state.transform();
}

void SvgPaintEngine::writeStroke()
{
    if (m_pen.style() == Qt::NoPen) {
        m_xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("none"));
        return;
    }
    m_xml.writeAttribute(QStringLiteral("stroke"), m_pen.color().name());
    // A cosmetic pen of width 0 is one device pixel wide.
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const double width = m_pen.widthF() > 0 ? m_pen.widthF() * scale : 1.0;
    m_xml.writeAttribute(QStringLiteral("stroke-width"), number(width));
    if (m_pen.capStyle() == Qt::SquareCap)
        m_xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("square"));
}

void SvgPaintEngine::writeFill()
{
    m_xml.writeAttribute(QStringLiteral("fill"), m_brush.style() == Qt::NoBrush
                                                     ? QStringLiteral("none")
                                                     : m_brush.color().name());
}

void SvgPaintEngine::drawRects(const QRectF* rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        const QRectF r = m_transform.mapRect(rects[i]);
        m_xml.writeEmptyElement(QStringLiteral("rect"));
        m_xml.writeAttribute(QStringLiteral("x"), number(r.x()));
        m_xml.writeAttribute(QStringLiteral("y"), number(r.y()));
        m_xml.writeAttribute(QStringLiteral("width"), number(r.width()));
        m_xml.writeAttribute(QStringLiteral("height"), number(r.height()));
        writeFill();
        writeStroke();
    }
}

void SvgPaintEngine::drawLines(const QLineF* lines, int lineCount)
{
    for (int i = 0; i < lineCount; ++i) {
        const QLineF l = m_transform.map(lines[i]);
        m_xml.writeEmptyElement(QStringLiteral("line"));
        m_xml.writeAttribute(QStringLiteral("x1"), number(l.x1()));
        m_xml.writeAttribute(QStringLiteral("y1"), number(l.y1()));
        m_xml.writeAttribute(QStringLiteral("x2"), number(l.x2()));
        m_xml.writeAttribute(QStringLiteral("y2"), number(l.y2()));
        writeStroke();
    }
}

void SvgPaintEngine::writePoints(const QPointF* points, int pointCount)
{
    QStringList list;
    for (int i = 0; i < pointCount; ++i) {
        const QPointF p = m_transform.map(points[i]);
        list << number(p.x()) + QLatin1Char(',') + number(p.y());
    }
    m_xml.writeAttribute(QStringLiteral("points"), list.join(QLatin1Char(' ')));
}

void SvgPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode)
{
    const bool open = mode == PolylineMode;
    m_xml.writeEmptyElement(open ? QStringLiteral("polyline") : QStringLiteral("polygon"));
    writePoints(points, pointCount);
    if (open)
        m_xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    else
        writeFill();
    writeStroke();
}

void SvgPaintEngine::drawPath(const QPainterPath& path)
{
    for (const QPolygonF& polygon : path.toSubpathPolygons())
        drawPolygon(polygon.constData(), static_cast<int>(polygon.size()), OddEvenMode);
}

void SvgPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem)
{
    const QFont font = textItem.font();
    const double pixels =
        font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * m_dpi / 72.0;
    const QPointF at = m_transform.map(p); // the baseline's left end
    m_xml.writeStartElement(QStringLiteral("text"));
    m_xml.writeAttribute(QStringLiteral("x"), number(at.x()));
    m_xml.writeAttribute(QStringLiteral("y"), number(at.y()));
    m_xml.writeAttribute(QStringLiteral("font-family"), font.family());
    m_xml.writeAttribute(QStringLiteral("font-size"),
                         number(pixels * std::sqrt(std::abs(m_transform.determinant()))));
    m_xml.writeAttribute(QStringLiteral("font-weight"), QString::number(font.weight()));
    if (font.italic())
        m_xml.writeAttribute(QStringLiteral("font-style"), QStringLiteral("italic"));
    m_xml.writeAttribute(QStringLiteral("fill"), m_pen.color().name());
    m_xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    m_xml.writeCharacters(textItem.text());
    m_xml.writeEndElement();
}

void SvgPaintEngine::drawPixmap(const QRectF& /*r*/, const QPixmap& /*pm*/, const QRectF& /*sr*/)
{
    // The graph draws no images.
}

QPaintEngine::Type SvgPaintEngine::type() const
{
    return User;
}

} // namespace tb
