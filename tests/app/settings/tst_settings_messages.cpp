#include "SettingsMessages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_DECLARE_METATYPE(tb::SpecialFile)

namespace {

// A path as the messages show it: with the system's own separators.
QString shown(const char* path)
{
    return QDir::toNativeSeparators(QString::fromLatin1(path));
}

} // namespace

// What a settings message says: the cause and its remedy.
class TestSettingsMessages : public QObject {
    Q_OBJECT

private slots:
    void saveFailure_data();
    void saveFailure();
    void loadFailure_data();
    void loadFailure();
    void notAFile_data();
    void notAFile();
    void windowsErrors_data();
    void windowsErrors();
};

void TestSettingsMessages::saveFailure_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
#ifdef EDQUOT // not in MinGW's errno.h
    QTest::newRow("quota") << EDQUOT
                           << QString("Your disk quota for %1 is used up. Delete some files you "
                                      "no longer need.")
                                  .arg(shown("/f"));
#endif
    QTest::newRow("read-only file system")
        << EROFS
        << QString("The folder %1 is on a read-only file system. Make that file system writable.")
               .arg(shown("/f"));
    QTest::newRow("a file on the way")
        << ENOTDIR
        << QString("%1 is a file where a folder is needed. Move or rename that file.")
               .arg(shown("/f"));
    QTest::newRow("anything else")
        << EIO
        << QString("Input/output error (in the folder %1). Remove the cause.").arg(shown("/f"));
}

void TestSettingsMessages::saveFailure()
{
    QFETCH(int, error);
    const QString message = tb::saveFailureMessage({error, "/f"}, "/f/Tubebridge.dat");
    QTEST(message.section("\n\n", 0, 0), "says");
    QCOMPARE(message.section("\n\n", 1),
             QString("The settings file %1 is as it was before, your fields are kept, and the "
                     "program stays open: press \"End\" again when that is done.")
                 .arg(shown("/f/Tubebridge.dat")));
}

void TestSettingsMessages::loadFailure_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    const QString file = shown("/f/Tubebridge.dat");
    QTest::newRow("a folder") << EISDIR
                              << QString("%1 is a folder, not a file.\n\nThe fields start empty. "
                                         "Move or rename that folder before you press \"End\", "
                                         "so that your fields can be saved there.")
                                     .arg(file);
    QTest::newRow("a link loop") << ELOOP
                                 << QString("%1 is a link that leads round in a loop, to no "
                                            "file.\n\nThe fields start empty. \"End\" saves "
                                            "them to %1.")
                                        .arg(file);
    QTest::newRow("no permission") << EACCES
                                   << QString("You may not read %1.\n\nThe fields start empty. "
                                              "\"End\" saves them to %1.")
                                          .arg(file);
}

// Why the file could not be read at start, and what "End" will do.
void TestSettingsMessages::loadFailure()
{
    QFETCH(int, error);
    tb::SettingsFile::LoadResult atStart;
    atStart.status = tb::SettingsFile::LoadStatus::Unreadable;
    atStart.path = "/f/Tubebridge.dat";
    atStart.error = error;
    QTEST(tb::loadFailureMessage(atStart, "/f/Tubebridge.dat"), "says");
}

void TestSettingsMessages::notAFile_data()
{
    QTest::addColumn<tb::SpecialFile>("special");
    QTest::addColumn<QString>("what");
    QTest::newRow("named pipe") << tb::SpecialFile::NamedPipe << "a named pipe";
    QTest::newRow("device") << tb::SpecialFile::Device << "a device";
    QTest::newRow("socket") << tb::SpecialFile::Socket << "a socket";
}

// What stands at the path, at start and on "End".
void TestSettingsMessages::notAFile()
{
    QFETCH(tb::SpecialFile, special);
    QFETCH(QString, what);
    tb::SettingsFile::LoadResult atStart;
    atStart.status = tb::SettingsFile::LoadStatus::Unreadable;
    atStart.path = "/f/Tubebridge.dat";
    atStart.special = special;
    const QString file = shown("/f/Tubebridge.dat");
    QCOMPARE(tb::loadFailureMessage(atStart, "/f/Tubebridge.dat"),
             QString("%1 is %2, not a file.\n\nThe fields start empty. Move or rename %1 before "
                     "you press \"End\", so that your fields can be saved there.")
                 .arg(file, what));
    // The administrator's file: the user's own is saved elsewhere.
    QCOMPARE(tb::loadFailureMessage(atStart, "/home/u/Tubebridge.dat").section("\n\n", 1),
             QString("The fields start empty. \"End\" saves them to %1.")
                 .arg(shown("/home/u/Tubebridge.dat")));
    const QString message = tb::saveFailureMessage({0, "/f", special}, "/f/Tubebridge.dat");
    QCOMPARE(message.section("\n\n", 0, 0),
             QString("%1 is %2, not a file. Saving over it would destroy it. Move or rename %1.")
                 .arg(file, what));
}

void TestSettingsMessages::windowsErrors_data()
{
    QTest::addColumn<unsigned long>("code");
    QTest::addColumn<QString>("says"); // a pattern
#ifdef Q_OS_WIN
    const QString f = QRegularExpression::escape(shown("/f"));
    const QString full = "The disk that holds " + f + " is full\\. Free some space on it\\.";
    QTest::newRow("disk full") << static_cast<unsigned long>(ERROR_DISK_FULL) << full;
    QTest::newRow("handle disk full") << static_cast<unsigned long>(ERROR_HANDLE_DISK_FULL) << full;
    QTest::newRow("access denied")
        << static_cast<unsigned long>(ERROR_ACCESS_DENIED)
        << "You may not write to the folder " + f +
               "\\. Give yourself write permission to it, or ask the administrator to\\.";
    QTest::newRow("write protected")
        << static_cast<unsigned long>(ERROR_WRITE_PROTECT)
        << "The folder " + f +
               " is on a read-only file system\\. Make that file system writable\\.";
    QTest::newRow("a file where a folder is needed")
        << static_cast<unsigned long>(ERROR_DIRECTORY)
        << f + " is a file where a folder is needed\\. Move or rename that file\\.";
    // Any other cause in Windows' own words, which differ between its
    // versions and languages, with the code that names it.
    QTest::newRow("sharing violation")
        << static_cast<unsigned long>(ERROR_SHARING_VIOLATION)
        << "[^\\n(]+ \\(Windows error 32\\) \\(in the folder " + f + "\\)\\. Remove the cause\\.";
#endif
}

// On Windows, each cause of a failed save from its error code.
void TestSettingsMessages::windowsErrors()
{
#ifndef Q_OS_WIN
    QSKIP("Windows' error codes");
#else
    QFETCH(unsigned long, code);
    QFETCH(QString, says);
    const tb::SystemError e = tb::systemErrorOf(code);
    const QString message = tb::saveFailureMessage(
        {e.error, "/f", tb::SpecialFile::None, e.systemWords}, "/f/Tubebridge.dat");
    const QString cause = message.section("\n\n", 0, 0);
    QVERIFY2(QRegularExpression("^" + says + "$").match(cause).hasMatch(),
             qPrintable(cause + "\n does not match\n" + says));
#endif
}

QTEST_GUILESS_MAIN(TestSettingsMessages)
#include "tst_settings_messages.moc"
