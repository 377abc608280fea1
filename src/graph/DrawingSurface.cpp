#include "DrawingSurface.h"

#include "LatticeColumn.h"

#include <cmath>

namespace tb {

void DrawingSurface::latticeColumn(const LatticeColumn& column)
{
    const auto x = static_cast<float>(column.x);
    const auto mark = [this](Color color, float x1, float y1, float x2, float y2) {
        setForeColor(color);
        line(x1, y1, x2, y2);
    };
    if (column.edge) {
        for (double j = 1.0; j < column.lastRow; j += 1.0) {
            const auto y = static_cast<float>(latticeRowPosition(column, j));
            const double end = latticeRowLabeled(column, j) ? column.labeledEnd : column.minorEnd;
            mark(column.tickColor, x, y, static_cast<float>(end), y);
        }
        return;
    }
    mark(column.tickColor, x, 0.0f, x, static_cast<float>(column.topEnd));
    // Without vertical marks only the labeled rows, the whole multiples of
    // the minor count, draw anything: the others need no visit.
    const double minor = std::abs(static_cast<double>(column.rowMinorTicks));
    const double step = column.labeled || minor < 1.0 ? 1.0 : minor;
    for (double j = step; j < column.lastRow; j += step) {
        const double y = latticeRowPosition(column, j);
        if (latticeRowLabeled(column, j))
            mark(column.gridColor, markStart(column.x, column.tickUnit), static_cast<float>(y),
                 markEnd(column.x, column.tickUnit), static_cast<float>(y));
        if (column.labeled)
            mark(column.gridColor, x, markStart(y, column.tickUnit), x,
                 markEnd(y, column.tickUnit));
    }
    mark(column.tickColor, x, static_cast<float>(column.plotBottom), x,
         static_cast<float>(column.bottomEnd));
}

} // namespace tb
