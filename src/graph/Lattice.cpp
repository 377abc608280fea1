#include "Lattice.h"

#include "CheckedMath.h"
#include "GraphSettings.h"
#include "PlotGeometry.h"
#include "Rounding.h"

#include <cmath>

namespace tb {

Lattice makeLattice(const GraphSettings& settings, const PlotGeometry& g)
{
    Lattice lattice;
    lattice.longTick = mul16(2, g.tickUnit);
    // Negative step counts: the loops never run.
    if (g.yTickRows > 0 && g.xTickColumns > 0)
        lattice.columns = g.xTickColumns;
    lattice.lastRow = g.yTickSteps;
    lattice.left = g.plotLeft;
    lattice.right = g.graphWidth;
    lattice.bottom = g.plotBottom;
    lattice.columnSpacing = g.xTickSpacing;
    lattice.rowSpacing = g.yTickSpacing;
    lattice.columnMinorTicks = settings.xMinorTicks;
    lattice.rowMinorTicks = settings.yMinorTicks;
    lattice.tickUnit = g.tickUnit;
    return lattice;
}

bool isLabeledIndex(double index, std::int16_t minorTicks)
{
    const double q = checkedDiv(index, minorTicks);
    return q == std::floor(q);
}

// The ends are whole pixels within 16 bits: the plot's edges and tick
// lengths are a few hundred pixels apart at most.
LatticeColumn latticeColumn(const Lattice& lattice, int i)
{
    LatticeColumn column;
    const auto left = static_cast<std::int16_t>(lattice.left);
    const auto right = static_cast<std::int16_t>(lattice.right);
    const auto bottom = static_cast<std::int16_t>(lattice.bottom);
    if (i == 0) {
        column.kind = LatticeColumn::Kind::LeftEdge;
        column.x = lattice.left;
        column.labeledEnd = add16(left, lattice.longTick);
        column.minorEnd = add16(left, lattice.tickUnit);
    } else if (i == lattice.columns - 1) {
        column.kind = LatticeColumn::Kind::RightEdge;
        column.x = lattice.right;
        column.labeledEnd = sub16(right, lattice.longTick);
        column.minorEnd = sub16(right, lattice.tickUnit);
    } else {
        column.x = lattice.left + i * lattice.columnSpacing;
        column.labeled = isLabeledIndex(i, lattice.columnMinorTicks);
        const std::int16_t tick = column.labeled ? lattice.longTick : lattice.tickUnit;
        column.topEnd = tick;
        column.bottomEnd = sub16(bottom, tick);
    }
    return column;
}

} // namespace tb
