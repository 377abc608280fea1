#include "DrawingSurface.h"

#include "GridMarkRun.h"

#include <cmath>

namespace tb {

void DrawingSurface::gridMarks(const GridMarkRun& run)
{
    const auto x = static_cast<float>(run.x);
    // Without vertical marks only the labeled rows, the whole multiples of
    // the minor count, draw anything: the others need no visit.
    const double minor = std::abs(static_cast<double>(run.rowMinorTicks));
    const double step = run.labeledColumn || minor < 1.0 ? 1.0 : minor;
    for (double j = step; j < run.lastRow; j += step) {
        const double y = gridRowPosition(run, j);
        if (gridRowLabeled(run, j)) {
            setForeColor(run.color);
            line(markStart(run.x, run.tickUnit), static_cast<float>(y),
                 markEnd(run.x, run.tickUnit), static_cast<float>(y));
        }
        if (run.labeledColumn) {
            setForeColor(run.color);
            line(x, markStart(y, run.tickUnit), x, markEnd(y, run.tickUnit));
        }
    }
}

} // namespace tb
