#pragma once

#include <QBrush>
#include <QByteArray>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QSize>
#include <QTransform>
#include <QXmlStreamWriter>

namespace tb {

// An SVG drawing, written the same on every system (the Windows build has no
// Qt SVG): what the graph paints on it, and nothing more. The device is its
// own paint engine; each call of the painter becomes one element, so the
// lines of one call (the lattice's marks of one colour) are one path. Filled
// rectangles, lines, polylines and polygons in their pen's colour and width,
// and texts as text in their font; images and painter paths are left out. Coordinates are the
// painter's, in a view box of the given size at 96 dots per inch, with at
// most three decimals.
class SvgPaintDevice final : public QPaintDevice, public QPaintEngine {
public:
    explicit SvgPaintDevice(QSize size);

    // The whole document, once the painter has ended.
    [[nodiscard]] const QByteArray& svg() const noexcept { return m_svg; }

    [[nodiscard]] QPaintEngine* paintEngine() const override;
    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    [[nodiscard]] Type type() const override { return User; }

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override;

private:
    void writeStroke();

    QSize m_size;
    QByteArray m_svg;
    QXmlStreamWriter m_xml{&m_svg};
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

} // namespace tb
