#include "LineRaster.h"

#include <QLineF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace tb {

namespace {

// The engine's fixed point: 1/64 pixel, the product truncated.
[[nodiscard]] int fixed26(double v) noexcept
{
    return static_cast<int>(v * 64.);
}

// The engine's test for two coordinates less than 1/64 pixel apart.
[[nodiscard]] bool sameIn26(double a, double b) noexcept
{
    return fixed26(b - a) == 0;
}

// Both points in one place, by the toolkit's own (fuzzy) comparison.
[[nodiscard]] bool samePoint(double x1, double y1, double x2, double y2)
{
    return QPointF(x1, y1) == QPointF(x2, y2);
}

// The clipping of a line's two coordinates along its own axis to [low, high]
// (false: clipped away), as the engine does before rasterising.
[[nodiscard]] bool clipAlong(double& a, double& b, double low, double high) noexcept
{
    if (a < low) {
        if (b <= low)
            return false;
        a = low;
    } else if (a > high) {
        if (b >= high)
            return false;
        a = high;
    }
    if (b < low)
        b = low;
    else if (b > high)
        b = high;
    return true;
}

// The line's position across its axis outside [low, high]: clipped away.
[[nodiscard]] bool clippedAcross(double c, double low, double high) noexcept
{
    return c < low || c > high;
}

[[nodiscard]] LineRaster::Span within(LineRaster::Span span, int size) noexcept
{
    return {std::max(span.first, 0), std::min(span.last, size - 1)};
}

// The wide pen's band around a line: the clipping rectangle grown by it.
[[nodiscard]] QRectF grownClip(QSize image, double grow, bool acrossX)
{
    const QPointF offset = acrossX ? QPointF(grow, 0.0) : QPointF(0.0, grow);
    return {QPoint(0, 0) - offset,
            QPoint(image.width() - 1, image.height() - 1) + QPoint(1, 1) + offset};
}

} // namespace

bool LineRaster::Across::sameRows(const Across& other) const noexcept
{
    return drawn == other.drawn && point == other.point && halfHeight == other.halfHeight &&
           clipTop == other.clipTop && clipBottom == other.clipBottom;
}

bool LineRaster::Down::sameColumns(const Down& other) const noexcept
{
    return drawn == other.drawn && point == other.point && halfWidth == other.halfWidth &&
           clipLeft == other.clipLeft && clipRight == other.clipRight;
}

LineRaster::LineRaster(int penWidth, QSize image)
    : m_penWidth(penWidth)
    , m_image(image)
{
}

QRect LineRaster::rect(Span columns, Span rows)
{
    if (columns.empty() || rows.empty())
        return {};
    return {QPoint(columns.first, rows.first), QPoint(columns.last, rows.last)};
}

std::optional<QRect> LineRaster::pixels(const QLineF& line) const
{
    // A dot is drawn as a short horizontal line, at the first point.
    if (line.y1() == line.y2() || line.p1() == line.p2()) {
        const Across a = across(line.x1(), line.x2());
        const AcrossRow row = acrossRow(a, line.y1());
        return rect(acrossColumns(a, row.bandHeight), row.rows);
    }
    if (line.x1() == line.x2()) {
        const Down d = down(line.y1(), line.y2());
        return rect(downColumns(d, line.x1()), d.rows);
    }
    return std::nullopt;
}

LineRaster::Across LineRaster::across(double x1, double x2) const
{
    Across a;
    // The row does not matter to the comparison: both ends share it.
    a.point = samePoint(x1, 0.0, x2, 0.0);
    if (cosmetic()) {
        a.drawn = true;
        if (a.point) {
            const int column = qRound(x1);
            a.columns = within({column, column}, m_image.width());
            return a;
        }
        if (!clipAlong(x1, x2, -1.0, m_image.width() + 1.0))
            return {};
        const int from = fixed26(x1);
        const int to = fixed26(x2);
        if (from == to)
            return {}; // no length left in 1/64 pixel
        a.columns = within({std::min(from, to) >> 6, std::max(from, to) >> 6}, m_image.width());
        return a;
    }

    // A dot is drawn as a line one pen wide, without caps; a line as itself,
    // with its square caps. The width is given relative to the line's length.
    double from = x1;
    double to = x2;
    if (a.point) {
        from = x1 - m_penWidth * 0.5;
        to = x1 + m_penWidth * 0.5;
    }
    double width = m_penWidth / QLineF(from, 0.0, to, 0.0).length();
    if (!(width > 0.0))
        return {};
    double start = from;
    double end = to;
    if (!a.point) {
        const double delta = end - start;
        start -= (0.5f * width) * delta;
        end += (0.5f * width) * delta;
    }
    const QRectF clip = grownClip(m_image, std::abs(to - from) * width * 0.5, false);
    if (!clipAlong(start, end, clip.left(), clip.right()))
        return {};
    a.clipTop = clip.top();
    a.clipBottom = clip.bottom();
    const double lengthBefore = (from - to) * (from - to);
    const double lengthAfter = (start - end) * (start - end);
    if (lengthAfter == 0)
        return {};
    width *= std::sqrt(lengthBefore / lengthAfter);
    // Turned into a vertical band: centred on the line, as tall as it is wide.
    a.middle = (start + end) * 0.5f;
    a.halfHeight = width * (std::abs(end - start) * 0.5f);
    a.inverseWidth = 1 / width;
    a.drawn = true;
    return a;
}

