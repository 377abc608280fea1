#pragma once

#include <QMetaObject>
#include <QObject>
#include <QTest>
#include <QTimer>

// A check that something does not happen is made once the event that would
// have caused it has been handled: these wait for an event that is known to
// come after it, however slowly the machine runs, never for a fixed time.
namespace tb::test {

// Far beyond what any of these waits takes; reached only when the event loop
// is stuck.
inline constexpr int StuckMs = 30000;

// Handles events until every event posted before the call has been handled:
// Qt delivers posted events of one priority in the order they were posted, so
// a call queued now comes after them.
[[nodiscard]] inline bool handlePostedEvents()
{
    QObject marker;
    bool reached = false;
    QMetaObject::invokeMethod(
        &marker, [&reached] { reached = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&reached] { return reached; }, StuckMs);
}

// Handles events until every timer that falls due within ms of now has fired
// and what those timers posted has been handled. Qt fires the timers that
// are due in the order of their deadlines, so a precise timer started now
// fires after them once it is a little longer than ms (a coarse timer may
// fire up to 5 % late).
[[nodiscard]] inline bool handleTimersDueWithin(int ms)
{
    QTimer marker;
    marker.setSingleShot(true);
    marker.setTimerType(Qt::PreciseTimer);
    bool fired = false;
    QObject::connect(&marker, &QTimer::timeout, [&fired] { fired = true; });
    marker.start(ms + ms / 10 + 1);
    return QTest::qWaitFor([&fired] { return fired; }, StuckMs) && handlePostedEvents();
}

} // namespace tb::test
