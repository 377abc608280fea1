#include "QtDrawingSurface.h"

#include "LatticeColumn.h"
#include "VectorState.h"

#include <QImage>
#include <QPen>

#include <algorithm>
#include <cmath>

// Every call into Qt may leave the upper halves of the vector registers in
// use (its fills are AVX2 code), which slows every later sine of the pass
// several times over: each is followed by clearVectorState().

namespace tb {

namespace {

QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}

// As an opaque colour stands in the image's pixels.
QRgb toQRgb(Color c)
{
    return qRgb(c.red, c.green, c.blue);
}

} // namespace

int QtDrawingSurface::deviceBorder(qreal ratio)
{
    return static_cast<int>(std::ceil(ImageBorder * std::max(ratio, 1.0)));
}

QtDrawingSurface::QtDrawingSurface(Box box, QImage& image, int border, const QFont& windowFont)
    : m_box(std::move(box))
    , m_image(image)
    , m_boxMetrics(m_box.font, &image)
    , m_windowMetrics(windowFont, &image)
    , m_ratio(image.devicePixelRatio())
    , m_toDevicePixels(QTransform::fromScale(1.0 / m_ratio, 1.0 / m_ratio))
    , m_lineWidth(std::max(1, qRound(m_ratio)))
    // A wide pen is centred on its line: half its width right and down puts
    // the logical pixel's device pixels right and below the point, as the
    // one-pixel pen does.
    , m_lineOffset((m_lineWidth == 1 ? 0.0 : m_lineWidth / 2.0) + border)
    , m_toText(QTransform::fromTranslate(border / m_ratio, border / m_ratio))
{
    m_painter.begin(&m_image);
    m_bits = m_image.bits();
    m_stride = m_image.bytesPerLine();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setFont(m_box.font);
    m_painter.setWorldTransform(m_toDevicePixels);
    usePen();
    clearVectorState();
}

QtDrawingSurface::~QtDrawingSurface()
{
    m_painter.end();
    m_box.repaint();
    clearVectorState();
}

QPen QtDrawingSurface::linePen(const QColor& color) const
{
    QPen pen(color, m_lineWidth == 1 ? 0 : m_lineWidth);
    // Both end points drawn, as the one-pixel pen does.
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void QtDrawingSurface::usePen()
{
    if (m_penColor == m_fore)
        return;
    auto known = std::find_if(m_pens.begin(), m_pens.end(),
                              [this](const auto& pen) { return pen.first == m_fore; });
    if (known == m_pens.end()) {
        m_pens.emplace_back(m_fore, linePen(m_fore));
        known = m_pens.end() - 1;
    }
    m_painter.setPen(known->second);
    m_penColor = m_fore;
    clearVectorState();
}

void QtDrawingSurface::forgetDrawn()
{
    m_lastRun.reset();
    m_drawnSinceRun.clear();
}

void QtDrawingSurface::setBackColor(Color color)
{
    m_back = toQColor(color);
}

void QtDrawingSurface::setForeColor(Color color)
{
    m_fore = toQColor(color);
}

void QtDrawingSurface::clear()
{
    useLineTransform();
    m_painter.fillRect(m_image.rect(), m_back);
    clearVectorState();
    forgetDrawn();
}

float QtDrawingSurface::outerWidth() const
{
    return static_cast<float>(m_box.size.width());
}
float QtDrawingSurface::outerHeight() const
{
    return static_cast<float>(m_box.size.height());
}

void QtDrawingSurface::line(float x1, float y1, float x2, float y2)
{
    const auto device = [this](float v) { return v * m_ratio + m_lineOffset; };
    usePen();
    useLineTransform();
    m_painter.drawLine(QLineF(device(x1), device(y1), device(x2), device(y2)));
    clearVectorState();
    forgetDrawn();
}

void QtDrawingSurface::latticeColumn(const LatticeColumn& column)
{
    LatticePixels& lattice = latticePixels();
    const QRgb tick = toQRgb(column.tickColor);
    if (column.edge) {
        if (!lattice.edge(column, m_pieces)) {
            DrawingSurface::latticeColumn(column);
            return;
        }
        for (const LatticePixels::Piece& piece : m_pieces)
            fill(piece, piece.columns, tick);
        // The colour the marks would have set, one by one.
        if (column.lastRow > 1.0)
            m_fore = toQColor(column.tickColor);
        forgetDrawn();
        return;
    }
    if (!lattice.inner(column, m_inner)) {
        DrawingSurface::latticeColumn(column);
        return;
    }
    fill(m_inner.topTick, tick);
    m_drawnSinceRun.push_back(m_inner.topTick);
    const QRgb grid = toQRgb(column.gridColor);
    const bool sameColor = m_lastRun && m_lastRun->first == column.gridColor;
    for (const LatticePixels::Piece& piece : m_inner.grid) {
        const LatticePixels::Piece* before = nullptr;
        if (sameColor)
            for (const LatticePixels::Piece& old : m_lastRun->second)
                if (old.rowsId == piece.rowsId)
                    before = &old;
        if (before == nullptr) {
            fill(piece, piece.columns, grid);
            continue;
        }
        // The column before set the same rows in the columns both cover:
        // there only what its bottom tick and this top tick drew over them
        // needs its colour back.
        const LinePixels::Span old = before->columns;
        fill(piece, {piece.columns.first, std::min(piece.columns.last, old.first - 1)}, grid);
        fill(piece, {std::max(piece.columns.first, old.last + 1), piece.columns.last}, grid);
        const LinePixels::Span both{std::max(piece.columns.first, old.first),
                                    std::min(piece.columns.last, old.last)};
        if (!both.empty())
            for (const QRect& area : m_drawnSinceRun)
                fillWithin(piece, both, area, grid);
    }
    fill(m_inner.bottomTick, tick);
    m_drawnSinceRun.assign(1, m_inner.bottomTick);
    if (!m_lastRun)
        m_lastRun.emplace();
    m_lastRun->first = column.gridColor;
    std::swap(m_lastRun->second, m_inner.grid);
    m_fore = toQColor(column.tickColor);
}

void QtDrawingSurface::fill(const QRect& area, QRgb color)
{
    const QRect inside = area & QRect(QPoint(0, 0), m_image.size());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(m_bits + y * m_stride) + inside.left(), inside.width(),
                    color);
}

