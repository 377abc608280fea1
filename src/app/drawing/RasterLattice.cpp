#include "RasterLattice.h"

#include "Lattice.h"
#include "RasterMapping.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

namespace tb {

namespace {

QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}

void paintPlain(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping, int column)
{
    std::optional<Color> penColor;
    forEachMark(lattice, latticeColumn(lattice, column), [&](const LatticeMark& mark) {
        if (penColor != mark.color)
            painter.setPen(mapping.pen(toQColor(*(penColor = mark.color))));
        painter.drawLine(mapping.line(mark.x1, mark.y1, mark.x2, mark.y2));
    });
}

// First and last device pixel along one axis; empty when last < first.
struct Span {
    int first = 0;
    int last = -1;
    friend bool operator==(Span, Span) = default;
};

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
        , m_width(m_image.width())
        , m_height(m_image.height())
        , m_lattice(lattice)
        , m_map(mapping)
    {
        const int pen = mapping.lineWidth;
        m_margin = pen + 2;
        const int across = 4 * pen + 48; // room for a short line clear of the strip's edges
        m_middle = across / 2 + 0.25;
        open(m_wide, {m_width, across});
        open(m_tall, {across, m_height});
    }

    void paint()
    {
        bool faithful = learnRows();
        std::optional<std::tuple<Span, Span, bool>> last;
        for (int i = 0; i < m_lattice.columns; ++i) {
            const LatticeColumn column = latticeColumn(m_lattice, i);
            faithful = faithful && (column.kind == LatticeColumn::Kind::Inner ? inner(column, last)
                                                                              : edge(column));
            if (!faithful)
                paintPlain(m_painter, m_lattice, m_map, i);
        }
    }

private:
    struct Strip {
        QImage image;
        QPainter painter;
        QRgb* pixels = nullptr; // as the painter paints them
        qsizetype stride = 0;   // in pixels
    };

    void open(Strip& strip, QSize size)
    {
        strip.image = QImage(size, QImage::Format_RGB32);
        strip.image.setDevicePixelRatio(m_map.ratio);
        strip.image.fill(Qt::black);
        strip.painter.begin(&strip.image);
        strip.painter.setRenderHint(QPainter::Antialiasing, false);
        strip.painter.setWorldTransform(m_map.toDevice);
        strip.painter.setPen(m_map.pen(Qt::white));
        strip.pixels = reinterpret_cast<QRgb*>(strip.image.bits());
        strip.stride = strip.image.bytesPerLine() / 4;
    }

    // The span the line sets along one axis, drawn in the strip and erased.
    std::optional<Span> learn(Strip& strip, const QLineF& line, bool columns)
    {
        strip.painter.drawLine(line);
        const auto window = [this](double a, double b, int size) {
            return Span{
                std::clamp(static_cast<int>(std::floor(std::min(a, b))) - m_margin, 0, size - 1),
                std::clamp(static_cast<int>(std::ceil(std::max(a, b))) + m_margin, 0, size - 1)};
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
    std::optional<Span> columns(float x1, float x2)
    {
        const double a = m_map.device(x1);
        const double b = m_map.device(x2);
        return a == b ? learn(m_wide, {a, m_middle - 2, a, m_middle + 2}, true)
                      : learn(m_wide, {a, m_middle, b, m_middle}, true);
    }
    std::optional<Span> rows(float y1, float y2)
    {
        const double a = m_map.device(y1);
        const double b = m_map.device(y2);
        return a == b ? learn(m_tall, {m_middle - 2, a, m_middle + 2, a}, false)
                      : learn(m_tall, {m_middle, a, m_middle, b}, false);
    }

    // Sorted, and merged where they touch.
    static void merge(std::vector<Span>& spans)
    {
        std::vector<Span> merged;
        for (const Span s : spans)
            if (!merged.empty() && s.first <= merged.back().last + 1)
                merged.back().last = std::max(merged.back().last, s.last);
            else
                merged.push_back(s);
        spans = std::move(merged);
    }

    bool learnRows()
    {
        if (m_lattice.tickUnit < 1 || m_image.depth() != 32)
            return false; // marks shorter than a pixel: Qt's own affair
        const auto unit = static_cast<double>(m_lattice.tickUnit);
        for (double j = 1.0; j < m_lattice.lastRow; j += 1.0) {
            const double y = rowPosition(m_lattice, j);
            const std::optional<Span> across = rows(static_cast<float>(y), static_cast<float>(y));
            const std::optional<Span> down =
                rows(static_cast<float>(y - unit), static_cast<float>(y + unit));
            if (!across || !down)
                return false;
            (isLabeledIndex(j, m_lattice.rowMinorTicks) ? m_labeledRows : m_minorRows)
                .push_back(*across);
            m_downRows.push_back(*down);
        }
        merge(m_labeledRows);
        merge(m_minorRows);
        merge(m_downRows);
        return true;
    }

    void fill(Span columns, const std::vector<Span>& rows, Color color)
    {
        const QRgb rgb = qRgb(color.red, color.green, color.blue);
        const int left = std::max(columns.first, 0);
        const int right = std::min(columns.last, m_width - 1);
        for (const Span r : rows)
            for (int y = std::max(r.first, 0); y <= std::min(r.last, m_height - 1); ++y)
                std::fill(m_pixels + y * m_stride + left, m_pixels + y * m_stride + right + 1, rgb);
    }

    bool inner(const LatticeColumn& column, std::optional<std::tuple<Span, Span, bool>>& last)
    {
        const auto x = static_cast<float>(column.x);
        const auto unit = static_cast<double>(m_lattice.tickUnit);
        const std::optional<Span> tick = columns(x, x);
        const std::optional<Span> across =
            columns(static_cast<float>(column.x - unit), static_cast<float>(column.x + unit));
        if (!tick || !across)
            return false;
        const std::tuple key{*tick, *across, column.labeled};
        if (last == key)
            return true;
        last = key;
        const std::optional<Span> top = rows(0.0f, static_cast<float>(column.topEnd));
        const std::optional<Span> bottom =
            rows(static_cast<float>(m_lattice.bottom), static_cast<float>(column.bottomEnd));
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
        const auto x = static_cast<float>(column.x);
        const std::optional<Span> longTicks = columns(x, static_cast<float>(column.labeledEnd));
        const std::optional<Span> shortTicks = columns(x, static_cast<float>(column.minorEnd));
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
    int m_width;
    int m_height;
    const Lattice& m_lattice;
    const RasterMapping& m_map;
    Strip m_wide;
    Strip m_tall;
    double m_middle = 0.0;
    int m_margin = 0;
    std::vector<Span> m_labeledRows; // horizontal marks on labeled rows
    std::vector<Span> m_minorRows;   // and on the others (the edges' short ticks)
    std::vector<Span> m_downRows;    // vertical grid marks
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
