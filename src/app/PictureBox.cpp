#include "PictureBox.h"

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
    QImage image(deviceSize(logicalSize, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , m_image(blackImage(sizeHint(), devicePixelRatioF()))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

QSize PictureBox::sizeHint() const
{
    return {553, 297};
}

QtDrawingSurface PictureBox::beginPass(const QFont& windowFont)
{
    fitImage();
    return {*this, m_image, windowFont};
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    // The painter is clipped to the exposed region; at the screen's ratio the
    // image's pixels are the screen's pixels.
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_image);
}

void PictureBox::resizeEvent(QResizeEvent* /*event*/)
{
    // A resize that arrives while a pass paints on the image waits for the next pass.
    if (!m_image.paintingActive())
        fitImage();
}

void PictureBox::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    if (m_image.size() == deviceSize(size(), ratio) && m_image.devicePixelRatio() == ratio)
        return;
    QImage fitted = blackImage(size(), ratio);
    QPainter painter(&fitted);
    painter.drawImage(QPointF(0, 0), m_image);
    painter.end();
    m_image = std::move(fitted);
}

} // namespace tb
