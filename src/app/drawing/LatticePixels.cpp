#include "LatticePixels.h"

#include "LatticeColumn.h"

#include <QLineF>

#include <algorithm>
#include <optional>

namespace tb {

namespace {

using Span = LinePixels::Span;

// Sorted by their rows and merged where they touch or overlap.
void mergeSpans(LatticePixels::Spans& spans)
{
    std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.first < b.first; });
    LatticePixels::Spans merged;
    for (const Span s : spans)
        if (!merged.empty() && s.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, s.last);
        else
            merged.push_back(s);
    spans = std::move(merged);
}

} // namespace

// What the rows of a pass give, the same in every column: the rows of the
// horizontal marks (grid marks and Y ticks) on the labeled rows and on the
// others, of the vertical grid marks, and of the X ticks.
struct LatticePixels::Rows {
    double lastRow = 0.0;
    double rowSpacing = 0.0;
    std::int16_t rowMinorTicks = 0;
    std::int16_t tickUnit = 0;
    double firstY = 0.0; // a row inside, where columns are learned
    QLineF firstAcross;  // the horizontal grid mark there, of the first column
    bool hasLabeledRow = false;
    std::uint64_t labeledId = 0;
    std::uint64_t minorId = 0;
    std::uint64_t downId = 0;
    Spans labeled;
    Spans minor;
    Spans down;
    // The X ticks' rows, learned as they come: a few kinds per pass.
    std::vector<std::pair<QLineF, Span>> ticks;

    [[nodiscard]] bool sameAs(const LatticeColumn& column) const noexcept
    {
        return lastRow == column.lastRow && rowSpacing == column.rowSpacing &&
               rowMinorTicks == column.rowMinorTicks && tickUnit == column.tickUnit;
    }
};

LatticePixels::LatticePixels(LinePixels& lines, double ratio, double offset)
    : m_lines(lines)
    , m_ratio(ratio)
    , m_offset(offset)
{
}

LatticePixels::~LatticePixels() = default;

QLineF LatticePixels::line(float x1, float y1, float x2, float y2) const
{
    return {device(x1), device(y1), device(x2), device(y2)};
}

QLineF LatticePixels::across(const LatticeColumn& column, double y) const
{
    const auto row = static_cast<float>(y);
    return line(markStart(column.x, column.tickUnit), row, markEnd(column.x, column.tickUnit), row);
}

QLineF LatticePixels::down(const LatticeColumn& column, double y) const
{
    const auto x = static_cast<float>(column.x);
    return line(x, markStart(y, column.tickUnit), x, markEnd(y, column.tickUnit));
}

LatticePixels::Rows* LatticePixels::rowsOf(const LatticeColumn& column)
{
    if (m_rows && m_rows->sameAs(column))
        return m_rows.get();
    m_rows.reset();
    auto rows = std::make_unique<Rows>();
    rows->lastRow = column.lastRow;
    rows->rowSpacing = column.rowSpacing;
    rows->rowMinorTicks = column.rowMinorTicks;
    rows->tickUnit = column.tickUnit;
    rows->firstY = latticeRowPosition(column, 1.0);
    rows->firstAcross = across(column, rows->firstY);
    rows->labeledId = m_nextRowsId++;
    rows->minorId = m_nextRowsId++;
    rows->downId = m_nextRowsId++;
    // A mark's rows do not depend on its column: this column's stand for all.
    for (double j = 1.0; j < column.lastRow; j += 1.0) {
        const double y = latticeRowPosition(column, j);
        const bool labeled = latticeRowLabeled(column, j);
        rows->hasLabeledRow = rows->hasLabeledRow || labeled;
        const std::optional<Span> acrossRows = m_lines.rowsOf(across(column, y));
        const std::optional<Span> downRows = m_lines.rowsOf(down(column, y));
        if (!acrossRows || !downRows)
            return nullptr;
        if (!acrossRows->empty())
            (labeled ? rows->labeled : rows->minor).push_back(*acrossRows);
        if (!downRows->empty())
            rows->down.push_back(*downRows);
    }
    mergeSpans(rows->labeled);
    mergeSpans(rows->minor);
    mergeSpans(rows->down);
    m_rows = std::move(rows);
    return m_rows.get();
}

bool LatticePixels::inner(const LatticeColumn& column, Inner& pixels)
{
    pixels.grid.clear();
    Rows* rows = rowsOf(column);
    if (rows == nullptr)
        return false;
    const auto x = static_cast<float>(column.x);
    const QLineF top = line(x, 0.0f, x, static_cast<float>(column.topEnd));
    const QLineF bottom =
        line(x, static_cast<float>(column.plotBottom), x, static_cast<float>(column.bottomEnd));
    const std::optional<Span> tickColumns = m_lines.columnsOf(top);
    if (!tickColumns || !LinePixels::sameColumns(top, bottom))
        return false;
    // The ticks' rows: a few kinds, each learned once.
    const auto tickRows = [this, rows](const QLineF& tick) -> std::optional<Span> {
        for (const auto& [known, span] : rows->ticks)
            if (LinePixels::sameRows(known, tick))
                return span;
        const std::optional<Span> span = m_lines.rowsOf(tick);
        if (span)
            rows->ticks.emplace_back(tick, *span);
        return span;
    };
    const std::optional<Span> topRows = tickRows(top);
    const std::optional<Span> bottomRows = tickRows(bottom);
    if (!topRows || !bottomRows)
        return false;
    pixels.topTick = LinePixels::rect(*tickColumns, *topRows);
    pixels.bottomTick = LinePixels::rect(*tickColumns, *bottomRows);
    if (column.lastRow <= 1.0)
        return true;

    if (rows->hasLabeledRow) {
        const QLineF mark = across(column, rows->firstY);
        const std::optional<Span> columns = m_lines.columnsOf(mark);
        if (!columns || !LinePixels::sameRows(mark, rows->firstAcross))
            return false;
        if (!columns->empty())
            pixels.grid.push_back({*columns, rows->labeledId, &rows->labeled});
    }
    if (column.labeled) {
        const QLineF mark = down(column, rows->firstY);
        const std::optional<Span> columns =
            LinePixels::sameColumns(mark, top) ? tickColumns : m_lines.columnsOf(mark);
        if (!columns)
            return false;
        if (!columns->empty())
            pixels.grid.push_back({*columns, rows->downId, &rows->down});
    }
    return true;
}

bool LatticePixels::edge(const LatticeColumn& column, std::vector<Piece>& ticks)
{
    ticks.clear();
    Rows* rows = rowsOf(column);
    if (rows == nullptr)
        return false;
    if (column.lastRow <= 1.0)
        return true;
    const auto x = static_cast<float>(column.x);
    const auto y = static_cast<float>(rows->firstY);
    const auto add = [&](double end, std::uint64_t id, const Spans& spans) {
        const QLineF tick = line(x, y, static_cast<float>(end), y);
        const std::optional<Span> columns = m_lines.columnsOf(tick);
        if (!columns || !LinePixels::sameRows(tick, rows->firstAcross))
            return false;
        if (!columns->empty() && !spans.empty())
            ticks.push_back({*columns, id, &spans});
        return true;
    };
    return add(column.labeledEnd, rows->labeledId, rows->labeled) &&
           add(column.minorEnd, rows->minorId, rows->minor);
}

} // namespace tb
