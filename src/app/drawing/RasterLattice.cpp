#include "RasterLattice.h"

#include "Lattice.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <tuple>
#include <vector>

namespace tb {

namespace {

void paintPlain(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping, int column)
{
    std::optional<Color> penColor;
    forEachMark(lattice, latticeColumn(lattice, column), [&](const LatticeMark& mark) {
        if (penColor != mark.color) {
            penColor = mark.color;
            painter.setPen(mapping.pen(QColor(mark.color.red, mark.color.green, mark.color.blue)));
        }
        painter.drawLine(mapping.line(mark.x1, mark.y1, mark.x2, mark.y2));
    });
}

// First and last device pixel along one axis; empty when last < first.
struct Span {
    int first = 0;
    int last = -1;
    friend bool operator==(Span, Span) = default;
};
using Spans = std::vector<Span>;

// Sorted, and merged where they touch.
Spans merged(const Spans& spans)
{
    Spans result;
    for (const Span s : spans)
        if (!result.empty() && s.first <= result.back().last + 1)
            result.back().last = std::max(result.back().last, s.last);
        else
            result.push_back(s);
    return result;
}

// The shortcut rests on what Qt shows of a horizontal or vertical line drawn
// without antialiasing: it sets a rectangle of pixels, whose columns follow
// from the line's x coordinates alone and whose rows from its y coordinates
// alone. So each mark's columns and rows are asked of Qt once, by drawing
// the mark into a strip as wide (or as tall) as the image and reading back
// what it set. All grey marks of a column are drawn between its two white
// ticks, so their union is what the column leaves: rows merged once for the
// lattice, times the column's own columns. A column on the same device
// pixels as the one before it sets nothing new and is left out. Should Qt
// ever set anything but a rectangle, the rest is drawn plain.
class Shortcut {
public:
    Shortcut(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping)
        : m_painter(painter)
        , m_image(*static_cast<QImage*>(painter.device()))
        , m_pixels(reinterpret_cast<QRgb*>(m_image.bits()))
        , m_stride(m_image.bytesPerLine() / 4)
        , m_lattice(lattice)
        , m_map(mapping)
        , m_margin(mapping.lineWidth + 2)
    {
        const int across = 4 * mapping.lineWidth + 48; // a short line clear of the strip's edges
        m_middle = across / 2 + 0.25;
        open(m_wide, {m_image.width(), across});
        open(m_tall, {across, m_image.height()});
    }

    void paint()
    {
        bool faithful = m_image.depth() == 32 && learnRows();
        for (int i = 0; i < m_lattice.columns; ++i) {
            const LatticeColumn column = latticeColumn(m_lattice, i);
            faithful = faithful &&
                       (column.kind == LatticeColumn::Kind::Inner ? inner(column) : edge(column));
            if (!faithful)
                paintPlain(m_painter, m_lattice, m_map, i);
        }
    }

private:
    // Where single marks are drawn and read back.
    struct Strip {
        QImage image;
        QPainter painter;
        QRgb* pixels = nullptr; // as the painter paints them
        qsizetype stride = 0;
    };

    void open(Strip& strip, QSize size)
    {
        strip.image = QImage(size, QImage::Format_RGB32);
        strip.image.setDevicePixelRatio(m_map.ratio);
        strip.image.fill(Qt::black);
        strip.painter.begin(&strip.image);
        strip.painter.setWorldTransform(m_map.toDevice);
        strip.painter.setPen(m_map.pen(Qt::white));
        strip.pixels = reinterpret_cast<QRgb*>(strip.image.bits());
        strip.stride = strip.image.bytesPerLine() / 4;
    }

    // The device pixels a mark from one coordinate to another sets across the
    // image (columns) or down it (rows), drawn in a strip and erased there.
    std::optional<Span> span(bool columns, double from, double to)
    {
        const double a = m_map.device(static_cast<float>(from));
        const double b = m_map.device(static_cast<float>(to));
        QLineF line =
            a == b ? QLineF(a, m_middle - 2, a, m_middle + 2) : QLineF(a, m_middle, b, m_middle);
        if (!columns)
            line = QLineF(line.y1(), line.x1(), line.y2(), line.x2());
        Strip& strip = columns ? m_wide : m_tall;
        strip.painter.drawLine(line);
        const auto window = [this](double p, double q, int size) {
            return Span{
                std::clamp(static_cast<int>(std::floor(std::min(p, q))) - m_margin, 0, size - 1),
                std::clamp(static_cast<int>(std::ceil(std::max(p, q))) + m_margin, 0, size - 1)};
        };
        const Span across = window(line.x1(), line.x2(), strip.image.width());
        const Span down = window(line.y1(), line.y2(), strip.image.height());
        Span setColumns{across.last + 1, across.first - 1};
        Span setRows{down.last + 1, down.first - 1};
        qint64 count = 0;
        for (int y = down.first; y <= down.last; ++y) {
            QRgb* row = strip.pixels + y * strip.stride;
            for (int x = across.first; x <= across.last; ++x)
                if (row[x] != qRgb(0, 0, 0)) {
                    setColumns = {std::min(setColumns.first, x), std::max(setColumns.last, x)};
                    setRows = {std::min(setRows.first, y), std::max(setRows.last, y)};
                    ++count;
                    row[x] = qRgb(0, 0, 0);
                }
        }
        const qint64 width = setColumns.last - setColumns.first + 1;
        if (count == 0 || count != width * (setRows.last - setRows.first + 1))
            return std::nullopt;
        return columns ? setColumns : setRows;
    }

