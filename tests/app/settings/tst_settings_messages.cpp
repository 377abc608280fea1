#include "SettingsMessages.h"

#include <QTest>

#include <cerrno>

Q_DECLARE_METATYPE(tb::SpecialFile)

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
};

void TestSettingsMessages::saveFailure_data()
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

void TestSettingsMessages::saveFailure()
{
    QFETCH(int, error);
    const QString message = tb::saveFailureMessage({error, "/f"}, "/f/Tubebridge.dat");
    QTEST(message.section("\n\n", 0, 0), "says");
    QCOMPARE(message.section("\n\n", 1),
             QString("The settings file /f/Tubebridge.dat is as it was before, your fields are "
                     "kept, and the program stays open: press \"End\" again when that is done."));
}

void TestSettingsMessages::loadFailure_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    QTest::newRow("a folder") << EISDIR
                              << "/f/Tubebridge.dat is a folder, not a file.\n\nThe fields start "
                                 "empty. Move or rename that folder before you press \"End\", so "
                                 "that your fields can be saved there.";
    QTest::newRow("a link loop")
        << ELOOP
        << "/f/Tubebridge.dat is a link that leads round in a loop, to no file.\n\nThe fields "
           "start empty. \"End\" saves them to /f/Tubebridge.dat.";
    QTest::newRow("no permission") << EACCES
                                   << "You may not read /f/Tubebridge.dat.\n\nThe fields start "
                                      "empty. \"End\" saves them to /f/Tubebridge.dat.";
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
    QCOMPARE(tb::loadFailureMessage(atStart, "/f/Tubebridge.dat"),
             "/f/Tubebridge.dat is " + what +
                 ", not a file.\n\nThe fields start empty. Move or rename /f/Tubebridge.dat "
                 "before you press \"End\", so that your fields can be saved there.");
    // The administrator's file: the user's own is saved elsewhere.
    QCOMPARE(tb::loadFailureMessage(atStart, "/home/u/Tubebridge.dat").section("\n\n", 1),
             QString("The fields start empty. \"End\" saves them to /home/u/Tubebridge.dat."));
    const QString message = tb::saveFailureMessage({0, "/f", special}, "/f/Tubebridge.dat");
    QCOMPARE(message.section("\n\n", 0, 0),
             "/f/Tubebridge.dat is " + what +
                 ", not a file. Saving over it would destroy it. Move or rename "
                 "/f/Tubebridge.dat.");
}

QTEST_GUILESS_MAIN(TestSettingsMessages)
#include "tst_settings_messages.moc"
