#pragma once

#include "Color.h"

#include <cstdint>

namespace tb {

// The grid marks down one column of the tick lattice, all of one colour, in
// the order the tick loop draws them: at each row strictly inside the
// lattice, a horizontal mark when the row is labeled, then a vertical one
// when the column is labeled. A mark reaches tickUnit to each side of its
// lattice point.
struct GridMarkRun {
    Color color;
    double x = 0.0;             // the column's position
    bool labeledColumn = false; // a vertical mark at every row
    std::int16_t tickUnit = 0;
    double lastRow = 0.0; // the rows inside are 1 to lastRow - 1
    double rowSpacing = 0.0;
    std::int16_t rowMinorTicks = 1; // a row is labeled when a whole multiple of it
};

// A lattice index is labeled when it is a whole multiple of the minor count.
[[nodiscard]] bool isLabeledIndex(double index, std::int16_t minorTicks);

// Where row j of the run lies, and whether it is labeled.
[[nodiscard]] double gridRowPosition(const GridMarkRun& run, double row);
[[nodiscard]] bool gridRowLabeled(const GridMarkRun& run, double row);

// The two ends of a mark centred on centre, as drawn: centre - tickUnit and
// centre + tickUnit.
[[nodiscard]] float markStart(double centre, std::int16_t tickUnit);
[[nodiscard]] float markEnd(double centre, std::int16_t tickUnit);

} // namespace tb
