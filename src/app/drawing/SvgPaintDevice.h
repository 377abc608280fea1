#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace tb {

class SvgPaintEngine;

// An SVG drawing, written the same on every system (the Windows build has
// no Qt SVG): what the graph paints on it, and nothing more. Filled
// rectangles, lines, polylines and polygons in their pen's colour and width, and texts as text in
// their font; anything else (images, gradients, clipping) is left out. Coordinates are the
// painter's logical ones, in a view box of the given size, at 96 dots per inch.
class SvgPaintDevice : public QPaintDevice {
public:
    explicit SvgPaintDevice(QSize size);
    ~SvgPaintDevice() override;
    SvgPaintDevice(const SvgPaintDevice&) = delete;
    SvgPaintDevice& operator=(const SvgPaintDevice&) = delete;

    [[nodiscard]] QPaintEngine* paintEngine() const override;
    // The whole document, once the painter has ended.
    [[nodiscard]] QByteArray svg() const;

protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<SvgPaintEngine> m_engine;
};

} // namespace tb
