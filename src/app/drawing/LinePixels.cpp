#include "LinePixels.h"

#include "VectorState.h"

#include <QLineF>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace tb {

namespace {

constexpr QRgb Ground = 0xff000000; // black, as Format_RGB32 stores it

// Clear of the image's top and left edge, where Qt's roundings count.
[[nodiscard]] bool clearOfEdge(double across) noexcept
{
    return across >= LinePixels::EdgeBand;
}

[[nodiscard]] bool isDot(const QLineF& line) noexcept
{
    return line.x1() == line.x2() && line.y1() == line.y2() && clearOfEdge(line.x1()) &&
           clearOfEdge(line.y1());
}

[[nodiscard]] bool isAcross(const QLineF& line) noexcept
{
    return line.y1() == line.y2() && std::abs(line.x2() - line.x1()) >= 1.0 &&
           clearOfEdge(line.y1());
}

[[nodiscard]] bool isDown(const QLineF& line) noexcept
{
    return line.x1() == line.x2() && std::abs(line.y2() - line.y1()) >= 1.0 &&
           clearOfEdge(line.x1());
}

// The pixels from a - margin to b + margin that lie in [0, size).
[[nodiscard]] LinePixels::Span window(double a, double b, int margin, int size) noexcept
{
    const double low = std::floor(std::min(a, b)) - margin;
    const double high = std::ceil(std::max(a, b)) + margin;
    if (!(low < size && high >= 0.0))
        return {};
    return {static_cast<int>(std::max(low, 0.0)),
            static_cast<int>(std::min(high, static_cast<double>(size - 1)))};
}

} // namespace

LinePixels::LinePixels(QSize deviceSize, qreal ratio, const QPen& pen, const QTransform& transform)
{
    const int penWidth = std::max(1, static_cast<int>(std::ceil(pen.widthF())));
    m_margin = penWidth + 2;
    // Room for a short line and its caps on either side of the middle, which
    // lies clear of the strip's edge.
    const int across = 2 * EdgeBand + 4 * penWidth + 16;
    m_middle = across / 2 + 0.25;
    open(m_wide, {deviceSize.width(), across}, ratio, pen, transform);
    open(m_tall, {across, deviceSize.height()}, ratio, pen, transform);
}

LinePixels::~LinePixels() = default;

void LinePixels::open(Strip& strip, QSize size, qreal ratio, const QPen& pen,
                      const QTransform& transform)
{
    strip.image = QImage(size, QImage::Format_RGB32);
    strip.image.setDevicePixelRatio(ratio);
    strip.image.fill(Ground);
    strip.painter.begin(&strip.image);
    strip.bits = strip.image.bits();
    strip.painter.setRenderHint(QPainter::Antialiasing, false);
    strip.painter.setWorldTransform(transform);
    QPen white = pen;
    white.setColor(Qt::white);
    strip.painter.setPen(white);
}

QRect LinePixels::rect(Span columns, Span rows)
{
    if (columns.empty() || rows.empty())
        return {};
    return {QPoint(columns.first, rows.first), QPoint(columns.last, rows.last)};
}

std::optional<LinePixels::Span> LinePixels::learn(Strip& strip, const QLineF& line, bool columns)
{
    if (!m_faithful)
        return std::nullopt;
    strip.painter.drawLine(line);
    clearVectorState(); // Qt's fills leave the vector registers slow for sines
    const Span across = window(line.x1(), line.x2(), m_margin, strip.image.width());
    const Span down = window(line.y1(), line.y2(), m_margin, strip.image.height());
    const qsizetype stride = strip.image.bytesPerLine();
    QRect set;
    qint64 count = 0;
    for (int y = down.first; y <= down.last; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(strip.bits + y * stride);
        for (int x = across.first; x <= across.last; ++x)
            if (row[x] != Ground) {
                set |= QRect(x, y, 1, 1);
                ++count;
            }
    }
    for (int y = set.top(); y <= set.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(strip.bits + y * stride) + set.left(), set.width(),
                    Ground);
    if (count != qint64(set.width()) * set.height()) {
        m_faithful = false;
        return std::nullopt;
    }
    if (set.isEmpty())
        return Span{};
    return columns ? Span{set.left(), set.right()} : Span{set.top(), set.bottom()};
}

std::optional<LinePixels::Span> LinePixels::columnsOf(const QLineF& line)
{
    if (isDot(line) || isAcross(line))
        return learn(m_wide, QLineF(line.x1(), m_middle, line.x2(), m_middle), true);
    if (isDown(line))
        return learn(m_wide, QLineF(line.x1(), m_middle - 2, line.x1(), m_middle + 2), true);
    return std::nullopt;
}

std::optional<LinePixels::Span> LinePixels::rowsOf(const QLineF& line)
{
    if (isDot(line))
        return learn(m_tall, QLineF(m_middle, line.y1(), m_middle, line.y1()), false);
    if (isAcross(line))
        return learn(m_tall, QLineF(m_middle - 2, line.y1(), m_middle + 2, line.y1()), false);
    if (isDown(line))
        return learn(m_tall, QLineF(m_middle, line.y1(), m_middle, line.y2()), false);
    return std::nullopt;
}

bool LinePixels::sameColumns(const QLineF& a, const QLineF& b) noexcept
{
    if (isDown(a) && isDown(b))
        return a.x1() == b.x1();
    return ((isDot(a) && isDot(b)) || (isAcross(a) && isAcross(b))) && a.x1() == b.x1() &&
           a.x2() == b.x2();
}

bool LinePixels::sameRows(const QLineF& a, const QLineF& b) noexcept
{
    if (isDown(a) && isDown(b))
        return a.y1() == b.y1() && a.y2() == b.y2();
    return ((isDot(a) && isDot(b)) || (isAcross(a) && isAcross(b))) && a.y1() == b.y1();
}

} // namespace tb
