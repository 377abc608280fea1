#pragma once

#include "graph/DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

class QImage;

namespace tb {

class PictureBox;

// Draws one pass into a picture box's image; only the box creates one
// (PictureBox::beginPass). Lives for one pass: the painter stays open
// throughout (thousands of lines), and the box is repainted when the pass
// ends, also when it ends with a run-time error.
//
// The pass works in the box's logical pixels. Texts are drawn at the image's
// device resolution; lines are placed on whole device pixels with the weight
// of one logical pixel, never blended into their neighbours.
class QtDrawingSurface final : public DrawingSurface {
public:
    ~QtDrawingSurface() override;
    QtDrawingSurface(const QtDrawingSurface&) = delete;
    QtDrawingSurface& operator=(const QtDrawingSurface&) = delete;

    void setBackColor(Color color) override;
    void setForeColor(Color color) override;
    void makeVisible() override;
    void bringToFront() override;
    void clear() override;

    [[nodiscard]] float outerWidth() const override;
    [[nodiscard]] float outerHeight() const override;

    void line(float x1, float y1, float x2, float y2) override;
    void setTextPosition(float x, float y) override;
    [[nodiscard]] double textWidth(const QString& text) const override;
    [[nodiscard]] double textHeight(const QString& text) const override;
    void print(const QString& text) override;

private:
    friend class PictureBox;
    QtDrawingSurface(PictureBox& box, QImage& image, const QFont& windowFont);

    [[nodiscard]] QPen pen() const;

    PictureBox& m_box;
    QImage& m_image;
    QPainter m_painter;
    QFontMetricsF m_boxMetrics;
    QFontMetricsF m_windowMetrics;
    QColor m_back = Qt::black;
    QColor m_fore = Qt::white;
    QPointF m_textPos;
    qreal m_ratio;
    // Lines are drawn in device pixels, texts in logical ones.
    QTransform m_toDevicePixels;
    // One logical pixel in whole device pixels; 1 draws with the toolkit's
    // one-pixel cosmetic pen, exactly as at a ratio of 1.
    int m_lineWidth;
    qreal m_lineOffset;
};

} // namespace tb
