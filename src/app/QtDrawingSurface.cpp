#include "QtDrawingSurface.h"

#include "PictureBox.h"

#include <QPen>

namespace tb {

namespace {
QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}
} // namespace

QtDrawingSurface::QtDrawingSurface(PictureBox& box, const QFont& windowFont)
    : m_box(box)
    , m_boxMetrics(box.font(), &box.image())
    , m_windowMetrics(windowFont, &box.image())
{
    m_box.syncImageSize();
    m_painter.begin(&m_box.image());
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setFont(box.font());
    m_painter.setPen(QPen(m_fore, 0));
}

QtDrawingSurface::~QtDrawingSurface()
{
    m_painter.end();
    m_box.update();
}

void QtDrawingSurface::setBackColor(Color color)
{
    m_back = toQColor(color);
}

void QtDrawingSurface::setForeColor(Color color)
{
    m_fore = toQColor(color);
    m_painter.setPen(QPen(m_fore, 0));
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
    m_painter.fillRect(m_box.image().rect(), m_back);
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
    m_painter.drawLine(QLineF(x1, y1, x2, y2));
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
    m_painter.drawText(m_textPos + QPointF(0, m_boxMetrics.ascent()), text);
}

} // namespace tb
