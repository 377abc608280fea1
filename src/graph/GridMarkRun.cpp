#include "GridMarkRun.h"

#include "numeric/CheckedMath.h"

#include <cmath>

namespace tb {

bool isLabeledIndex(double index, std::int16_t minorTicks)
{
    const double q = checkedDiv(index, minorTicks);
    return q == std::floor(q);
}

double gridRowPosition(const GridMarkRun& run, double row)
{
    return checkedMul(row, run.rowSpacing);
}

bool gridRowLabeled(const GridMarkRun& run, double row)
{
    return isLabeledIndex(row, run.rowMinorTicks);
}

float markStart(double centre, std::int16_t tickUnit)
{
    return static_cast<float>(checkedSub(centre, tickUnit));
}

float markEnd(double centre, std::int16_t tickUnit)
{
    return static_cast<float>(checkedAdd(centre, tickUnit));
}

} // namespace tb
