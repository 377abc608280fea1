#pragma once

#include <QBrush>
#include <QByteArray>
#include <QFont>
#include <QPaintEngine>
#include <QPen>
#include <QTransform>
#include <QXmlStreamWriter>

namespace tb {

// SvgPaintDevice's engine: each rectangle, line, polygon and text the painter
// draws becomes one SVG element, with its colours, pen width and font.
class SvgPaintEngine final : public QPaintEngine {
public:
    // dpi: the device's, which turns a font's points into pixels.
    SvgPaintEngine(QSize size, int dpi);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawPath(const QPainterPath& path) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    [[nodiscard]] Type type() const override;

    [[nodiscard]] const QByteArray& svg() const noexcept { return m_svg; }

private:
    // The pen's and the brush's paint as attributes; none where there is none.
    void writeStroke();
    void writeFill();
    void writePoints(const QPointF* points, int pointCount);

    QSize m_size;
    int m_dpi;
    QByteArray m_svg;
    QXmlStreamWriter m_xml{&m_svg};
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QTransform m_transform;
};

} // namespace tb
