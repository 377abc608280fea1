#include "GridMarkPixels.h"

#include <algorithm>

namespace tb {

namespace {

using Span = LineRaster::Span;

// Row spans in the order of their rows, merged where they touch; kept
// sorted and apart also if they come out of order.
void addSpan(GridMarkPixels::Spans& spans, Span span)
{
    if (span.empty())
        return;
    if (!spans.empty() && spans.back().first <= span.first && span.first <= spans.back().last + 1) {
        spans.back().last = std::max(spans.back().last, span.last);
        return;
    }
    spans.push_back(span);
    if (spans.size() > 1 && spans[spans.size() - 2].first > span.first) {
        std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.first < b.first; });
        GridMarkPixels::Spans merged;
        for (const Span s : spans)
            if (!merged.empty() && s.first <= merged.back().last + 1)
                merged.back().last = std::max(merged.back().last, s.last);
            else
                merged.push_back(s);
        spans = std::move(merged);
    }
}

// Rows that share how their columns are measured.
template <typename Key>
struct Group {
    Key key;
    std::uint64_t id = 0;
    GridMarkPixels::Spans rows;
};

} // namespace

// What the rows of a pass give: the vertical marks' rows, grouped by how
// their columns are measured, and the labeled rows' y for the horizontal
// marks, whose rows depend on the column's marks as well.
struct GridMarkPixels::Rows {
    double lastRow = 0.0;
    double rowSpacing = 0.0;
    std::int16_t rowMinorTicks = 0;
    std::int16_t tickUnit = 0;
    bool hasLabeledRow = false;
    std::vector<Group<LineRaster::Down>> down;
    std::vector<double> labeledY;
    std::vector<std::unique_ptr<AcrossRows>> across;

    [[nodiscard]] bool sameAs(const GridMarkRun& run) const noexcept
    {
        return lastRow == run.lastRow && rowSpacing == run.rowSpacing &&
               rowMinorTicks == run.rowMinorTicks && tickUnit == run.tickUnit;
    }
};

// The horizontal marks' rows for one kind of column, grouped by the height
// of the band their columns are measured with.
struct GridMarkPixels::AcrossRows {
    LineRaster::Across key;
    std::vector<Group<double>> groups;
};

GridMarkPixels::GridMarkPixels(int penWidth, QSize image, double ratio, double offset)
    : m_raster(penWidth, image)
    , m_ratio(ratio)
    , m_offset(offset)
{
}

GridMarkPixels::~GridMarkPixels() = default;

GridMarkPixels::Rows& GridMarkPixels::rowsOf(const GridMarkRun& run)
{
    if (m_rows && m_rows->sameAs(run))
        return *m_rows;
    auto rows = std::make_unique<Rows>();
    rows->lastRow = run.lastRow;
    rows->rowSpacing = run.rowSpacing;
    rows->rowMinorTicks = run.rowMinorTicks;
    rows->tickUnit = run.tickUnit;
    for (double j = 1.0; j < run.lastRow; j += 1.0) {
        const double y = gridRowPosition(run, j);
        if (gridRowLabeled(run, j)) {
            rows->hasLabeledRow = true;
            rows->labeledY.push_back(device(static_cast<float>(y)));
        }
        const LineRaster::Down d =
            m_raster.down(device(markStart(y, run.tickUnit)), device(markEnd(y, run.tickUnit)));
        if (!d.drawn)
            continue;
        auto group = std::find_if(rows->down.begin(), rows->down.end(),
                                  [&d](const auto& g) { return g.key.sameColumns(d); });
        if (group == rows->down.end()) {
            rows->down.push_back({d, m_nextRowsId++, {}});
            group = rows->down.end() - 1;
        }
        addSpan(group->rows, d.rows);
    }
    m_rows = std::move(rows);
    return *m_rows;
}

const GridMarkPixels::AcrossRows& GridMarkPixels::acrossRowsOf(Rows& rows,
                                                               const LineRaster::Across& a)
{
    for (const auto& known : rows.across)
        if (known->key.sameRows(a))
            return *known;
    auto built = std::make_unique<AcrossRows>();
    built->key = a;
    for (const double y : rows.labeledY) {
        const LineRaster::AcrossRow row = m_raster.acrossRow(a, y);
        if (row.rows.empty())
            continue;
        auto group = std::find_if(built->groups.begin(), built->groups.end(),
                                  [&row](const auto& g) { return g.key == row.bandHeight; });
        if (group == built->groups.end()) {
            built->groups.push_back({row.bandHeight, m_nextRowsId++, {}});
            group = built->groups.end() - 1;
        }
        addSpan(group->rows, row.rows);
    }
    // Kept for the pass: the columns' marks are alike in all but their place.
    rows.across.push_back(std::move(built));
    return *rows.across.back();
}

bool GridMarkPixels::hasMarks(const GridMarkRun& run)
{
    return run.lastRow > 1.0 && (run.labeledColumn || rowsOf(run).hasLabeledRow);
}

bool GridMarkPixels::piecesOf(const GridMarkRun& run, std::vector<Piece>& pieces)
{
    pieces.clear();
    // Marks of no length are dots, which the wide pen draws another way.
    if (run.tickUnit == 0)
        return false;
    Rows& rows = rowsOf(run);

    const LineRaster::Across a = m_raster.across(device(markStart(run.x, run.tickUnit)),
                                                 device(markEnd(run.x, run.tickUnit)));
    for (const auto& group : acrossRowsOf(rows, a).groups) {
        const Span columns = m_raster.acrossColumns(a, group.key);
        if (!columns.empty())
            pieces.push_back({columns, group.id, &group.rows});
    }
    if (run.labeledColumn) {
        const double x = device(static_cast<float>(run.x));
        for (const auto& group : rows.down) {
            const Span columns = m_raster.downColumns(group.key, x);
            if (!columns.empty())
                pieces.push_back({columns, group.id, &group.rows});
        }
    }
    return true;
}

} // namespace tb
