#include "ExceptionText.h"
#include "SettingsMessages.h"
#include "numeric/RuntimeError.h"

#include <QTest>

#include <cerrno>
#include <new>
#include <stdexcept>

// The first paragraph of a failed save's message: the cause and its remedy.
class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void saveFailure_data();
    void saveFailure();
    void exceptionNames();
};

void TestMessages::saveFailure_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
#ifdef EDQUOT // not in MinGW's errno.h
    QTest::newRow("quota") << EDQUOT
                           << "Your disk quota for /f is used up. Delete some files you no "
                              "longer need.";
#endif
    QTest::newRow("read-only file system")
        << EROFS << "The folder /f is on a read-only file system. Make that file system writable.";
    QTest::newRow("a file on the way")
        << ENOTDIR << "/f is a file where a folder is needed. Move or rename that file.";
    QTest::newRow("anything else")
        << EIO << "Input/output error (in the folder /f). Remove the cause.";
}

void TestMessages::saveFailure()
{
    QFETCH(int, error);
    const QString message = tb::saveFailureMessage({error, "/f"}, "/f/Tubebridge.dat");
    QTEST(message.section("\n\n", 0, 0), "says");
    QCOMPARE(message.section("\n\n", 1),
             QString("The settings file /f/Tubebridge.dat is as it was before, your fields are "
                     "kept, and the program stays open: press \"End\" again when that is done."));
}

void TestMessages::exceptionNames()
{
    const auto text = [](auto thrown) {
        return tb::exceptionText(std::make_exception_ptr(thrown));
    };
    QCOMPARE(text(tb::RuntimeError(tb::ErrorKind::Overflow)), QString("Overflow"));
    QCOMPARE(text(std::bad_alloc()), QString("Out of memory"));
    QCOMPARE(text(std::length_error("vector")), QString("Unexpected error: vector"));
    QCOMPARE(text(42), QString("Unexpected error"));
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
