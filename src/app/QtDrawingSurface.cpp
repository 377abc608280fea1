#include "QtDrawingSurface.h"

#include "PictureBox.h"
#include "numeric/VectorState.h"

#include <QImage>
#include <QPen>

#include <algorithm>

// Every call into Qt may leave the upper halves of the vector registers in
// use (its fills are AVX2 code), which slows every later sine of the pass
// several times over: each is followed by clearVectorState().

namespace tb {

namespace {

QColor toQColor(Color c)
{
    return {c.red, c.green, c.blue};
}

// Pixels drawn between two runs that may be remembered one by one; beyond,
// the next run is drawn whole.
constexpr std::size_t DrawnSinceRunLimit = 64;

} // namespace

QtDrawingSurface::QtDrawingSurface(PictureBox& box, QImage& image, const QFont& windowFont)
    : m_box(box)
    , m_image(image)
    , m_boxMetrics(box.font(), &image)
    , m_windowMetrics(windowFont, &image)
    , m_ratio(image.devicePixelRatio())
    , m_toDevicePixels(QTransform::fromScale(1.0 / m_ratio, 1.0 / m_ratio))
    , m_lineWidth(std::max(1, qRound(m_ratio)))
    // A wide pen is centred on its line: half its width right and down puts
    // the logical pixel's device pixels right and below the point, as the
    // one-pixel pen does.
    , m_lineOffset(m_lineWidth == 1 ? 0.0 : m_lineWidth / 2.0)
{
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setFont(box.font());
    m_painter.setWorldTransform(m_toDevicePixels);
    usePen();
    clearVectorState();
    // Lines land on device pixels as given only when the painter's scaling
    // to the device undoes ours exactly.
    if ((1.0 / m_ratio) * m_ratio == 1.0)
        m_pixels.emplace(m_lineWidth == 1 ? 0 : m_lineWidth, m_image.size(), m_ratio, m_lineOffset);
}

QtDrawingSurface::~QtDrawingSurface()
{
    m_painter.end();
    m_box.update();
    clearVectorState();
}

void QtDrawingSurface::usePen()
{
    if (m_penColor == m_fore)
        return;
    auto known = std::find_if(m_pens.begin(), m_pens.end(),
                              [this](const auto& pen) { return pen.first == m_fore; });
    if (known == m_pens.end()) {
        QPen pen(m_fore, m_lineWidth == 1 ? 0 : m_lineWidth);
        // Both end points drawn, as the one-pixel pen does.
        pen.setCapStyle(Qt::SquareCap);
        m_pens.emplace_back(m_fore, pen);
        known = m_pens.end() - 1;
    }
    m_painter.setPen(known->second);
    m_penColor = m_fore;
    clearVectorState();
}

void QtDrawingSurface::forgetDrawn()
{
    m_erasedTo.reset();
    m_lastLine.reset();
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

void QtDrawingSurface::makeVisible()
{
    m_box.show();
    clearVectorState();
}
void QtDrawingSurface::bringToFront()
{
    m_box.raise();
    clearVectorState();
}

void QtDrawingSurface::clear()
{
    if (m_erasedTo == m_back)
        return;
    useLineTransform();
    m_painter.fillRect(m_image.rect(), m_back);
    clearVectorState();
    forgetDrawn();
    m_erasedTo = m_back;
}

float QtDrawingSurface::outerWidth() const
{
    return static_cast<float>(m_box.width());
}
float QtDrawingSurface::outerHeight() const
{
    return static_cast<float>(m_box.height());
}

void QtDrawingSurface::line(float x1, float y1, float x2, float y2)
{
    const auto device = [this](float v) { return v * m_ratio + m_lineOffset; };
    const QLineF deviceLine(device(x1), device(y1), device(x2), device(y2));
    const std::optional<QRect> pixels =
        m_pixels ? m_pixels->raster().pixels(deviceLine) : std::nullopt;
    if (pixels) {
        if (pixels->isEmpty())
            return; // off the image, or too short to set a pixel
        if (m_lastLine && m_lastLine->first == *pixels && m_lastLine->second == m_fore)
            return;
    }
    usePen();
    useLineTransform();
    m_painter.drawLine(deviceLine);
    clearVectorState();
    m_erasedTo.reset();
    if (!pixels) {
        forgetDrawn();
        return;
    }
    m_lastLine.emplace(*pixels, m_fore);
    if (m_lastRun) {
        m_drawnSinceRun.push_back(*pixels);
        if (m_drawnSinceRun.size() > DrawnSinceRunLimit)
            m_lastRun.reset();
    }
}

void QtDrawingSurface::gridMarks(const GridMarkRun& run)
{
    if (!m_pixels || !m_pixels->piecesOf(run, m_pieces)) {
        DrawingSurface::gridMarks(run);
        return;
    }
    if (!m_pixels->hasMarks(run))
        return;
    // The colour the marks would have set, one by one.
    m_fore = toQColor(run.color);
    useLineTransform();
    const bool sameColor = m_lastRun && m_lastRun->first == run.color;
    for (const GridMarkPixels::Piece& piece : m_pieces) {
        const GridMarkPixels::Piece* before = nullptr;
        if (sameColor)
            for (const GridMarkPixels::Piece& old : m_lastRun->second)
                if (old.rowsId == piece.rowsId)
                    before = &old;
        if (before == nullptr) {
            fill(piece, piece.columns, m_fore);
            continue;
        }
        // The run before set the same rows in the columns both cover: there
        // only what was drawn over them since needs its colour back.
        const LineRaster::Span old = before->columns;
        fill(piece, {piece.columns.first, std::min(piece.columns.last, old.first - 1)}, m_fore);
        fill(piece, {std::max(piece.columns.first, old.last + 1), piece.columns.last}, m_fore);
        const LineRaster::Span both{std::max(piece.columns.first, old.first),
                                    std::min(piece.columns.last, old.last)};
        if (!both.empty())
            for (const QRect& area : m_drawnSinceRun)
                fillWithin(piece, both, area, m_fore);
    }
    clearVectorState();
    m_erasedTo.reset();
    m_lastLine.reset();
    m_drawnSinceRun.clear();
    if (!m_lastRun)
        m_lastRun.emplace();
    m_lastRun->first = run.color;
    std::swap(m_lastRun->second, m_pieces);
}

void QtDrawingSurface::fill(const GridMarkPixels::Piece& piece, LineRaster::Span columns,
                            const QColor& color)
{
    if (columns.empty())
        return;
    for (const LineRaster::Span rows : *piece.rows)
        m_painter.fillRect(LineRaster::rect(columns, rows), color);
}

void QtDrawingSurface::fillWithin(const GridMarkPixels::Piece& piece, LineRaster::Span columns,
                                  const QRect& area, const QColor& color)
{
    columns = {std::max(columns.first, area.left()), std::min(columns.last, area.right())};
    if (columns.empty())
        return;
    // The first span that reaches the area's top, then on while they start above its bottom.
    auto rows = std::lower_bound(piece.rows->begin(), piece.rows->end(), area.top(),
                                 [](LineRaster::Span span, int top) { return span.last < top; });
    for (; rows != piece.rows->end() && rows->first <= area.bottom(); ++rows)
        m_painter.fillRect(LineRaster::rect(columns, {std::max(rows->first, area.top()),
                                                      std::min(rows->last, area.bottom())}),
                           color);
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
        m_painter.setWorldTransform(QTransform());
        m_textTransform = true;
    }
    m_painter.drawText(m_textPos + QPointF(0, m_boxMetrics.ascent()), text);
    clearVectorState();
    forgetDrawn();
}

} // namespace tb
