#pragma once

#include "Color.h"

#include <cstdint>

namespace tb {

struct GraphSettings;
struct PlotGeometry;

// The tick lattice: columns i = 0 .. columns - 1 at x = left + i x columnSpacing,
// rows j = 0 .. lastRow at y = j x rowSpacing, drawn column by column. The
// first and last columns are the plot's left and right edges and carry white
// Y ticks at the rows inside; a column between them carries a white X tick
// at the top, grey grid marks at the rows inside (horizontal on labeled rows,
// vertical in a labeled column) and a white X tick at the bottom.
struct Lattice {
    int columns = 0; // 0: nothing is drawn
    double lastRow = 0.0;
    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    std::int16_t columnMinorTicks = 1;
    std::int16_t rowMinorTicks = 1;
    std::int16_t tickUnit = 0; // a short tick's length; a grid mark reaches this far each way
    std::int16_t longTick = 0; // a labeled tick's length
    Color tickColor = colors::White;
    Color gridColor = colors::Grid;
};

// One column of the lattice: where it stands and where its ticks end.
struct LatticeColumn {
    enum class Kind { LeftEdge, Inner, RightEdge };
    Kind kind = Kind::Inner;
    double x = 0.0;
    bool labeled = false;    // an inner column's: long X ticks and vertical grid marks
    double topEnd = 0.0;     // an inner column's X ticks run from 0 to topEnd
    double bottomEnd = 0.0;  // and from the bottom to bottomEnd
    double labeledEnd = 0.0; // an edge column's Y ticks run from x to here on labeled rows
    double minorEnd = 0.0;   // and to here on the others
};

// One mark as the screen draws it, in the view's pixels.
struct LatticeMark {
    Color color;
    float x1, y1, x2, y2;
};

[[nodiscard]] Lattice makeLattice(const GraphSettings& settings, const PlotGeometry& g);

// Labeled when a whole multiple of the minor count.
[[nodiscard]] bool isLabeledIndex(double index, std::int16_t minorTicks);
[[nodiscard]] LatticeColumn latticeColumn(const Lattice& lattice, int i);
[[nodiscard]] inline double rowPosition(const Lattice& lattice, double j)
{
    return j * lattice.rowSpacing;
}

// The marks of a column in the order the tick loops draw them. Rows where
// nothing is drawn are not visited.
template <typename F>
void forEachMark(const Lattice& lattice, const LatticeColumn& column, F&& f)
{
    const auto x = static_cast<float>(column.x);
    const auto unit = static_cast<double>(lattice.tickUnit);
    if (column.kind != LatticeColumn::Kind::Inner) {
        for (double j = 1.0; j < lattice.lastRow; j += 1.0) {
            const auto y = static_cast<float>(rowPosition(lattice, j));
            const double end =
                isLabeledIndex(j, lattice.rowMinorTicks) ? column.labeledEnd : column.minorEnd;
            f(LatticeMark{lattice.tickColor, x, y, static_cast<float>(end), y});
        }
        return;
    }
    f(LatticeMark{lattice.tickColor, x, 0.0f, x, static_cast<float>(column.topEnd)});
    // Without vertical marks only the labeled rows draw anything.
    const double minor = lattice.rowMinorTicks < 0 ? -lattice.rowMinorTicks : lattice.rowMinorTicks;
    const double step = column.labeled || minor < 1.0 ? 1.0 : minor;
    for (double j = step; j < lattice.lastRow; j += step) {
        const double y = rowPosition(lattice, j);
        if (isLabeledIndex(j, lattice.rowMinorTicks))
            f(LatticeMark{lattice.gridColor, static_cast<float>(column.x - unit),
                          static_cast<float>(y), static_cast<float>(column.x + unit),
                          static_cast<float>(y)});
        if (column.labeled)
            f(LatticeMark{lattice.gridColor, x, static_cast<float>(y - unit), x,
                          static_cast<float>(y + unit)});
    }
    f(LatticeMark{lattice.tickColor, x, static_cast<float>(lattice.bottom), x,
                  static_cast<float>(column.bottomEnd)});
}

} // namespace tb
