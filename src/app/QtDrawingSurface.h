#pragma once

#include "graph/DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

namespace tb {

class PictureBox;

// Draws one pass into a picture box's image. Lives for one pass: the painter
// stays open throughout (thousands of lines), and the box is repainted when
// the pass ends, also when it ends with a run-time error.
class QtDrawingSurface final : public DrawingSurface {
public:
    // windowFont is the font the window measures text heights in.
    QtDrawingSurface(PictureBox& box, const QFont& windowFont);
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
    PictureBox& m_box;
    QPainter m_painter;
    QFontMetricsF m_boxMetrics;
    QFontMetricsF m_windowMetrics;
    QColor m_back = Qt::black;
    QColor m_fore = Qt::white;
    QPointF m_textPos;
};

} // namespace tb
