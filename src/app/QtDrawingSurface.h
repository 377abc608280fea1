#pragma once

#include "GridMarkPixels.h"
#include "graph/DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <optional>
#include <utility>
#include <vector>

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
//
// What it leaves out changes no pixel: the second of two erases with nothing
// between, a line whose pixels are those of the line just drawn in the same
// colour, and of a run of grid marks whose pixels are those of the run just
// drawn, all but what was drawn over them since. A run is drawn as the union
// of its marks' device pixels, known from how Qt rasterises them.
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

    void gridMarks(const GridMarkRun& run) override;

private:
    friend class PictureBox;
    QtDrawingSurface(PictureBox& box, QImage& image, const QFont& windowFont);

    // The painter's pen in the foreground colour, made once per colour.
    void usePen();
    // Something other than lines and runs went onto the image.
    void forgetDrawn();
    // A piece's pixels in the given columns, or only where they meet the area.
    void fill(const GridMarkPixels::Piece& piece, LineRaster::Span columns, const QColor& color);
    void fillWithin(const GridMarkPixels::Piece& piece, LineRaster::Span columns, const QRect& area,
                    const QColor& color);
    // Lines and fills in device pixels (texts in logical ones).
    void useLineTransform();

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
    bool m_textTransform = false;

    // Widths measured, by text: a dense axis repeats its labels many times.
    mutable QHash<QString, double> m_widths;
    std::vector<std::pair<QColor, QPen>> m_pens;
    QColor m_penColor;
    // Where lines land in device pixels, when the painter maps them 1:1.
    std::optional<GridMarkPixels> m_pixels;
    // The colour the whole image was last erased to, while nothing came after.
    std::optional<QColor> m_erasedTo;
    // The last line's pixels and colour, while nothing came after it.
    std::optional<std::pair<QRect, QColor>> m_lastLine;
    // The last run of grid marks, and the pixels drawn since.
    std::optional<std::pair<Color, std::vector<GridMarkPixels::Piece>>> m_lastRun;
    std::vector<QRect> m_drawnSinceRun;
    std::vector<GridMarkPixels::Piece> m_pieces;
};

} // namespace tb
