#pragma once

#include <QRect>
#include <QString>

namespace tb::test {

// An offset range and a rectangle as text, so that a failing comparison
// shows both sides.
inline QString range(int start, int end)
{
    return QStringLiteral("%1-%2").arg(start).arg(end);
}

inline QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace tb::test