    bool learnRows()
    {
        if (m_lattice.tickUnit < 1)
            return false; // marks shorter than a pixel: Qt's own affair
        const double unit = m_lattice.tickUnit;
        for (double j = 1.0; j < m_lattice.lastRow; j += 1.0) {
            const double y = rowPosition(m_lattice, j);
            const std::optional<Span> across = span(false, y, y);
            const std::optional<Span> grid = span(false, y - unit, y + unit);
            if (!across || !grid)
                return false;
            (isLabeledIndex(j, m_lattice.rowMinorTicks) ? m_labeledRows : m_minorRows)
                .push_back(*across);
            m_downRows.push_back(*grid);
        }
        for (Spans* rows : {&m_labeledRows, &m_minorRows, &m_downRows})
            *rows = merged(*rows);
        return true;
    }

    // The spans lie inside the image: the strips are as wide and as tall.
    void fill(Span columns, const Spans& rows, Color color)
    {
        for (const Span r : rows)
            for (int y = r.first; y <= r.last; ++y)
                std::fill(m_pixels + y * m_stride + columns.first,
                          m_pixels + y * m_stride + columns.last + 1,
                          qRgb(color.red, color.green, color.blue));
    }

    bool inner(const LatticeColumn& column)
    {
        const double unit = m_lattice.tickUnit;
        const std::optional<Span> tick = span(true, column.x, column.x);
        const std::optional<Span> across = span(true, column.x - unit, column.x + unit);
        if (!tick || !across)
            return false;
        if (m_lastColumn == std::tuple{*tick, *across, column.labeled})
            return true;
        m_lastColumn = {*tick, *across, column.labeled};
        const std::optional<Span> top = span(false, 0.0, column.topEnd);
        const std::optional<Span> bottom = span(false, m_lattice.bottom, column.bottomEnd);
        if (!top || !bottom)
            return false;
        fill(*tick, {*top}, m_lattice.tickColor);
        fill(*across, m_labeledRows, m_lattice.gridColor);
        if (column.labeled)
            fill(*tick, m_downRows, m_lattice.gridColor);
        fill(*tick, {*bottom}, m_lattice.tickColor);
        return true;
    }

    bool edge(const LatticeColumn& column)
    {
        const std::optional<Span> longTicks = span(true, column.x, column.labeledEnd);
        const std::optional<Span> shortTicks = span(true, column.x, column.minorEnd);
        if (!longTicks || !shortTicks)
            return false;
        fill(*longTicks, m_labeledRows, m_lattice.tickColor);
        fill(*shortTicks, m_minorRows, m_lattice.tickColor);
        return true;
    }

    QPainter& m_painter;
    QImage& m_image;
    QRgb* m_pixels; // as the painter paints them
    qsizetype m_stride;
    const Lattice& m_lattice;
    const RasterMapping& m_map;
    int m_margin;
    double m_middle = 0.0;
    Strip m_wide;        // as wide as the image
    Strip m_tall;        // and as tall
    Spans m_labeledRows; // horizontal marks on labeled rows
    Spans m_minorRows;   // and on the others (the edges' short ticks)
    Spans m_downRows;    // vertical grid marks
    // The inner column last filled: its tick's and grid marks' columns, and whether labeled.
    std::optional<std::tuple<Span, Span, bool>> m_lastColumn;
};

} // namespace

void paintLatticeOnImage(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping,
                         LatticeDrawing drawing)
{
    if (drawing == LatticeDrawing::Shortcut && painter.device()->devType() == QInternal::Image) {
        Shortcut(painter, lattice, mapping).paint();
        return;
    }
    for (int i = 0; i < lattice.columns; ++i)
        paintPlain(painter, lattice, mapping, i);
}

} // namespace tb
