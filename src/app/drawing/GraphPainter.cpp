#include "GraphPainter.h"

#include "GraphPicture.h"
#include "RasterLattice.h"

#include <QList>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace tb {

namespace {

constexpr double DenseLattice = 20000; // lattice points

QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}

// What a coordinate of the view becomes on the painter's device: on an image
// whole device pixels, where lines are drawn in device pixels and texts in
// the view's; elsewhere the view's own coordinates.
class Canvas {
public:
    Canvas(QPainter& painter, const QFont& font, double fontDpi, int border)
        : m_painter(painter)
    {
        const QPaintDevice* device = painter.device();
        const bool raster = painter.paintEngine()->type() == QPaintEngine::Raster;
        m_painter.setRenderHint(QPainter::Antialiasing, !raster);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
        QFont sized = font;
        // The same size in the view's pixels whatever the device's resolution.
        if (!raster && sized.pointSizeF() > 0 && device->logicalDpiY() > 0)
            sized.setPointSizeF(sized.pointSizeF() * fontDpi / device->logicalDpiY());
        m_painter.setFont(sized);
        if (!raster)
            return;
        const double ratio = device->devicePixelRatioF();
        m_raster.emplace(ratio, border);
        m_toText = QTransform::fromTranslate(border / ratio, border / ratio);
        m_painter.setWorldTransform(m_raster->toDevice);
    }

    [[nodiscard]] bool raster() const noexcept { return m_raster.has_value(); }
    [[nodiscard]] const RasterMapping& mapping() const { return *m_raster; }

    void ground(QSizeF size)
    {
        useTransform(false);
        const QPaintDevice* device = m_painter.device();
        m_painter.fillRect(m_raster ? QRectF(0, 0, device->width(), device->height())
                                    : QRectF(QPointF(0, 0), size),
                           Qt::black);
    }

    void line(Color color, float x1, float y1, float x2, float y2)
    {
        usePen(color);
        useTransform(false);
        m_painter.drawLine(m_raster ? m_raster->line(x1, y1, x2, y2)
                                    : QLineF(x1, y1, x2, y2).translated(CellMiddle, CellMiddle));
    }

    // Vector devices only: many marks of one colour, a trace's path.
    // Neighbouring parallel marks of one extent, less than a pixel apart,
    // together cover the cells of one rectangle.
    void marks(Color color, const QList<QLineF>& marks)
    {
        QList<QLineF> lines;
        QList<QRectF> blocks;
        for (qsizetype i = 0; i < marks.size();) {
            const QLineF& first = marks[i];
            qsizetype last = i;
            while (last + 1 < marks.size() && sideBySide(marks[last], marks[last + 1]))
                ++last;
            if (last == i)
                lines.append(first.translated(CellMiddle, CellMiddle));
            else
                blocks.append(cells(first) | cells(marks[last]));
            i = last + 1;
        }
        usePen(color);
        if (!lines.isEmpty())
            m_painter.drawLines(lines);
        for (const QRectF& block : blocks)
            m_painter.fillRect(block, toQColor(color));
    }
    void path(Color color, QPolygonF& points)
    {
        QPen pen = vectorPen(color);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        m_painter.setPen(pen);
        m_penColor.reset();
        points.translate(CellMiddle, CellMiddle);
        m_painter.drawPolyline(points);
    }

    void text(const GraphPicture::Text& text, double ascent)
    {
        usePen(text.color);
        useTransform(true);
        m_painter.drawText(text.position + QPointF(0, ascent), text.text);
    }

    // After others set the painter's pen.
    void forgetPen() { m_penColor.reset(); }

    // Lines and texts alternate only in the legend: the transform rarely changes.
    void useTransform(bool forText)
    {
        if (!m_raster || forText == m_textTransform)
            return;
        m_painter.setWorldTransform(forText ? m_toText : m_raster->toDevice);
        m_textTransform = forText;
    }

private:
    // A line of one pixel covers the pixels right of and below its
    // coordinates on screen; in a vector drawing it runs through their middle.
    static constexpr double CellMiddle = 0.5;

