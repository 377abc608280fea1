#include "TestFiles.h"
#include "WindowHarness.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using tb::test::readFile;
using tb::test::writeFile;

namespace {

constexpr QFile::Permissions ReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner;
constexpr QFile::Permissions WritableFolder = ReadOnlyFolder | QFile::WriteOwner;

QByteArray sixteenLines(const QByteArray& prefix)
{
    QByteArray out;
    for (int i = 0; i < 16; ++i)
        out += prefix + QByteArray::number(i) + "\r\n";
    return out;
}

// A program folder and a configuration home, as a user's machine has them.
struct Machine {
    QTemporaryDir root;
    QString program = root.filePath("bin");
    QString config = root.filePath("config");
    QString beside = program + "/Tubebridge.dat";
    QString own = config + "/tubebridge/Tubebridge.dat";

    explicit Machine(QFile::Permissions programFolder, const QByteArray& administrators = {})
    {
        QDir().mkpath(program);
        QDir().mkpath(config);
        if (!administrators.isEmpty())
            tb::test::writeFile(beside, administrators);
        QFile::setPermissions(program, programFolder);
    }
    ~Machine() { QFile::setPermissions(program, WritableFolder); }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    [[nodiscard]] tb::SettingsFile settings() const
    {
        return tb::SettingsFile::forProgram(program, config);
    }
};

} // namespace

// Permissions must bind: these run as an ordinary user (CTest sees to that
// when the test run is root).
class TestSettingsLocation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chosenAtStartUp_data();
    void chosenAtStartUp();
    void seededFromTheAdministratorsFile();
    void neitherFileGivesAFirstRun();
    void locationDoesNotChangeWhileRunning();
    void unwritableFolderKeepsTheOldFile();
    void unreadableFileIsReplacedByEnd();
};

void TestSettingsLocation::initTestCase()
{
    if (geteuid() == 0)
        QFAIL("permissions do not bind the superuser: run this through tests/support/"
              "unprivileged.sh, as CTest does");
}

void TestSettingsLocation::chosenAtStartUp_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("saves");    // relative to the machine's root
    QTest::addColumn<QString>("defaults"); // likewise; empty for none
    QTest::newRow("a writable program folder: beside the program") << true << "bin/Tubebridge.dat"
                                                                   << "";
    QTest::newRow("a read-only program folder: the user's own, seeded from beside it")
        << false << "config/tubebridge/Tubebridge.dat"
        << "bin/Tubebridge.dat";
}

void TestSettingsLocation::chosenAtStartUp()
{
    QFETCH(bool, writable);
    QFETCH(QString, saves);
    QFETCH(QString, defaults);
    const Machine m(writable ? WritableFolder : ReadOnlyFolder);
    const tb::SettingsFile s = m.settings();
    QCOMPARE(s.path(), m.root.filePath(saves));
    QCOMPARE(s.defaultsPath(), defaults.isEmpty() ? QString() : m.root.filePath(defaults));
}

void TestSettingsLocation::seededFromTheAdministratorsFile()
{
    const QByteArray administrators = sixteenLines("admin");
    const Machine m(ReadOnlyFolder, administrators);
    {
        WindowHarness h{m.settings()};
        QVERIFY(h.showAndActivate());
        QCOMPARE(h.field(0)->text(), QString("admin0"));
        QCOMPARE(h.field(15)->text(), QString("admin15"));
        h.field(0)->setText("mine");
        h.clickEnd();
        QVERIFY(!h.window().isVisible());
    }
    QCOMPARE(readFile(m.own), "mine\r\n" + sixteenLines("admin").mid(8));
    struct stat folder {};
    QCOMPARE(::stat(QFile::encodeName(m.config + "/tubebridge").constData(), &folder), 0);
    QCOMPARE(QString::number(folder.st_mode & 0777, 8), QString("700"));
    QCOMPARE(readFile(m.beside), administrators);

    // From now on the user's own file is read, not the administrator's.
    const WindowHarness again{m.settings()};
    QCOMPARE(again.field(0)->text(), QString("mine"));
}

void TestSettingsLocation::neitherFileGivesAFirstRun()
{
    const Machine m(ReadOnlyFolder);
    const tb::SettingsFile::LoadResult loaded = m.settings().load();
    QCOMPARE(loaded.status, tb::SettingsFile::LoadStatus::Missing);
}

void TestSettingsLocation::locationDoesNotChangeWhileRunning()
{
    const Machine m(ReadOnlyFolder);
    WindowHarness h{m.settings()};
    QVERIFY(h.showAndActivate());
    QVERIFY(QFile::setPermissions(m.program, WritableFolder));
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QVERIFY(readFile(m.own).startsWith("400\r\n60\r\n"));
    QVERIFY(!QFileInfo::exists(m.beside));
}

void TestSettingsLocation::unwritableFolderKeepsTheOldFile()
{
    const Machine m(ReadOnlyFolder);
    const QString folder = m.config + "/tubebridge";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeFile(m.own, sixteenLines("old")));
    QVERIFY(QFile::setPermissions(folder, ReadOnlyFolder));
    WindowHarness h{m.settings()};
    QVERIFY(h.showAndActivate());
    h.field(0)->setText("kept");
    h.clickEnd();
    QFile::setPermissions(folder, WritableFolder);

    QVERIFY(h.window().isVisible());
    QMessageBox* box = h.settingsMessage();
    QVERIFY(box != nullptr);
    QVERIFY2(box->informativeText().startsWith(
                 QStringLiteral("You may not write to the folder %1. Give yourself write "
                                "permission to it, or ask the administrator to.")
                     .arg(folder)),
             qPrintable(box->informativeText()));
    QCOMPARE(readFile(m.own), sixteenLines("old"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Tubebridge.dat"});
    QCOMPARE(h.field(0)->text(), QString("kept"));
}

void TestSettingsLocation::unreadableFileIsReplacedByEnd()
{
    const Machine m(WritableFolder, sixteenLines("secret"));
    QVERIFY(QFile::setPermissions(m.beside, QFile::WriteOwner));
    WindowHarness h{m.settings()};
    QCOMPARE(h.field(0)->text(), QString());
    QVERIFY(h.showAndActivate());
    QTRY_VERIFY(h.settingsMessage() != nullptr);
    QCOMPARE(h.settingsMessage()->informativeText(),
             QStringLiteral("You may not read %1.\n\nThe fields start empty. \"End\" saves "
                            "them to %1.")
                 .arg(m.beside));
    QTest::keyClick(h.settingsMessage(), Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);
    h.field(0)->setText("new");
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QCOMPARE(readFile(m.beside), "new" + QByteArray("\r\n").repeated(16));
}

QTEST_MAIN(TestSettingsLocation)
#include "tst_settings_location.moc"
