#include "VectorDrawingSurface.h"

#include "LatticeColumn.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace tb {

namespace {

QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}

// A line of one logical pixel's weight covers the cells from its first point
// to its last, both included, as the screen's one-pixel pen does: drawn
// through the cells' centres with square ends.
constexpr double CellCentre = 0.5;

} // namespace

VectorDrawingSurface::VectorDrawingSurface(QPainter& painter, Box box)
    : m_painter(painter)
    , m_box(std::move(box))
    , m_font(m_box.font)
{
    // The same size in the box's pixels whatever the device's resolution.
    const QPaintDevice* target = m_painter.device(); // none on a painter that did not begin
    const int deviceDpi = target != nullptr ? target->logicalDpiY() : 0;
    if (m_font.pointSizeF() > 0 && deviceDpi > 0)
        m_font.setPointSizeF(m_font.pointSizeF() * m_box.measuredDpi / deviceDpi);
    m_painter.setFont(m_font);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBrush(Qt::NoBrush);
}

std::size_t
VectorDrawingSurface::LineKeyHash::operator()(const std::array<std::int64_t, 5>& key) const noexcept
{
    std::size_t h = 0;
    for (const std::int64_t v : key)
        h = h * 1000003u ^ std::hash<std::int64_t>{}(v);
    return h;
}

std::int64_t VectorDrawingSurface::device(double v) const noexcept
{
    const double d = std::floor(v * m_box.devicePixelRatio);
    // Far outside any screen, where nothing is shown anyway.
    return static_cast<std::int64_t>(std::clamp(d, -1e15, 1e15));
}

void VectorDrawingSurface::setBackColor(Color color)
{
    m_back = toQColor(color);
}

void VectorDrawingSurface::setForeColor(Color color)
{
    m_fore = toQColor(color);
}

void VectorDrawingSurface::clear()
{
    m_painter.fillRect(QRectF(QPointF(0, 0), m_box.size), m_back);
    m_lines.clear();
    m_texts.clear();
    m_lastColumn.reset();
}

float VectorDrawingSurface::outerWidth() const
{
    return static_cast<float>(m_box.size.width());
}

float VectorDrawingSurface::outerHeight() const
{
    return static_cast<float>(m_box.size.height());
}

void VectorDrawingSurface::line(float x1, float y1, float x2, float y2)
{
    m_lastColumn.reset();
    drawLine(x1, y1, x2, y2);
}

void VectorDrawingSurface::drawLine(double x1, double y1, double x2, double y2)
{
    std::array<std::int64_t, 5> key{m_fore.rgb(), device(x1), device(y1), device(x2), device(y2)};
    // The same pixels either way round.
    if (std::pair(key[3], key[4]) < std::pair(key[1], key[2])) {
        std::swap(key[1], key[3]);
        std::swap(key[2], key[4]);
    }
    if (!m_lines.insert(key).second)
        return;
    QPen pen(m_fore, 1.0);
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(x1 + CellCentre, y1 + CellCentre),
                       QPointF(x2 + CellCentre, y2 + CellCentre));
}

void VectorDrawingSurface::fillCells(double left, double top, double right, double bottom)
{
    m_painter.fillRect(QRectF(QPointF(std::min(left, right), std::min(top, bottom)),
                              QPointF(std::max(left, right) + 1.0, std::max(top, bottom) + 1.0)),
                       m_fore);
}

void VectorDrawingSurface::setTextPosition(float x, float y)
{
    m_textPos = QPointF(x, y);
}

double VectorDrawingSurface::textWidth(const QString& text) const
{
    return m_box.metrics.horizontalAdvance(text);
}

double VectorDrawingSurface::textHeight(const QString& /*text*/) const
{
    return m_box.window.height();
}

void VectorDrawingSurface::print(const QString& text)
{
    m_lastColumn.reset();
    const QString key = QStringLiteral("%1 %2 %3 ")
                            .arg(m_fore.rgb())
                            .arg(device(m_textPos.x()))
                            .arg(device(m_textPos.y())) +
                        text;
    if (m_texts.contains(key))
        return;
    m_texts.insert(key);
    m_painter.setPen(m_fore);
    m_painter.drawText(m_textPos + QPointF(0, m_box.metrics.ascent()), text);
}

