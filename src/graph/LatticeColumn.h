#pragma once

#include "Color.h"

#include <cstdint>

namespace tb {

// The tick marks and grid marks of one column of the tick lattice, which the
// drawing surface draws in the order the tick loops would. An inner column:
// its X tick on the top edge, then at each row strictly inside a horizontal
// grid mark when the row is labeled and a vertical one when the column is,
// then its X tick on the bottom edge. An edge column (the plot's left or
// right edge): a Y tick at each row strictly inside. A grid mark reaches
// tickUnit to each side of its lattice point.
struct LatticeColumn {
    Color tickColor;
    Color gridColor;
    bool edge = false;    // an edge column: Y ticks only
    double x = 0.0;       // the column's position
    bool labeled = false; // an inner column's: X ticks long, vertical grid marks
    std::int16_t tickUnit = 0;
    double lastRow = 0.0; // the rows inside are 1 to lastRow - 1
    double rowSpacing = 0.0;
    std::int16_t rowMinorTicks = 1; // a row is labeled when a whole multiple of it
    // An inner column's X ticks run from y = 0 to topEnd and from plotBottom
    // to bottomEnd; an edge column's Y ticks from x to labeledEnd on a labeled
    // row, to minorEnd on the others.
    double topEnd = 0.0;
    double plotBottom = 0.0;
    double bottomEnd = 0.0;
    double labeledEnd = 0.0;
    double minorEnd = 0.0;
};

// A lattice index is labeled when it is a whole multiple of the minor count.
[[nodiscard]] bool isLabeledIndex(double index, std::int16_t minorTicks);

// Where row j of the column lies, and whether it is labeled.
[[nodiscard]] double latticeRowPosition(const LatticeColumn& column, double row);
[[nodiscard]] bool latticeRowLabeled(const LatticeColumn& column, double row);

// The two ends of a grid mark centred on centre, as drawn: centre - tickUnit
// and centre + tickUnit.
[[nodiscard]] float markStart(double centre, std::int16_t tickUnit);
[[nodiscard]] float markEnd(double centre, std::int16_t tickUnit);

} // namespace tb