    [[nodiscard]] static bool sideBySide(const QLineF& a, const QLineF& b)
    {
        if (a.x1() == a.x2() && b.x1() == b.x2())
            return a.y1() == b.y1() && a.y2() == b.y2() && std::abs(b.x1() - a.x1()) <= 1.0;
        return a.y1() == a.y2() && b.y1() == b.y2() && a.x1() == b.x1() && a.x2() == b.x2() &&
               std::abs(b.y1() - a.y1()) <= 1.0;
    }
    // The cells a one-pixel line covers on screen, both ends included.
    [[nodiscard]] static QRectF cells(const QLineF& line)
    {
        return QRectF(line.p1(), line.p2()).normalized().adjusted(0, 0, 1, 1);
    }

    [[nodiscard]] static QPen vectorPen(Color color)
    {
        QPen pen(toQColor(color), 1.0);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    }
    // The traces change colour at every segment: a pen per colour, made once.
    void usePen(Color color)
    {
        if (m_penColor == color)
            return;
        m_penColor = color;
        auto known = std::find_if(m_pens.begin(), m_pens.end(),
                                  [color](const auto& pen) { return pen.first == color; });
        if (known == m_pens.end())
            known = m_pens.insert(
                known, {color, m_raster ? m_raster->pen(toQColor(color)) : vectorPen(color)});
        m_painter.setPen(known->second);
    }

    QPainter& m_painter;
    std::optional<RasterMapping> m_raster;
    QTransform m_toText;
    bool m_textTransform = false;
    std::optional<Color> m_penColor; // the painter's pen, unless others set it since
    std::vector<std::pair<Color, QPen>> m_pens;
};

// On screen the three traces advance together, sample by sample: where they
// cross, the one drawn later at that sample lies on top.
void paintTracesOnImage(Canvas& canvas, const GraphPicture& picture)
{
    std::size_t samples = 0;
    for (const GraphPicture::Trace& trace : picture.traces)
        samples = std::max(samples, trace.points.size());
    for (std::size_t i = 1; i < samples; ++i)
        for (const GraphPicture::Trace& trace : picture.traces) {
            if (i >= trace.points.size() || !trace.points[i].drawn)
                continue;
            const GraphPicture::Point& from = trace.points[i - 1];
            const GraphPicture::Point& to = trace.points[i];
            canvas.line(trace.color, static_cast<float>(from.x), static_cast<float>(from.y),
                        static_cast<float>(to.x), static_cast<float>(to.y));
        }
}

// A stretch runs on while its samples lie inside the plot area, from the
// last point before it (which may lie outside: a trace re-entering the plot
// is drawn from there).
void paintTracesAsPaths(Canvas& canvas, const GraphPicture& picture)
{
    for (const GraphPicture::Trace& trace : picture.traces) {
        QPolygonF stretch;
        const auto finish = [&] {
            if (stretch.size() > 1)
                canvas.path(trace.color, stretch);
            stretch.clear();
        };
        for (std::size_t i = 1; i < trace.points.size(); ++i) {
            if (!trace.points[i].inside) {
                finish();
                continue;
            }
            if (stretch.isEmpty())
                stretch << trace.points[i - 1].exact;
            stretch << trace.points[i].exact;
        }
        finish();
    }
}

