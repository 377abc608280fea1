#pragma once

#include "RuntimeError.h"

#include <QTest>

namespace tb::test {

// Runs f and returns the kind of run-time error it raised; fails the test
// when it raised none.
template <typename F>
ErrorKind errorOf(F&& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.kind();
    }
    QTest::qFail("no run-time error raised", __FILE__, __LINE__);
    return static_cast<ErrorKind>(-1); // none of the kinds
}

} // namespace tb::test
