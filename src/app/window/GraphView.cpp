#include "GraphView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace tb {

namespace {

// Rounded up, so that the image covers the whole box at a fractional ratio.
QSize deviceSize(const QSize& logicalSize, qreal ratio)
{
    return {static_cast<int>(std::ceil(logicalSize.width() * ratio)),
            static_cast<int>(std::ceil(logicalSize.height() * ratio))};
}

QImage blackImage(const QSize& logicalSize, qreal ratio)
{
    const int border = QtDrawingSurface::deviceBorder(ratio);
    QImage image(deviceSize(logicalSize, ratio) + QSize(border, border), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

} // namespace

GraphView::GraphView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

QSize GraphView::sizeHint() const
{
    return {553, 297};
}

QtDrawingSurface GraphView::beginPass(const QFont& windowFont)
{
    fitImage();
    QtDrawingSurface::Box box{size(), font(), [this] { update(); }};
    return {std::move(box), m_image, QtDrawingSurface::deviceBorder(m_image.devicePixelRatio()),
            windowFont};
}

QImage GraphView::image() const
{
    return m_image.isNull() ? QImage() : m_image.copy(shownPart());
}

QRect GraphView::shownPart() const
{
    const qreal ratio = m_image.devicePixelRatio();
    const int border = QtDrawingSurface::deviceBorder(ratio);
    return {QPoint(border, border), m_image.size() - QSize(border, border)};
}

void GraphView::paintEvent(QPaintEvent* event)
{
    // The painter is clipped to the exposed region; at the screen's ratio the
    // image's pixels are the screen's pixels.
    QPainter painter(this);
    if (m_image.isNull())
        painter.fillRect(event->rect(), Qt::black); // nothing drawn yet
    else
        painter.drawImage(QPointF(0, 0), m_image, shownPart());
}

void GraphView::resizeEvent(QResizeEvent* /*event*/)
{
    // Before the first pass there is nothing to keep. A resize that arrives
    // while a pass paints on the image waits for the next pass.
    if (!m_image.isNull() && !m_image.paintingActive())
        fitImage();
}

void GraphView::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    if (!m_image.isNull() && m_image.devicePixelRatio() == ratio &&
        shownPart().size() == deviceSize(size(), ratio))
        return;
    QImage fitted = blackImage(size(), ratio);
    if (!m_image.isNull()) {
        QPainter painter(&fitted);
        painter.drawImage(QPointF(0, 0), m_image);
    }
    m_image = std::move(fitted);
}

} // namespace tb
