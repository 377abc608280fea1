#include "QtDrawingSurface.h"

#include "PictureBox.h"

#include <QImage>
#include <QPen>

#include <algorithm>

namespace tb {

namespace {
QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}
} // namespace

QtDrawingSurface::QtDrawingSurface(PictureBox& box, QImage& image, const QFont& windowFont)
    : m_box(box)
    , m_image(image)
    , m_boxMetrics(box.font(), &image)
    , m_windowMetrics(windowFont, &image)
    , m_ratio(image.devicePixelRatio())
    , m_toDevicePixels(QTransform::fromScale(1.0 / m_ratio, 1.0 / m_ratio))
    , m_lineWidth(std::max(1, qRound(m_ratio)))
    // A wide pen is centred on its line: half its width right and down puts
    // the logical pixel's device pixels right and below the point, as the
    // one-pixel pen does.
    , m_lineOffset(m_lineWidth == 1 ? 0.0 : m_lineWidth / 2.0)
{
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setFont(box.font());
    m_painter.setWorldTransform(m_toDevicePixels);
    m_painter.setPen(pen());
}

QtDrawingSurface::~QtDrawingSurface()
{
    m_painter.end();
    m_box.update();
}

QPen QtDrawingSurface::pen() const
{
    QPen pen(m_fore, m_lineWidth == 1 ? 0 : m_lineWidth);
    // Both end points drawn, as the one-pixel pen does.
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void QtDrawingSurface::setBackColor(Color color)
{
    m_back = toQColor(color);
}

void QtDrawingSurface::setForeColor(Color color)
{
    m_fore = toQColor(color);
    m_painter.setPen(pen());
}

void QtDrawingSurface::makeVisible()
{
    m_box.show();
}
void QtDrawingSurface::bringToFront()
{
    m_box.raise();
}

void QtDrawingSurface::clear()
{
    m_painter.fillRect(m_image.rect(), m_back);
}

float QtDrawingSurface::outerWidth() const
{
    return static_cast<float>(m_box.width());
}
float QtDrawingSurface::outerHeight() const
{
    return static_cast<float>(m_box.height());
}

void QtDrawingSurface::line(float x1, float y1, float x2, float y2)
{
    const auto device = [this](float v) { return v * m_ratio + m_lineOffset; };
    m_painter.drawLine(QLineF(device(x1), device(y1), device(x2), device(y2)));
}

void QtDrawingSurface::setTextPosition(float x, float y)
{
    m_textPos = QPointF(x, y);
}

double QtDrawingSurface::textWidth(const QString& text) const
{
    return m_boxMetrics.horizontalAdvance(text);
}

double QtDrawingSurface::textHeight(const QString& /*text*/) const
{
    // One line of the window's font, whatever the characters.
    return m_windowMetrics.height();
}

void QtDrawingSurface::print(const QString& text)
{
    m_painter.setWorldTransform(QTransform());
    m_painter.drawText(m_textPos + QPointF(0, m_boxMetrics.ascent()), text);
    m_painter.setWorldTransform(m_toDevicePixels);
}

} // namespace tb
