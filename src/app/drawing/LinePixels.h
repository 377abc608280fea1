#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include <optional>

class QLineF;
class QPen;
class QTransform;

namespace tb {

// Which device pixels a painter sets for a horizontal or a vertical line, or
// a dot (both ends in one place), drawn without antialiasing: learned from
// Qt itself, by drawing the line into a scratch strip and reading back what
// it set. One lives for a drawing pass.
//
// It rests on two properties of Qt's rasteriser, which the picture tests
// check against whole drawings with the Qt the program is built with:
// - such a line sets a rectangle of pixels, or none;
// - the rectangle's columns follow from the line's x coordinates and the
//   image's width alone, its rows from its y coordinates and the image's
//   height alone (and, for a horizontal line, whether it is a dot).
// So columns are learned in a strip as wide as the image and a few pixels
// tall, rows in one as tall as the image, with the line drawn there at its
// own x (or y). Should Qt ever set anything but a rectangle, the object
// stops answering (faithful() turns false) and lines are drawn one by one.
//
// Not modelled: a line that lies within EdgeBand pixels of the image's top
// or left edge across its length (a horizontal line's y, a vertical line's
// x). Close to zero Qt's arithmetic keeps roundings that decide whether an
// edge pixel is set, and those depend on the line's other coordinates. Nor
// is a line shorter than a pixel that is not a dot: where Qt takes it for a
// dot is its own affair.
//
// Coordinates are those handed to the drawing's painter, whose transform
// and pen the strips' painters copy.
class LinePixels {
public:
    static constexpr int EdgeBand = 16;

    // First and last pixel along one axis; empty when last < first.
    struct Span {
        int first = 0;
        int last = -1;
        [[nodiscard]] bool empty() const noexcept { return last < first; }
        friend bool operator==(Span, Span) = default;
    };

    // deviceSize and ratio: the drawing's image.
    LinePixels(QSize deviceSize, qreal ratio, const QPen& pen, const QTransform& transform);
    ~LinePixels();
    LinePixels(const LinePixels&) = delete;
    LinePixels& operator=(const LinePixels&) = delete;

    // A line's columns and rows, each learned by drawing the line once:
    // nothing for a line this does not model, or once Qt has drawn
    // something it does not.
    [[nodiscard]] std::optional<Span> columnsOf(const QLineF& line);
    [[nodiscard]] std::optional<Span> rowsOf(const QLineF& line);

    // Whether two modelled lines have the same columns, or the same rows,
    // without drawing either: they are of one kind (dot, horizontal or
    // vertical line) and share the coordinates that decide.
    [[nodiscard]] static bool sameColumns(const QLineF& a, const QLineF& b) noexcept;
    [[nodiscard]] static bool sameRows(const QLineF& a, const QLineF& b) noexcept;

    [[nodiscard]] bool faithful() const noexcept { return m_faithful; }

    [[nodiscard]] static QRect rect(Span columns, Span rows);

private:
    struct Strip {
        QImage image;
        uchar* bits = nullptr; // the painter's own pixels
        QPainter painter;
    };

    static void open(Strip& strip, QSize size, qreal ratio, const QPen& pen,
                     const QTransform& transform);
    // Draws the line into the strip and reads back the span of pixels it set
    // along one axis, erasing them.
    [[nodiscard]] std::optional<Span> learn(Strip& strip, const QLineF& line, bool columns);

    Strip m_wide;    // the image's width: columns
    Strip m_tall;    // the image's height: rows
    double m_middle; // a place across a strip, clear of its edges
    int m_margin;    // how far beyond its coordinates a line may set pixels
    bool m_faithful = true;
};

} // namespace tb
