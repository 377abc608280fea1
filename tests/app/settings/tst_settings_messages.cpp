#include "SettingsMessages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_DECLARE_METATYPE(tb::SpecialFile)
Q_DECLARE_METATYPE(tb::Obstacle)

namespace {

// A path as the messages show it: with the system's own separators.
QString shown(const char* path)
{
    return QDir::toNativeSeparators(QString::fromLatin1(path));
}

// Where each system keeps a user's settings, named for the user.
QString noSettingsFolder()
{
#ifdef Q_OS_WIN
    return "Windows names no full path for your application data folder (%APPDATA%), where "
           "your settings are kept.";
#else
    return "There is no full path for the folder where your settings are kept "
           "($XDG_CONFIG_HOME, or .config in your home folder).";
#endif
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
    QTest::addColumn<tb::Obstacle>("obstacle");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QString>("then");
    const QString kept = QString("The settings file %1 is as it was before, your fields are kept, "
                                 "and the program stays open: press \"End\" again when that is "
                                 "done.")
                             .arg(shown("/f/Tubebridge.dat"));
    const tb::Obstacle none = tb::Obstacle::None;
    const QString file = shown("/f/Tubebridge.dat");
#ifdef EDQUOT // not in MinGW's errno.h
    QTest::newRow("quota") << EDQUOT << none
                           << QString("Your disk quota for %1 is used up. Delete some files you "
                                      "no longer need.")
                                  .arg(shown("/f"))
                           << kept;
#endif
    QTest::newRow("read-only file system")
        << EROFS << none
        << QString("The folder %1 is on a read-only file system. Make that file system writable.")
               .arg(shown("/f"))
        << kept;
    QTest::newRow("a file on the way")
        << ENOTDIR << none
        << QString("%1 is a file where a folder is needed. Move or rename that file.")
               .arg(shown("/f"))
        << kept;
    QTest::newRow("anything else")
        << EIO << none
        << QString("Input/output error (in the folder %1). Remove the cause.").arg(shown("/f"))
        << kept;
    QTest::newRow("another user's link on the way to the folder")
        << 0 << tb::Obstacle::ForeignLink
        << QString("The way to %1 leads through %2, a link made by another user. It is not "
                   "followed, so that no file of yours is written through it. Ask its owner or "
                   "the administrator to remove it.")
               .arg(file, shown("/f"))
        << kept;
    QTest::newRow("not permitted: a sticky folder, an immutable file")
        << EPERM << none
        << QString("The system does not let you replace %1: it belongs to another user in a "
                   "folder that keeps each user's files to their owner, or it is marked as never "
                   "to be changed. Ask its owner or the administrator to remove it.")
               .arg(file)
        << kept;
#ifdef Q_OS_WIN
    const QString user = "another program";
#else
    const QString user = "the system (a mount point, for example)";
#endif
    QTest::newRow("in use")
        << EBUSY << none
        << QString("%1 is in use by %2. Close that program, or wait until it is done.")
               .arg(file, user)
        << kept;
#ifdef ESTALE
    QTest::newRow("a stale network handle")
        << ESTALE << none
        << QString("The network share that holds %1 no longer knows it (a stale file handle). "
                   "Connect the share again.")
               .arg(file)
        << kept;
#endif
    QTest::newRow("no folder for the user's settings")
        << 0 << tb::Obstacle::NoSettingsFolder
        << noSettingsFolder() + " Ask the administrator to set it up."
        << "Nothing was saved, your fields are kept, and the program stays open: start it again "
           "once that is done.";
}

void TestSettingsMessages::saveFailure()
{
    QFETCH(int, error);
    QFETCH(tb::Obstacle, obstacle);
    const QString message = tb::saveFailureMessage(
        {error, "/f", tb::SpecialFile::None, QString(), obstacle}, "/f/Tubebridge.dat");
    QTEST(message.section("\n\n", 0, 0), "says");
    QTEST(message.section("\n\n", 1), "then");
}

void TestSettingsMessages::loadFailure_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("folder"); // that refused, on the way
    QTest::addColumn<tb::Obstacle>("obstacle");
    QTest::addColumn<QString>("link"); // another user's, further on
    QTest::addColumn<QString>("says");
    const QString file = shown("/f/Tubebridge.dat");
    const QString savedThere =
        QString("\n\nThe fields start empty. \"End\" saves them to %1.").arg(file);
    const tb::Obstacle none = tb::Obstacle::None;
    QTest::newRow("a folder you may not open")
        << EACCES << "/f" << none << ""
        << QString("You may not open the folder %1, so %2 cannot be read.").arg(shown("/f"), file) +
               savedThere;
    QTest::newRow("a file where a folder is needed")
        << ENOTDIR << "/f" << none << ""
        << QString("%1 is a file where a folder is needed to reach %2.").arg(shown("/f"), file) +
               savedThere;
#ifdef ESTALE
    QTest::newRow("a stale network handle")
        << ESTALE << "" << none << ""
        << QString("The network share that holds %1 no longer knows it (a stale file handle).")
                   .arg(file) +
               savedThere;
#endif
    QTest::newRow("a link made by another user")
        << 0 << "" << tb::Obstacle::ForeignLink << ""
        << QString("%1 is a link made by another user. It is not followed, so that no file of "
                   "yours is read or written through it.\n\nThe fields start empty. \"End\" "
                   "saves them to %1 in place of the link, where the folder allows it.")
               .arg(file);
    QTest::newRow("another user's link further on")
        << 0 << "" << tb::Obstacle::ForeignLink << "/s/x"
        << QString("The way to %1 leads through %2, a link made by another user. It is not "
                   "followed, so that no file of yours is read or written through it.\n\nThe "
                   "fields start empty. \"End\" saves them to %1 in place of the link there; "
                   "nothing behind %2 is touched.")
               .arg(file, shown("/s/x"));
    QTest::newRow("another user's link on the way to the folder")
        << 0 << "/s/x" << tb::Obstacle::ForeignLink << ""
        << QString("The way to %1 leads through %2, a link made by another user. It is not "
                   "followed, so that no file of yours is read or written through it.\n\nThe "
                   "fields start empty. \"End\" cannot save them there while that link stands.")
               .arg(file, shown("/s/x"));
    QTest::newRow("no folder for the user's settings")
        << 0 << "" << tb::Obstacle::NoSettingsFolder << ""
        << noSettingsFolder() + "\n\nThe fields start empty. \"End\" cannot save them.";
    QTest::newRow("a folder") << EISDIR << "" << none << ""
                              << QString("%1 is a folder, not a file.\n\nThe fields start empty. "
                                         "Move or rename that folder before you press \"End\", "
                                         "so that your fields can be saved there.")
                                     .arg(file);
    QTest::newRow("a link loop") << ELOOP << "" << none << ""
                                 << QString("%1 is a link that leads round in a loop, to no "
                                            "file.\n\nThe fields start empty. \"End\" saves "
                                            "them to %1.")
                                        .arg(file);
    QTest::newRow("no permission") << EACCES << "" << none << ""
                                   << QString("You may not read %1.\n\nThe fields start empty. "
                                              "\"End\" saves them to %1.")
                                          .arg(file);
}

