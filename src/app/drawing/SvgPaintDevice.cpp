#include "SvgPaintDevice.h"

#include "SvgPaintEngine.h"

namespace tb {

namespace {
constexpr int Dpi = 96;
constexpr double MillimetresPerInch = 25.4;
} // namespace

SvgPaintDevice::SvgPaintDevice(QSize size)
    : m_size(size)
    , m_engine(std::make_unique<SvgPaintEngine>(size, Dpi))
{
}

SvgPaintDevice::~SvgPaintDevice() = default;

QPaintEngine* SvgPaintDevice::paintEngine() const
{
    return m_engine.get();
}

QByteArray SvgPaintDevice::svg() const
{
    return m_engine->svg();
}

int SvgPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return static_cast<int>(m_size.width() * MillimetresPerInch / Dpi);
    case PdmHeightMM:
        return static_cast<int>(m_size.height() * MillimetresPerInch / Dpi);
    case PdmNumColors:
        return 0xffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return Dpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace tb