// Marks that overlap along a row or a column are one line in a vector
// drawing, and marks side by side one block, where they cover the same
// ground as on screen: a dense lattice stays a few shapes. White ticks of the
// left and top edges, grey grid marks, white ticks of the bottom and right
// edges, as the column-by-column order lays them over each other.
void paintLatticeAsVectors(Canvas& canvas, const Lattice& lattice)
{
    if (lattice.columns < 2)
        return;
    const double unit = lattice.tickUnit;
    std::vector<LatticeColumn> inner;
    for (int i = 1; i + 1 < lattice.columns; ++i)
        inner.push_back(latticeColumn(lattice, i));
    const auto rowsInside = [&](double step, auto&& f) {
        for (double j = step; j < lattice.lastRow; j += step)
            f(j, rowPosition(lattice, j));
    };
    const auto edgeTicks = [&](int i, QList<QLineF>& lines) {
        const LatticeColumn column = latticeColumn(lattice, i);
        rowsInside(1.0, [&](double j, double y) {
            const bool labeled = isLabeledIndex(j, lattice.rowMinorTicks);
            lines.append({column.x, y, labeled ? column.labeledEnd : column.minorEnd, y});
        });
    };

    QList<QLineF> white;
    edgeTicks(0, white);
    for (const LatticeColumn& column : inner)
        white.append({column.x, 0.0, column.x, column.topEnd});
    canvas.marks(lattice.tickColor, white);

    QList<QLineF> across; // grey marks along labeled rows
    const double minor = std::max(1, std::abs(static_cast<int>(lattice.rowMinorTicks)));
    const bool rowsJoin = lattice.columnSpacing <= 2 * unit + 1;
    rowsInside(minor, [&](double j, double y) {
        if (inner.empty() || !isLabeledIndex(j, lattice.rowMinorTicks))
            return;
        if (rowsJoin)
            across.append({inner.front().x - unit, y, inner.back().x + unit, y});
        else
            for (const LatticeColumn& column : inner)
                across.append({column.x - unit, y, column.x + unit, y});
    });
    QList<QLineF> down; // and along labeled columns
    const bool columnsJoin = lattice.rowSpacing <= 2 * unit + 1;
    for (const LatticeColumn& column : inner) {
        if (!column.labeled || lattice.lastRow <= 1.0)
            continue;
        if (columnsJoin)
            down.append({column.x, rowPosition(lattice, 1.0) - unit, column.x,
                         rowPosition(lattice, lattice.lastRow - 1.0) + unit});
        else
            rowsInside(1.0, [&](double, double y) {
                down.append({column.x, y - unit, column.x, y + unit});
            });
    }

    // On screen each column's bottom tick comes after its own grey marks,
    // and before those of the columns after it. Where their marks along the
    // rows reach back over it, those lie on top, and the last column's tick
    // alone stays whole.
    QList<QLineF> bottom;
    for (const LatticeColumn& column : inner)
        bottom.append({column.x, lattice.bottom, column.x, column.bottomEnd});
    const bool rowsCoverTicks = unit > 0 && std::abs(lattice.columnSpacing) <= unit;
    if (rowsCoverTicks && !bottom.isEmpty()) {
        canvas.marks(lattice.gridColor, down);
        canvas.marks(lattice.tickColor, bottom.mid(0, bottom.size() - 1));
        canvas.marks(lattice.gridColor, across);
        bottom = bottom.mid(bottom.size() - 1);
    } else {
        canvas.marks(lattice.gridColor, across + down);
    }
    edgeTicks(lattice.columns - 1, bottom);
    canvas.marks(lattice.tickColor, bottom);
}

} // namespace

void paintGraph(QPainter& painter, const GraphPicture& picture, const QFont& font, double fontDpi,
                int deviceBorder)
{
    if (!painter.isActive())
        return; // a device that could not be opened: nothing to paint on
    painter.save();
    Canvas canvas(painter, font, fontDpi, deviceBorder);
    canvas.ground(picture.size);
    if (canvas.raster())
        paintTracesOnImage(canvas, picture);
    else
        paintTracesAsPaths(canvas, picture);
    if (const std::optional<PlotGeometry>& g = picture.geometry; g && picture.frame) {
        const auto left = static_cast<float>(g->plotLeft);
        const auto right = static_cast<float>(g->graphWidth);
        const auto bottom = static_cast<float>(g->plotBottom);
        canvas.line(colors::White, left, 0.0f, left, bottom);
        canvas.line(colors::White, left, bottom, right, bottom);
        canvas.line(colors::White, right, bottom, right, 0.0f);
        canvas.line(colors::White, right, 0.0f, left, 0.0f);
    }
    for (const GraphPicture::LegendRow& row : picture.legend) {
        canvas.line(row.color, row.lineStart, row.y, row.lineEnd, row.y);
        canvas.text(row.text, picture.textAscent);
    }
    if (picture.lattice && canvas.raster()) {
        canvas.useTransform(false);
        canvas.forgetPen();
        // The shortcut pays where marks are many (a dense lattice has billions).
        const Lattice& lattice = *picture.lattice;
        const bool dense = lattice.columns * std::max(lattice.lastRow, 0.0) > DenseLattice;
        paintLatticeOnImage(painter, lattice, canvas.mapping(),
                            dense ? LatticeDrawing::Shortcut : LatticeDrawing::Plain);
    } else if (picture.lattice) {
        paintLatticeAsVectors(canvas, *picture.lattice);
    }
    for (const GraphPicture::Text& label : picture.labels)
        canvas.text(label, picture.textAscent);
    painter.restore();
}

} // namespace tb