// Why the file could not be read at start, and what "End" will do.
void TestSettingsMessages::loadFailure()
{
    QFETCH(int, error);
    QFETCH(QString, folder);
    QFETCH(tb::Obstacle, obstacle);
    QFETCH(QString, link);
    tb::SettingsFile::LoadResult atStart;
    atStart.status = tb::SettingsFile::LoadStatus::Unreadable;
    atStart.path = "/f/Tubebridge.dat";
    atStart.error = error;
    atStart.folder = folder;
    atStart.link = link;
    atStart.obstacle = obstacle;
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
    const QString inUse = QRegularExpression::escape(shown("/f/Tubebridge.dat")) +
                          " is in use by another program\\. Close that program, or wait until it "
                          "is done\\.";
    QTest::newRow("sharing violation")
        << static_cast<unsigned long>(ERROR_SHARING_VIOLATION) << inUse;
    QTest::newRow("lock violation") << static_cast<unsigned long>(ERROR_LOCK_VIOLATION) << inUse;
    // Any other cause in Windows' own words, which differ between its
    // versions and languages, with the code that names it.
    QTest::newRow("a device not ready")
        << static_cast<unsigned long>(ERROR_NOT_READY)
        << "[^\\n(]+ \\(Windows error 21\\) \\(in the folder " + f + "\\)\\. Remove the cause\\.";
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