void QtDrawingSurface::fill(const LatticePixels::Piece& piece, LinePixels::Span columns, QRgb color)
{
    if (columns.empty())
        return;
    for (const LinePixels::Span rows : *piece.rows)
        fill(LinePixels::rect(columns, rows), color);
}

void QtDrawingSurface::fillWithin(const LatticePixels::Piece& piece, LinePixels::Span columns,
                                  const QRect& area, QRgb color)
{
    columns = {std::max(columns.first, area.left()), std::min(columns.last, area.right())};
    if (columns.empty())
        return;
    // The first span that reaches the area's top, then on while they start above its bottom.
    auto rows = std::lower_bound(piece.rows->begin(), piece.rows->end(), area.top(),
                                 [](LinePixels::Span span, int top) { return span.last < top; });
    for (; rows != piece.rows->end() && rows->first <= area.bottom(); ++rows)
        fill(LinePixels::rect(
                 columns, {std::max(rows->first, area.top()), std::min(rows->last, area.bottom())}),
             color);
}

LinePixels& QtDrawingSurface::linePixels()
{
    if (!m_linePixels) {
        m_linePixels.emplace(m_image.size(), m_ratio, linePen(Qt::white), m_toDevicePixels);
        clearVectorState();
    }
    return *m_linePixels;
}

LatticePixels& QtDrawingSurface::latticePixels()
{
    if (!m_latticePixels)
        m_latticePixels.emplace(linePixels(), m_ratio, m_lineOffset);
    return *m_latticePixels;
}

void QtDrawingSurface::useLineTransform()
{
    if (!m_textTransform)
        return;
    m_painter.setWorldTransform(m_toDevicePixels);
    m_textTransform = false;
}

void QtDrawingSurface::setTextPosition(float x, float y)
{
    m_textPos = QPointF(x, y);
}

double QtDrawingSurface::textWidth(const QString& text) const
{
    const auto known = m_widths.constFind(text);
    if (known != m_widths.constEnd())
        return *known;
    const double width = m_boxMetrics.horizontalAdvance(text);
    clearVectorState();
    m_widths.insert(text, width);
    return width;
}

double QtDrawingSurface::textHeight(const QString& /*text*/) const
{
    // One line of the window's font, whatever the characters.
    return m_windowMetrics.height();
}

void QtDrawingSurface::print(const QString& text)
{
    usePen();
    // Kept for the texts that follow; lines put theirs back.
    if (!m_textTransform) {
        m_painter.setWorldTransform(m_toText);
        m_textTransform = true;
    }
    m_painter.drawText(m_textPos + QPointF(0, m_boxMetrics.ascent()), text);
    clearVectorState();
    forgetDrawn();
}

} // namespace tb
