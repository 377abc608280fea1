#pragma once

#include <QString>
#include <QTest>

#include <cmath>

namespace tb::test {

// Behind TB_COMPARE_NEAR: records a failure that names the actual value, the
// expected one and the tolerance.
[[nodiscard]] inline bool compareNear(double actual, double expected, double tolerance,
                                      const char* expression, const char* file, int line)
{
    if (std::abs(actual - expected) <= tolerance)
        return true;
    QTest::qFail(qPrintable(QString::asprintf("%s is %.17g, expected %.17g within %g", expression,
                                              actual, expected, tolerance)),
                 file, line);
    return false;
}

} // namespace tb::test

// QCOMPARE for a number that may differ from the expected one by a tolerance.
#define TB_COMPARE_NEAR(actual, expected, tolerance)                                               \
    do {                                                                                           \
        if (!tb::test::compareNear((actual), (expected), (tolerance), #actual, __FILE__,           \
                                   __LINE__))                                                      \
            return;                                                                                \
    } while (false)
