#include "FirstLayoutWatcher.h"

namespace tb {

bool maximisedSizeArrived(const WindowReport& report, const QSize& designSize) noexcept
{
    return report.exposed && report.maximised && report.clientSize != designSize;
}

} // namespace tb
