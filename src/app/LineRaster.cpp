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

// The cosmetic pen along a line's own axis, from `from` to `to`: a dot's one
// pixel, rounded; a line's pixels from its ends in 1/64 pixel, after the
// engine's clipping; nothing when no length is left.
[[nodiscard]] std::optional<LineRaster::Span> cosmeticAlong(double from, double to, bool point,
                                                            int size)
{
    if (point) {
        const int pixel = qRound(from);
        return within({pixel, pixel}, size);
    }
    if (!clipAlong(from, to, -1.0, size + 1.0))
        return std::nullopt;
    const int start = fixed26(from);
    const int end = fixed26(to);
    if (start == end)
        return std::nullopt;
    return within({std::min(start, end) >> 6, std::max(start, end) >> 6}, size);
}

// The cosmetic pen across a line's axis, at c: a dot's pixel rounded, a
// line's the one c lies in; nothing when the line is clipped away.
[[nodiscard]] LineRaster::Span cosmeticAcross(double c, bool point, int size)
{
    if (!point && clippedAcross(c, -1.0, size + 1.0))
        return {};
    const int pixel = point ? qRound(c) : fixed26(c) >> 6;
    return within({pixel, pixel}, size);
}

// The wide pen's band around a line: the clipping rectangle grown by it.
[[nodiscard]] QRectF grownClip(QSize image, double grow, bool acrossX)
{
    const QPointF offset = acrossX ? QPointF(grow, 0.0) : QPointF(0.0, grow);
    return {QPoint(0, 0) - offset,
            QPoint(image.width() - 1, image.height() - 1) + QPoint(1, 1) + offset};
}

// A wide-pen line along its own axis, from `from` to `to`: its ends after
// the caps (capped) and the engine's clipping, its width relative to its
// length after both, and the clipping rectangle, grown by the pen across
// the line.
struct WideEnds {
    double start = 0.0;
    double end = 0.0;
    double width = 0.0;
    QRectF clip;
};

[[nodiscard]] std::optional<WideEnds> wideAlong(double from, double to, bool capped, int penWidth,
                                                QSize image, bool horizontal)
{
    WideEnds ends{from, to, penWidth / QLineF(from, 0.0, to, 0.0).length(), {}};
    if (!(ends.width > 0.0))
        return std::nullopt;
    if (capped) {
        const double delta = to - from;
        ends.start -= (0.5f * ends.width) * delta;
        ends.end += (0.5f * ends.width) * delta;
    }
    ends.clip = grownClip(image, std::abs(to - from) * ends.width * 0.5, !horizontal);
    const bool kept = horizontal
                          ? clipAlong(ends.start, ends.end, ends.clip.left(), ends.clip.right())
                          : clipAlong(ends.start, ends.end, ends.clip.top(), ends.clip.bottom());
    const double lengthAfter = (ends.start - ends.end) * (ends.start - ends.end);
    if (!kept || lengthAfter == 0)
        return std::nullopt;
    ends.width *= std::sqrt((from - to) * (from - to) / lengthAfter);
    return ends;
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
        const std::optional<Span> columns = cosmeticAlong(x1, x2, a.point, m_image.width());
        if (!columns)
            return {};
        a.columns = *columns;
        a.drawn = true;
        return a;
    }

    // A dot is drawn as a line one pen wide, without caps; a line as itself,
    // with its square caps.
    const double from = a.point ? x1 - m_penWidth * 0.5 : x1;
    const double to = a.point ? x1 + m_penWidth * 0.5 : x2;
    const std::optional<WideEnds> ends = wideAlong(from, to, !a.point, m_penWidth, m_image, true);
    if (!ends)
        return {};
    a.clipTop = ends->clip.top();
    a.clipBottom = ends->clip.bottom();
    // Turned into a vertical band: centred on the line, as tall as it is wide.
    a.middle = (ends->start + ends->end) * 0.5f;
    a.halfHeight = ends->width * (std::abs(ends->end - ends->start) * 0.5f);
    a.inverseWidth = 1 / ends->width;
    a.drawn = true;
    return a;
}

LineRaster::AcrossRow LineRaster::acrossRow(const Across& a, double y) const
{
    if (!a.drawn)
        return {};
    if (cosmetic())
        return {cosmeticAcross(y, a.point, m_image.height())};
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
        const std::optional<Span> rows = cosmeticAlong(y1, y2, d.point, m_image.height());
        if (!rows)
            return {};
        d.rows = *rows;
        d.drawn = true;
        return d;
    }
    if (d.point)
        return {}; // not modelled here: across() draws the wide pen's dot

    const std::optional<WideEnds> ends = wideAlong(y1, y2, true, m_penWidth, m_image, false);
    if (!ends)
        return {};
    d.clipLeft = ends->clip.left();
    d.clipRight = ends->clip.right();
    // Shorter than 1/64 pixel: turned into a band of no width.
    if (sameIn26(ends->start, ends->end))
        return {};
    const double top = std::min(ends->start, ends->end);
    const double bottom = std::max(ends->start, ends->end);
    d.halfWidth = 0.5f * ends->width * (bottom - top);
    d.rows = wideSpan(top, bottom, m_image.height());
    d.drawn = !d.rows.empty();
    return d;
}

LineRaster::Span LineRaster::downColumns(const Down& d, double x) const
{
    if (!d.drawn)
        return {};
    if (cosmetic())
        return cosmeticAcross(x, d.point, m_image.width());
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