LineRaster::AcrossRow LineRaster::acrossRow(const Across& a, double y) const
{
    if (!a.drawn)
        return {};
    if (cosmetic()) {
        if (a.point) {
            const int row = qRound(y);
            return {within({row, row}, m_image.height())};
        }
        if (clippedAcross(y, -1.0, m_image.height() + 1.0))
            return {};
        const int row = fixed26(y) >> 6;
        return {within({row, row}, m_image.height())};
    }
    if (clippedAcross(y, a.clipTop, a.clipBottom))
        return {};
    double top = y - a.halfHeight;
    double bottom = y + a.halfHeight;
    if (top > bottom)
        std::swap(top, bottom);
    return {wideSpan(top, bottom, m_image.height()), bottom - top};
}

LineRaster::Span LineRaster::acrossColumns(const Across& a, double bandHeight) const
{
    if (!a.drawn)
        return {};
    if (cosmetic())
        return a.columns;
    const double halfWidth = 0.5f * a.inverseWidth * bandHeight;
    return wideSpan(a.middle - halfWidth, a.middle + halfWidth, m_image.width());
}

LineRaster::Down LineRaster::down(double y1, double y2) const
{
    Down d;
    d.point = samePoint(0.0, y1, 0.0, y2);
    if (cosmetic()) {
        d.drawn = true;
        if (d.point) {
            const int row = qRound(y1);
            d.rows = within({row, row}, m_image.height());
            return d;
        }
        if (!clipAlong(y1, y2, -1.0, m_image.height() + 1.0))
            return {};
        const int from = fixed26(y1);
        const int to = fixed26(y2);
        if (from == to)
            return {};
        d.rows = within({std::min(from, to) >> 6, std::max(from, to) >> 6}, m_image.height());
        return d;
    }
    if (d.point)
        return {}; // not modelled here: across() draws the wide pen's dot

    double width = m_penWidth / QLineF(0.0, y1, 0.0, y2).length();
    if (!(width > 0.0))
        return {};
    double start = y1;
    double end = y2;
    const double delta = end - start;
    start -= (0.5f * width) * delta;
    end += (0.5f * width) * delta;
    const QRectF clip = grownClip(m_image, std::abs(y2 - y1) * width * 0.5, true);
    d.clipLeft = clip.left();
    d.clipRight = clip.right();
    if (!clipAlong(start, end, clip.top(), clip.bottom()))
        return {};
    const double lengthBefore = (y1 - y2) * (y1 - y2);
    const double lengthAfter = (start - end) * (start - end);
    if (lengthAfter == 0)
        return {};
    width *= std::sqrt(lengthBefore / lengthAfter);
    // Shorter than 1/64 pixel: turned into a band of no width.
    if (sameIn26(start, end))
        return {};
    if (start > end)
        std::swap(start, end);
    d.halfWidth = 0.5f * width * (end - start);
    d.rows = wideSpan(start, end, m_image.height());
    d.drawn = !d.rows.empty();
    return d;
}

LineRaster::Span LineRaster::downColumns(const Down& d, double x) const
{
    if (!d.drawn)
        return {};
    if (cosmetic()) {
        if (d.point) {
            const int column = qRound(x);
            return within({column, column}, m_image.width());
        }
        if (clippedAcross(x, -1.0, m_image.width() + 1.0))
            return {};
        const int column = fixed26(x) >> 6;
        return within({column, column}, m_image.width());
    }
    if (clippedAcross(x, d.clipLeft, d.clipRight))
        return {};
    return wideSpan(x - d.halfWidth, x + d.halfWidth, m_image.width());
}

// The pixels whose centres the wide pen's band from `from` to `to` covers,
// the band first clamped to the image.
LineRaster::Span LineRaster::wideSpan(double from, double to, int size) const
{
    from = std::clamp(from, 0.0, static_cast<double>(size));
    to = std::clamp(to, 0.0, static_cast<double>(size));
    if (sameIn26(from, to))
        return {};
    return {static_cast<int>(from + 0.5f), to < 0.5f ? -1 : static_cast<int>(to - 0.5f)};
}

} // namespace tb
