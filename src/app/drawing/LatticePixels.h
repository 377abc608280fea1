#pragma once

#include "LinePixels.h"

#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

class QLineF;

namespace tb {

struct LatticeColumn;

// The device pixels of a lattice column's marks, as the union of the marks'
// pixels, without drawing the marks one by one: a column's marks share their
// columns, and every column's marks have the same rows, so the rows are
// learned once per pass and kept, and each column learns its own columns.
// Coordinates map to device pixels as v x ratio + offset, the way the
// drawing surface draws its lines.
class LatticePixels {
public:
    using Span = LinePixels::Span;
    using Spans = std::vector<Span>;

    // Columns by rows: a block of columns over a list of row spans, sorted
    // and apart. Two pieces with equal rowsId have equal rows.
    struct Piece {
        Span columns;
        std::uint64_t rowsId = 0;
        const Spans* rows = nullptr;
    };

    // An inner column: its two ticks and its grid marks.
    struct Inner {
        QRect topTick;
        std::vector<Piece> grid;
        QRect bottomTick;
    };

    LatticePixels(LinePixels& lines, double ratio, double offset);
    ~LatticePixels();
    LatticePixels(const LatticePixels&) = delete;
    LatticePixels& operator=(const LatticePixels&) = delete;

    // False when a mark's pixels are not known: the column must then be
    // drawn mark by mark.
    [[nodiscard]] bool inner(const LatticeColumn& column, Inner& pixels);
    // An edge column's ticks, all of one colour.
    [[nodiscard]] bool edge(const LatticeColumn& column, std::vector<Piece>& ticks);

private:
    struct Rows;

    [[nodiscard]] double device(float v) const noexcept { return v * m_ratio + m_offset; }
    [[nodiscard]] QLineF line(float x1, float y1, float x2, float y2) const;
    // The column's horizontal and vertical grid mark at row position y.
    [[nodiscard]] QLineF across(const LatticeColumn& column, double y) const;
    [[nodiscard]] QLineF down(const LatticeColumn& column, double y) const;
    // Null when a mark's rows are not known.
    [[nodiscard]] Rows* rowsOf(const LatticeColumn& column);

    LinePixels& m_lines;
    double m_ratio;
    double m_offset;
    std::unique_ptr<Rows> m_rows;
    std::uint64_t m_nextRowsId = 1;
};

} // namespace tb