// The runs of marks that stand closer than a device pixel: each mark covers
// the device rows of its cells from first to last; one that starts at most
// a row below where the run ends joins it.
const VectorDrawingSurface::Rows& VectorDrawingSurface::rowsOf(const LatticeColumn& column)
{
    if (m_rows && m_rows->lastRow == column.lastRow && m_rows->spacing == column.rowSpacing &&
        m_rows->minorTicks == column.rowMinorTicks && m_rows->tickUnit == column.tickUnit)
        return *m_rows;
    Rows rows;
    rows.lastRow = column.lastRow;
    rows.spacing = column.rowSpacing;
    rows.minorTicks = column.rowMinorTicks;
    rows.tickUnit = column.tickUnit;
    struct Open {
        std::int64_t end = 0;
        bool any = false;
    };
    Open labeled, all, labeledEdge, minorEdge;
    const auto add = [this](std::vector<Run>& runs, Open& open, double y, double from, double to) {
        const std::int64_t first = device(from);
        const std::int64_t last = std::max(first, device(to + 1.0) - 1);
        if (open.any && first <= open.end + 1) {
            Run& run = runs.back();
            run.last = y;
            run.count += last > open.end ? 1 : 0;
            open.end = std::max(open.end, last);
            return;
        }
        runs.push_back({y, y, 1});
        open = {last, true};
    };
    for (double j = 1.0; j < column.lastRow; j += 1.0) {
        const double y = latticeRowPosition(column, j);
        const bool isLabeled = latticeRowLabeled(column, j);
        if (isLabeled) {
            add(rows.labeled, labeled, y, y, y);
            add(rows.labeledEdge, labeledEdge, y, y, y);
        } else {
            add(rows.minorEdge, minorEdge, y, y, y);
        }
        add(rows.all, all, y, markStart(y, column.tickUnit), markEnd(y, column.tickUnit));
    }
    m_rows = std::move(rows);
    return *m_rows;
}

void VectorDrawingSurface::horizontalRuns(const std::vector<Run>& runs, double from, double to)
{
    for (const Run& run : runs) {
        if (run.count == 1)
            drawLine(from, run.first, to, run.first);
        else
            fillCells(from, run.first, to, run.last);
    }
}

void VectorDrawingSurface::verticalRuns(const std::vector<Run>& runs, double x, std::int16_t reach)
{
    for (const Run& run : runs)
        drawLine(x, markStart(run.first, reach), x, markEnd(run.last, reach));
}

void VectorDrawingSurface::latticeColumn(const LatticeColumn& column)
{
    // A column on the device pixels of the one just drawn draws the same
    // pixels in the same order: nothing the screen would show anew.
    const ColumnKey key{column.edge,
                        device(column.x),
                        column.labeled,
                        device(column.topEnd),
                        device(column.bottomEnd),
                        device(column.labeledEnd),
                        device(column.minorEnd)};
    const Rows& rows = rowsOf(column);
    const bool drawn = m_lastColumn == key;
    m_lastColumn = key;
    if (column.edge) {
        if (column.lastRow <= 1.0)
            return; // no row inside: no tick
        setForeColor(column.tickColor);
        if (!drawn) {
            horizontalRuns(rows.labeledEdge, column.x, column.labeledEnd);
            horizontalRuns(rows.minorEdge, column.x, column.minorEnd);
        }
        return;
    }
    if (!drawn) {
        setForeColor(column.tickColor);
        drawLine(column.x, 0.0, column.x, column.topEnd);
        setForeColor(column.gridColor);
        horizontalRuns(rows.labeled, markStart(column.x, column.tickUnit),
                       markEnd(column.x, column.tickUnit));
        if (column.labeled)
            verticalRuns(rows.all, column.x, column.tickUnit);
        setForeColor(column.tickColor);
        drawLine(column.x, column.plotBottom, column.x, column.bottomEnd);
    }
    // The colour the marks leave set, one by one.
    setForeColor(column.tickColor);
}

} // namespace tb
