// What a run-time error's message calls the error.
#include "ExceptionText.h"
#include "RuntimeError.h"

#include <QTest>

#include <new>
#include <stdexcept>

class TestExceptionText : public QObject {
    Q_OBJECT

private slots:
    void exceptionNames();
};

void TestExceptionText::exceptionNames()
{
    const auto text = [](auto thrown) {
        return tb::exceptionText(std::make_exception_ptr(thrown));
    };
    QCOMPARE(text(tb::RuntimeError(tb::ErrorKind::Overflow)), QString("Overflow"));
    QCOMPARE(text(std::bad_alloc()), QString("Out of memory"));
    QCOMPARE(text(std::length_error("vector")), QString("Unexpected error: vector"));
    QCOMPARE(text(42), QString("Unexpected error"));
}

QTEST_GUILESS_MAIN(TestExceptionText)
#include "tst_exception_text.moc"
