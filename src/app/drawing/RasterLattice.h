#pragma once

#include <QColor>
#include <QLineF>
#include <QPen>
#include <QTransform>

#include <algorithm>

class QPainter;

namespace tb {

struct Lattice;

// How the screen's image takes a line of the view: in device pixels, v x ratio
// + offset, with the weight of one logical pixel in whole device pixels (the
// toolkit's one-pixel pen at a ratio of 1), never blended into its
// neighbours. The view's top-left corner lies border device pixels into the
// image.
struct RasterMapping {
    RasterMapping(double ratio, int border)
        : ratio(ratio)
        , lineWidth(std::max(1, qRound(ratio)))
        // A wide pen is centred on its line: half its width right and down
        // puts the logical pixel's device pixels right and below the point,
        // as the one-pixel pen does.
        , offset((lineWidth == 1 ? 0.0 : lineWidth / 2.0) + border)
        , toDevice(QTransform::fromScale(1.0 / ratio, 1.0 / ratio))
    {
    }

    [[nodiscard]] double device(float v) const noexcept { return v * ratio + offset; }
    [[nodiscard]] QLineF line(float x1, float y1, float x2, float y2) const noexcept
    {
        return {device(x1), device(y1), device(x2), device(y2)};
    }
    [[nodiscard]] QPen pen(const QColor& color) const
    {
        QPen pen(color, lineWidth == 1 ? 0 : lineWidth);
        pen.setCapStyle(Qt::SquareCap); // both end points drawn, as the one-pixel pen does
        return pen;
    }

    double ratio;
    int lineWidth;
    double offset;
    QTransform toDevice; // the painter's world transform for lines in device pixels
};

enum class LatticeDrawing { Plain, Shortcut };

// The tick lattice on the screen's image, the painter's world transform set
// to the mapping's. Plain draws every mark, in the order of the tick loops;
// the shortcut sets the same pixels in a fraction of the time, where a dense
// lattice has billions of marks on a few thousand device pixels.
void paintLatticeOnImage(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping,
                         LatticeDrawing drawing);

} // namespace tb
