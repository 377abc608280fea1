#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class QWidget;

namespace tb {

// What the desktop has told a window so far.
struct WindowReport {
    bool exposed = false;
    bool maximised = false;
    QSize clientSize;
};

// Whether the one-time layout may run at once: the window is on screen with
// its maximised size. Some desktops show the window at its design size first
// and maximise it a moment later, or report the maximised state before the
// size that goes with it; until that size arrives the layout waits for the
// size to settle.
[[nodiscard]] bool maximisedSizeArrived(const WindowReport& report,
                                        const QSize& designSize) noexcept;

// Says once when a new window is to be laid out for the size the desktop
// gives it: as soon as it is on screen at its maximised size, before it
// paints; otherwise (no maximise, or a tiling desktop that gives it a tile)
// once its size has stood still for SettleMs while it is on screen.
class FirstLayoutWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int SettleMs = 250;

    // window: a top-level widget, not shown yet, at its design size.
    FirstLayoutWatcher(QWidget* window, QSize designSize);

    [[nodiscard]] bool isDue() const noexcept { return m_due; }

signals:
    void layoutDue();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void consider();
    void onSettled();
    void becomeDue();

    QWidget* m_window;
    QSize m_designSize;
    // Started again by every report of the desktop's.
    QTimer m_settle;
    bool m_due = false;
};

} // namespace tb
