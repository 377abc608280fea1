#include "FirstLayout.h"

namespace tb {

LayoutMoment firstLayoutMoment(const WindowReport& report, const QSize& designSize) noexcept
{
    if (!report.exposed)
        return LayoutMoment::Wait;
    if (report.maximised && report.clientSize != designSize)
        return LayoutMoment::Now;
    return LayoutMoment::WhenSettled;
}

} // namespace tb
