#pragma once

#include <QImage>
#include <QWidget>

namespace tb {

// The graph's drawing surface on screen. Everything is drawn into an image it
// keeps, so the graph survives being covered or minimised; painting only
// blits that image.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QImage& image() { return m_image; }
    // Gives the image the box's current size, keeping what is drawn. A resize
    // that arrives while a pass paints on the image waits for the next call.
    void syncImageSize();
    [[nodiscard]] const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_image;
};

} // namespace tb
