#pragma once

#include <QSize>

namespace tb {

// What the desktop has told the window so far.
struct WindowReport {
    bool exposed = false;
    bool maximised = false;
    QSize clientSize;
};

// Without a maximise from the desktop (none, or a tiling one that gives the
// window its tile), the size the window keeps this long is the one to use.
inline constexpr int FirstLayoutSettleMs = 250;

// Whether the one-time layout may run at once: the window is on screen with
// its maximised size. Some desktops show the window at its design size first
// and maximise it a moment later, or report the maximised state before the
// size that goes with it; until that size arrives the layout waits for the
// size to settle.
[[nodiscard]] bool maximisedSizeArrived(const WindowReport& report,
                                        const QSize& designSize) noexcept;

} // namespace tb
