#pragma once

#include <QSize>

namespace tb {

// What the desktop has told the window so far.
struct WindowReport {
    bool exposed = false;
    bool maximised = false;
    QSize clientSize;
};

enum class LayoutMoment {
    Wait,        // not on screen yet
    WhenSettled, // once the size has stood still for FirstLayoutSettleMs
    Now,         // the maximised size has arrived
};

// Without a maximise from the desktop (none, or a tiling one that gives the
// window its tile), the size the window keeps this long is the one to use.
inline constexpr int FirstLayoutSettleMs = 250;

// When the one-time layout may run. Some desktops show the window at its
// design size first and maximise it a moment later, or report the maximised
// state before the size that goes with it; the layout waits for that size.
[[nodiscard]] LayoutMoment firstLayoutMoment(const WindowReport& report,
                                             const QSize& designSize) noexcept;

} // namespace tb
