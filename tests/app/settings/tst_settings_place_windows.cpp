// Where the settings file lives on Windows: beside the program in a folder
// the user may write, unless the program was installed under Program Files;
// then in the user's %APPDATA%\Tubebridge, seeded from a file beside the
// program. The folders are taken from the environment, as Windows sets it,
// not from the known-folder calls the program asks.
#include "SettingsFile.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using tb::test::lines;
using tb::test::readFile;
using tb::test::sixteen;
using tb::test::writeFile;

namespace {

QString folderOf(const char* variable)
{
    return QDir::fromNativeSeparators(qEnvironmentVariable(variable));
}

QStringList textsOf(const QList<QByteArray>& lines)
{
    QStringList texts;
    for (const QByteArray& line : lines)
        texts << QString::fromLatin1(line);
    return texts;
}

} // namespace

class TestSettingsPlaceWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chosenByWhereTheProgramIs_data();
    void chosenByWhereTheProgramIs();
    void installedReadsTheAdministratorsFileUntilTheUsersOwnExists();

private:
    QTemporaryDir m_scratch;
};

void TestSettingsPlaceWindows::initTestCase()
{
    QVERIFY(!folderOf("ProgramFiles").isEmpty());
    QVERIFY(!folderOf("APPDATA").isEmpty());
}

void TestSettingsPlaceWindows::chosenByWhereTheProgramIs_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("beside");

    const QString programFiles = folderOf("ProgramFiles");
    QTest::newRow("a folder of the user's") << m_scratch.filePath("portable") << true;
    // Installed, even where the folder may be written (as Wine lets it).
    QTest::newRow("Program Files") << programFiles + "/Tubebridge test" << false;
    QTest::newRow("Program Files in other letters")
        << programFiles.toLower() + "/Tubebridge test" << false;
    QTest::newRow("deeper in Program Files") << programFiles + "/Tubebridge test/bin" << false;
    if (const QString x86 = folderOf("ProgramFiles(x86)"); !x86.isEmpty())
        QTest::newRow("Program Files (x86)") << x86 + "/Tubebridge test" << false;
    // A name that only begins like it is another folder.
    QTest::newRow("a folder named like Program Files") << programFiles + " Tubebridge test" << true;
    QTest::newRow("a folder that cannot be written")
        << QString("Q:/no such drive/Tubebridge") << false;
}

void TestSettingsPlaceWindows::chosenByWhereTheProgramIs()
{
    QFETCH(QString, program);
    QFETCH(bool, beside);
    if (!program.startsWith("Q:"))
        QVERIFY2(QDir().mkpath(program), qPrintable(program));
    const tb::SettingsFile s = tb::SettingsFile::forProgram(program, tb::userSettingsHome());
    const QString besideIt = program + "/Tubebridge.dat";
    const QString own = folderOf("APPDATA") + "/Tubebridge/Tubebridge.dat";
    QCOMPARE(QDir::cleanPath(s.path()), QDir::cleanPath(beside ? besideIt : own));
    QCOMPARE(QDir::cleanPath(s.defaultsPath()), beside ? QString() : QDir::cleanPath(besideIt));
    // The folder's write test leaves nothing behind.
    if (!program.startsWith("Q:"))
        QCOMPARE(QDir(program).entryList(QDir::Files | QDir::Hidden), QStringList());
    QDir(program).removeRecursively();
}

// As after the installer: the program in Program Files with a file an
// administrator put beside it. It is read until "End" makes the user's own,
// in %APPDATA%\Tubebridge, which is read from then on; the administrator's
// is never written.
void TestSettingsPlaceWindows::installedReadsTheAdministratorsFileUntilTheUsersOwnExists()
{
    const QString program = folderOf("ProgramFiles") + "/Tubebridge test";
    QVERIFY(QDir().mkpath(program));
    const QByteArray administrators = lines(sixteen("admin"));
    QVERIFY(writeFile(program + "/Tubebridge.dat", administrators));
    const QString own = folderOf("APPDATA") + "/Tubebridge/Tubebridge.dat";
    QFile::remove(own);

    const tb::SettingsFile s = tb::SettingsFile::forProgram(program, tb::userSettingsHome());
    QCOMPARE(s.load().fields, textsOf(sixteen("admin")));
    QStringList mine = s.load().fields;
    mine[0] = "mine";
    QVERIFY(s.save(mine).ok());
    QList<QByteArray> expected = sixteen("admin");
    expected[0] = "mine";
    QCOMPARE(readFile(own), lines(expected));
    QCOMPARE(readFile(program + "/Tubebridge.dat"), administrators);
    QCOMPARE(s.load().fields.first(), QString("mine"));

    QVERIFY(QFile::remove(own));
    QVERIFY(QDir(program).removeRecursively());
}

QTEST_GUILESS_MAIN(TestSettingsPlaceWindows)
#include "tst_settings_place_windows.moc"
