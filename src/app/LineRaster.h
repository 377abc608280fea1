#pragma once

#include <QRect>
#include <QSize>

#include <optional>

class QLineF;

namespace tb {

// Which device pixels Qt's raster engine sets for a horizontal or vertical
// line drawn on an image without antialiasing, with the coordinates given in
// the image's own pixels: with the one-pixel cosmetic pen (width 0), or with
// a square-capped pen whole pixels wide. The arithmetic follows the engine's
// own, step by step, so a line's pixels are known without drawing it; the
// picture tests compare both ways.
//
// A horizontal line is taken in two steps: what its x coordinates decide
// (Across), then what its row adds (AcrossRow), so that a column of grid
// marks works out the first once. A vertical line likewise: what its y
// coordinates decide (Down), then its x.
class LineRaster {
public:
    // First and last pixel along one axis; empty when last < first.
    struct Span {
        int first = 0;
        int last = -1;
        [[nodiscard]] bool empty() const noexcept { return last < first; }
        friend bool operator==(Span, Span) = default;
    };

    // What a horizontal line's two x coordinates decide.
    struct Across {
        bool drawn = false;
        bool point = false; // both ends in one place: a dot
        Span columns;       // the cosmetic pen's columns
        // The wide pen's: centre, half-height, the inverse of its width
        // (relative to its length), and the band of rows outside which it is
        // clipped away.
        double middle = 0.0;
        double halfHeight = 0.0;
        double inverseWidth = 0.0;
        double clipTop = 0.0;
        double clipBottom = 0.0;
        // Whether a row gives the same AcrossRow with both.
        [[nodiscard]] bool sameRows(const Across& other) const noexcept;
    };

    // What the row of a horizontal line adds: its rows, and (wide pen) the
    // height of the band its columns are measured with.
    struct AcrossRow {
        Span rows;
        double bandHeight = 0.0;
    };

    // What a vertical line's two y coordinates decide: its rows, and what
    // its columns are measured with.
    struct Down {
        bool drawn = false;
        bool point = false;
        Span rows;
        double halfWidth = 0.0;
        double clipLeft = 0.0;
        double clipRight = 0.0;
        // Whether an x gives the same columns with both.
        [[nodiscard]] bool sameColumns(const Down& other) const noexcept;
    };

    // penWidth 0 is the cosmetic pen.
    LineRaster(int penWidth, QSize image);

    // The pixels of a horizontal or vertical line (an empty rectangle when
    // none); nothing for a slanted one, which this does not model.
    [[nodiscard]] std::optional<QRect> pixels(const QLineF& line) const;

    [[nodiscard]] Across across(double x1, double x2) const;
    [[nodiscard]] AcrossRow acrossRow(const Across& across, double y) const;
    [[nodiscard]] Span acrossColumns(const Across& across, double bandHeight) const;

    // A wide pen's dot (y1 == y2) is a short horizontal line: see across().
    [[nodiscard]] Down down(double y1, double y2) const;
    [[nodiscard]] Span downColumns(const Down& down, double x) const;

    [[nodiscard]] static QRect rect(Span columns, Span rows);

private:
    [[nodiscard]] bool cosmetic() const noexcept { return m_penWidth == 0; }
    [[nodiscard]] Span wideSpan(double from, double to, int size) const;

    int m_penWidth;
    QSize m_image;
};

} // namespace tb
