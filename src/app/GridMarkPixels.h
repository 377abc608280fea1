#pragma once

#include "LineRaster.h"
#include "graph/GridMarkRun.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tb {

// The device pixels of a run of grid marks, as the union of its marks'
// pixels, without going through the marks one by one: a column's marks
// share their x, and every column shares its rows, so what the rows give is
// worked out once per pass and kept. Coordinates map to device pixels as
// v x ratio + offset, the way the drawing surface draws its lines.
class GridMarkPixels {
public:
    using Spans = std::vector<LineRaster::Span>;

    // Columns by rows: a block of columns over a list of row spans, sorted
    // and apart. Two pieces with equal rowsId have equal rows.
    struct Piece {
        LineRaster::Span columns;
        std::uint64_t rowsId = 0;
        const Spans* rows = nullptr;
        friend bool operator==(const Piece& a, const Piece& b)
        {
            return a.columns == b.columns && a.rowsId == b.rowsId;
        }
    };

    GridMarkPixels(int penWidth, QSize image, double ratio, double offset);
    ~GridMarkPixels();
    GridMarkPixels(const GridMarkPixels&) = delete;
    GridMarkPixels& operator=(const GridMarkPixels&) = delete;

    // The run's pixels into pieces; false for a run this does not model
    // (marks of no length), which must then be drawn mark by mark.
    [[nodiscard]] bool piecesOf(const GridMarkRun& run, std::vector<Piece>& pieces);
    // Whether the run draws any mark at all.
    [[nodiscard]] bool hasMarks(const GridMarkRun& run);

    // The pixels of one line drawn the same way, as LineRaster::pixels.
    [[nodiscard]] const LineRaster& raster() const noexcept { return m_raster; }

private:
    struct Rows;
    struct AcrossRows;

    [[nodiscard]] double device(float v) const noexcept { return v * m_ratio + m_offset; }
    [[nodiscard]] Rows& rowsOf(const GridMarkRun& run);
    [[nodiscard]] const AcrossRows& acrossRowsOf(Rows& rows, const LineRaster::Across& a);

    LineRaster m_raster;
    double m_ratio;
    double m_offset;
    std::unique_ptr<Rows> m_rows;
    std::uint64_t m_nextRowsId = 1;
};

} // namespace tb
