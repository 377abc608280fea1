#pragma once

#include "Color.h"

class QString;

namespace tb {

struct LatticeColumn;

// What the drawing pass needs of the picture box. Coordinates are box pixels,
// origin top left, y downward; they may be fractional. Lines and texts use
// the current foreground colour; a text is printed with its top-left corner
// at the text position.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void setBackColor(Color color) = 0;
    virtual void setForeColor(Color color) = 0;
    // Erases the whole box to the background colour.
    virtual void clear() = 0;

    // Outer size in the window's pixels.
    [[nodiscard]] virtual float outerWidth() const = 0;
    [[nodiscard]] virtual float outerHeight() const = 0;

    virtual void line(float x1, float y1, float x2, float y2) = 0;
    virtual void setTextPosition(float x, float y) = 0;
    // Width in the box's font; height in the window's own font.
    [[nodiscard]] virtual double textWidth(const QString& text) const = 0;
    [[nodiscard]] virtual double textHeight(const QString& text) const = 0;
    virtual void print(const QString& text) = 0;

    // The tick marks and grid marks of one lattice column. By default mark by
    // mark, each its colour set and then its line drawn, as the tick loops
    // would; a surface may draw the column's pixels all at once instead.
    virtual void latticeColumn(const LatticeColumn& column);
};

} // namespace tb
