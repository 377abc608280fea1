#include "PictureBox.h"

#include <QPainter>
#include <QResizeEvent>

namespace tb {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , m_image(sizeHint(), QImage::Format_RGB32)
{
    m_image.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

QSize PictureBox::sizeHint() const
{
    return {553, 297};
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
}

void PictureBox::resizeEvent(QResizeEvent* /*event*/)
{
    if (!m_image.paintingActive())
        syncImageSize();
}

void PictureBox::syncImageSize()
{
    if (size() == m_image.size())
        return;
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(Qt::black);
    QPainter painter(&resized);
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_image = std::move(resized);
}

} // namespace tb
