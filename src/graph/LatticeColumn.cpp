#include "LatticeColumn.h"

#include "CheckedMath.h"

#include <cmath>

namespace tb {

bool isLabeledIndex(double index, std::int16_t minorTicks)
{
    const double q = checkedDiv(index, minorTicks);
    return q == std::floor(q);
}

double latticeRowPosition(const LatticeColumn& column, double row)
{
    return checkedMul(row, column.rowSpacing);
}

bool latticeRowLabeled(const LatticeColumn& column, double row)
{
    return isLabeledIndex(row, column.rowMinorTicks);
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
