#pragma once

#include <QBrush>
#include <QByteArray>
#include <QPaintEngine>
#include <QPen>
#include <QTransform>
#include <QXmlStreamWriter>

namespace tb {

// SvgPaintDevice's engine: each call of the painter becomes one SVG element,
// so the lines of one call (the lattice's marks of one colour) are one path.
// Numbers are written with at most three decimals, the same on every system.
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
    // The pen as stroke attributes.
    void writeStroke();

    QSize m_size;
    int m_dpi;
    QByteArray m_svg;
    QXmlStreamWriter m_xml{&m_svg};
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

} // namespace tb
