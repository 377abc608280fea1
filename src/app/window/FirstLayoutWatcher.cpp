#include "FirstLayoutWatcher.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tb {

bool maximisedSizeArrived(const WindowReport& report, const QSize& designSize) noexcept
{
    return report.exposed && report.maximised && report.clientSize != designSize;
}

FirstLayoutWatcher::FirstLayoutWatcher(QWidget* window, QSize designSize)
    : QObject(window)
    , m_window(window)
    , m_designSize(designSize)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FirstLayoutWatcher::onSettled);
    m_settle.start();
    window->installEventFilter(this);
}

// The desktop's reports reach the platform window, not the widget: the
// maximised state comes from there, with the size that goes with it. It
// exists once the widget is shown.
bool FirstLayoutWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (m_due)
        return false;
    QWindow* window = m_window->windowHandle();
    if (watched == m_window && event->type() == QEvent::Show && window != nullptr)
        window->installEventFilter(this);
    if (watched == window) {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            consider();
            break;
        default:
            break;
        }
    }
    return false;
}

void FirstLayoutWatcher::consider()
{
    const QWindow* window = m_window->windowHandle();
    const WindowReport report{window->isExposed(),
                              window->windowStates().testFlag(Qt::WindowMaximized), window->size()};
    if (maximisedSizeArrived(report, m_designSize))
        becomeDue();
    else
        m_settle.start();
}

void FirstLayoutWatcher::onSettled()
{
    const QWindow* window = m_window->windowHandle();
    if (window == nullptr || !window->isExposed()) {
        m_settle.start();
        return;
    }
    becomeDue();
}

void FirstLayoutWatcher::becomeDue()
{
    m_due = true;
    m_settle.stop();
    m_window->removeEventFilter(this);
    if (QWindow* window = m_window->windowHandle())
        window->removeEventFilter(this);
    emit layoutDue();
}

} // namespace tb
