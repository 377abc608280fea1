#pragma once

#include "DrawingSurface.h"
#include "LatticePixels.h"
#include "LinePixels.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QImage;

namespace tb {

// Draws one pass into the graph view's image (GraphView::beginPass). Lives
// for one pass: the painter stays open throughout (thousands of lines), and
// the box is asked to repaint when the pass ends, also when it ends with a
// run-time error.
//
// The pass works in the box's logical pixels. Texts are drawn at the image's
// device resolution; lines are placed on whole device pixels with the weight
// of one logical pixel, never blended into their neighbours.
//
// A lattice column is drawn as the union of its marks' device pixels, which
// Qt itself shows (LatticePixels, LinePixels): its ticks, and its grid marks
// as blocks of pixels set straight in the image. What it leaves out changes
// no pixel: of a column's grid marks the pixels the column before set, all
// but what the ticks between drew over them.
class QtDrawingSurface final : public DrawingSurface {
public:
    // What the surface needs of the box it draws for.
    struct Box {
        QSize size; // outer, in logical pixels
        QFont font;
        std::function<void()> repaint;
    };

    // The image reaches this many logical pixels beyond the box's top and
    // left edges, drawn on but never shown. Near an image's own top and left
    // edge Qt can set a line's edge pixel or not on a rounding that depends on
    // where the line runs along it (LinePixels cannot learn that from a
    // strip); with the border, nothing drawn in the box lies there.
    static constexpr int ImageBorder = 16;
    static_assert(ImageBorder >= LinePixels::EdgeBand, "the border must cover the edge band");
    // The border in whole device pixels, never less than the edge band.
    [[nodiscard]] static int deviceBorder(qreal ratio);

    // border: deviceBorder() at the image's ratio (the box's top-left corner
    // lies at (border, border)).
    // windowFont: the font the window measures text heights in.
    QtDrawingSurface(Box box, QImage& image, int border, const QFont& windowFont);
    ~QtDrawingSurface() override;
    QtDrawingSurface(const QtDrawingSurface&) = delete;
    QtDrawingSurface& operator=(const QtDrawingSurface&) = delete;

    void setBackColor(Color color) override;
    void setForeColor(Color color) override;
    void clear() override;

    [[nodiscard]] float outerWidth() const override;
    [[nodiscard]] float outerHeight() const override;

    void line(float x1, float y1, float x2, float y2) override;
    void setTextPosition(float x, float y) override;
    [[nodiscard]] double textWidth(const QString& text) const override;
    [[nodiscard]] double textHeight(const QString& text) const override;
    void print(const QString& text) override;

    void latticeColumn(const LatticeColumn& column) override;

private:
    // The painter's pen in the foreground colour, made once per colour.
    void usePen();
    [[nodiscard]] QPen linePen(const QColor& color) const;
    // Something other than lines and runs went onto the image.
    void forgetDrawn();
    // A piece's pixels in the given columns, or only where they meet the area.
    // Device pixels set straight in the image, as a fill would set them.
    void fill(const QRect& area, QRgb color);
    void fill(const LatticePixels::Piece& piece, LinePixels::Span columns, QRgb color);
    void fillWithin(const LatticePixels::Piece& piece, LinePixels::Span columns, const QRect& area,
                    QRgb color);
    // Made on first use in a pass.
    [[nodiscard]] LinePixels& linePixels();
    [[nodiscard]] LatticePixels& latticePixels();
    // Lines and fills in device pixels (texts in logical ones).
    void useLineTransform();

    Box m_box;
    QImage& m_image;
    QPainter m_painter;
    // The image's pixels, as the painter paints them.
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
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
    // Where a line at logical v lands: v x ratio + m_lineOffset device pixels.
    qreal m_lineOffset;
    QTransform m_toText;
    bool m_textTransform = false;

    // Widths measured, by text: a dense axis repeats its labels many times.
    mutable QHash<QString, double> m_widths;
    std::vector<std::pair<QColor, QPen>> m_pens;
    QColor m_penColor;
    // Where lines land in device pixels.
    std::optional<LinePixels> m_linePixels;
    std::optional<LatticePixels> m_latticePixels;
    // The grid marks of the last inner column, and the ticks drawn since.
    std::optional<std::pair<Color, std::vector<LatticePixels::Piece>>> m_lastRun;
    std::vector<QRect> m_drawnSinceRun;
    LatticePixels::Inner m_inner;
    std::vector<LatticePixels::Piece> m_pieces;
};

} // namespace tb
