#include "FormHarness.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <sys/stat.h>
#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <unistd.h>
#endif

using tb::test::readFile;
using tb::test::writeFile;

namespace {

QByteArray lines(const QList<QByteArray>& fields, const QByteArray& lastEnd = "\r\n")
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i)
        out += fields[i] + (i + 1 < fields.size() ? QByteArray("\r\n") : lastEnd);
    return out;
}

QList<QByteArray> sixteen(const QByteArray& prefix)
{
    QList<QByteArray> fields;
    for (int i = 0; i < 16; ++i)
        fields << prefix + QByteArray::number(i);
    return fields;
}

// Empty when the save worked, else the system's words for why not.
QString problemOf(const tb::AtomicWriteResult& saved)
{
    return saved.ok() ? QString() : QString::fromLocal8Bit(std::strerror(saved.error));
}

#ifndef Q_OS_WIN
// A small RAM disk of its own, so that a save can really meet a full disk.
class SmallDisk {
public:
    explicit SmallDisk(const char* size)
    {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = m_dir.isValid() &&
                    ::mount("tubebridge-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                            0, options.constData()) == 0;
        m_error = m_mounted ? 0 : errno;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    [[nodiscard]] bool mounted() const noexcept { return m_mounted; }
    [[nodiscard]] QString whyNot() const { return QString::fromLocal8Bit(std::strerror(m_error)); }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] bool grow(const char* size) const
    {
        const QByteArray options = QByteArray("size=") + size;
        return ::mount("tubebridge-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                       MS_REMOUNT, options.constData()) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    int m_error = 0;
};
#endif

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void loadsFieldsAsStored();
    void charactersOutsideTheSetBecomeQuestionMarks();
    void lineBreaksInsideAFieldDoNotShiftTheFile();

    void endSavesAndCloses();
    void closingWithoutEndWritesNothing();
    void fullDiskKeepsTheOldFileAndTheWindow();
    void nameThatIsAFolder();
    void fileWhereAFolderIsNeeded();
    void fewerLinesLeaveTheRestEmpty();
    void saveKeepsTheFilesPermissions_data();
    void saveKeepsTheFilesPermissions();
};

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");

    QList<QByteArray> awkward = sixteen("v");
    awkward[0] = " 400 , \"volts\" ";
    awkward[3] = "";
    awkward[9] = "caf\xe9 \x80 \x81\x8d\x8f\x90\x9d \xff"; // above 127, unassigned bytes too
    QTest::newRow("blanks, commas, quotes, empty, high bytes") << lines(awkward) << lines(awkward);

    QTest::newRow("last line without CR LF") << lines(sixteen("x"), "") << lines(sixteen("x"));

    QList<QByteArray> seventeen = sixteen("s");
    seventeen << "extra";
    QTest::newRow("seventeen lines in, sixteen out") << lines(seventeen) << lines(sixteen("s"));

    QByteArray unixEnds = lines(sixteen("u"));
    unixEnds.replace("\r\n", "\n");
    QTest::newRow("bare line feeds") << unixEnds << lines(sixteen("u"));

    QByteArray macEnds = lines(sixteen("m"));
    macEnds.replace("\r\n", "\r");
    QTest::newRow("bare carriage returns") << macEnds << lines(sixteen("m"));

    QList<QByteArray> stray = sixteen("c");
    stray[12] = "-30\r0030"; // a stray CR splits the line; the rest shifts down
    QList<QByteArray> shifted = sixteen("c");
    shifted.insert(12, "-30");
    shifted[13] = "0030";
    QTest::newRow("stray carriage return") << lines(stray) << lines(shifted.mid(0, 16));
}

void TestSettings::roundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QVERIFY(writeFile(settings.path(), file));
    const tb::SettingsFile::LoadResult loaded = settings.load();
    QCOMPARE(loaded.status, tb::SettingsFile::LoadStatus::Loaded);
    QCOMPARE(loaded.fields.size(), 16);
    QCOMPARE(problemOf(settings.save(loaded.fields)), QString());
    QCOMPARE(readFile(settings.path()), saved);
}

void TestSettings::loadsFieldsAsStored()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QVERIFY(writeFile(settings.path(), "a, \"b\"\r\n\r\ncaf\xe9\r\n\x80\x9f\r\n"));
    const QStringList fields = settings.load().fields;
    QCOMPARE(fields,
             (QStringList{"a, \"b\"", "", QString::fromUtf8("café"), QString::fromUtf8("€Ÿ")}));
}

void TestSettings::charactersOutsideTheSetBecomeQuestionMarks()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QCOMPARE(problemOf(settings.save({QString::fromUtf8("€ Ω 😀 é")})), QString());
    QCOMPARE(readFile(settings.path()),
             QByteArray("\x80 ? ? \xe9\r\n") + QByteArray(15, '\0').replace('\0', "\r\n"));
}

void TestSettings::lineBreaksInsideAFieldDoNotShiftTheFile()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QStringList fields(16, QStringLiteral("f"));
    fields[2] = QStringLiteral("4\n00\r\n1");
    QCOMPARE(problemOf(settings.save(fields)), QString());
    const QStringList back = settings.load().fields;
    QCOMPARE(back.size(), 16);
    QCOMPARE(back[2], QString("4 00 1"));
    QCOMPARE(back[3], QString("f"));
}

void TestSettings::endSavesAndCloses()
{
    const QByteArray old = lines(sixteen("old"));
    FormHarness h(&old);
    QCOMPARE(h.field(0)->text(), QString("old0"));
    QCOMPARE(h.field(15)->text(), QString("old15"));
    QVERIFY(h.showAndActivate());
    h.type(0, "500");
    h.type(16, "not saved");
    h.clickEnd();
    QVERIFY(!h.form().isVisible());
    QList<QByteArray> expected = sixteen("old");
    expected[0] = "500";
    QCOMPARE(h.settingsBytes(), lines(expected));
}

void TestSettings::closingWithoutEndWritesNothing()
{
    const QByteArray old = lines(sixteen("old"), "");
    FormHarness h(&old);
    QVERIFY(h.showAndActivate());
    h.type(0, "500");
    h.form().close();
    QCOMPARE(h.settingsBytes(), old);
}

void TestSettings::fullDiskKeepsTheOldFileAndTheWindow()
{
#ifdef Q_OS_WIN
    QSKIP("the small disk that fills up is a RAM disk mounted the Linux way");
#else
    if (geteuid() != 0)
        QSKIP("mounting a small RAM disk needs the superuser");
    const SmallDisk disk("12k"); // three pages
    if (!disk.mounted())
        QSKIP(qPrintable("could not mount a small RAM disk: " + disk.whyNot()));
    // Two pages for the old file leave one: a new file of two pages stops
    // half-way, where writing in place used to cut the old file short.
    QList<QByteArray> fields = sixteen(QByteArray(254, 'o'));
    const QByteArray old = lines(fields);
    QCOMPARE(old.size(), 4118);
    const QString path = QDir(disk.path()).filePath("Tubebridge.dat");
    QVERIFY(writeFile(path, old));
    FormHarness h{tb::SettingsFile(path)};
    QVERIFY(h.showAndLayOut());
    h.field(1)->setText(QString(254, 'n') + "1");

    h.clickEnd();
    QVERIFY(h.form().isVisible());
    QMessageBox* box = h.settingsMessage();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QString("The settings could not be saved."));
    QVERIFY2(box->informativeText().startsWith(
                 QStringLiteral("The disk that holds %1 is full. Free some space on it.")
                     .arg(disk.path())),
             qPrintable(box->informativeText()));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Tubebridge.dat"});
    QCOMPARE(h.field(1)->text(), QString(254, 'n') + "1");

    // Once there is room, "End" again saves and closes.
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);
    QVERIFY(disk.grow("64k"));
    h.clickEnd();
    QVERIFY(!h.form().isVisible());
    fields[1] = QByteArray(254, 'n') + "1";
    QCOMPARE(readFile(path), lines(fields));
#endif
}

void TestSettings::nameThatIsAFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QVERIFY(QDir().mkdir(path));
    FormHarness h{tb::SettingsFile(path)};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
    QVERIFY(h.showAndActivate());
    QTRY_VERIFY(h.settingsMessage() != nullptr);
    // It came after the layout, not before.
    QVERIFY(!h.form().findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    QMessageBox* box = h.settingsMessage();
    // It leaves the window usable: a click there must not leave it deaf.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(box->text(), QString("The settings file could not be read."));
    QCOMPARE(box->informativeText(),
             QStringLiteral("%1 is a folder, not a file.\n\nThe fields start empty. Move or "
                            "rename that folder before you press \"End\", so that your fields "
                            "can be saved there.")
                 .arg(path));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);

    // Shown once: not again when the window is shown again.
    h.form().hide();
    QVERIFY(h.showAndActivate());
    QTest::qWait(50);
    QCOMPARE(h.form().findChildren<QMessageBox*>().size(), 0);

    h.field(0)->setText("typed");
    h.clickEnd();
    QVERIFY(h.form().isVisible());
    box = h.settingsMessage();
    QVERIFY(box != nullptr);
    QVERIFY2(
        box->informativeText().startsWith(
            QStringLiteral("%1 is a folder, not a file. Move or rename that folder.").arg(path)),
        qPrintable(box->informativeText()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    // Pressed again, "End" shows its message in place of the first.
    h.clickEnd();
    QTRY_COMPARE(h.form().findChildren<QMessageBox*>().size(), 1);
    box = h.settingsMessage();

    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);
    QVERIFY(QDir().rmdir(path));
    h.clickEnd();
    QVERIFY(!h.form().isVisible());
    QCOMPARE(readFile(path).left(9), QByteArray("typed\r\n\r\n"));
}

void TestSettings::fileWhereAFolderIsNeeded()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("tubebridge"), "a file"));
    const tb::AtomicWriteResult saved =
        tb::SettingsFile(dir.filePath("tubebridge/Tubebridge.dat")).save({});
    QCOMPARE(problemOf(saved), QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    QCOMPARE(saved.folder, dir.filePath("tubebridge"));
}

void TestSettings::fewerLinesLeaveTheRestEmpty()
{
    const QByteArray three = "1\r\n2\r\n3";
    FormHarness h(&three);
    QCOMPARE(h.field(2)->text(), QString("3"));
    for (int i = 3; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
}

void TestSettings::saveKeepsTheFilesPermissions_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("private") << 0600 << 0600;
    QTest::newRow("readable by the group") << 0640 << 0640;
    // Its owner must be able to read it at the next start.
    QTest::newRow("read-only") << 0444 << 0644;
}

void TestSettings::saveKeepsTheFilesPermissions()
{
    QFETCH(int, before);
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QVERIFY(writeFile(path, "old\r\n"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(before)) == 0);
    QVERIFY(tb::SettingsFile(path).save({"new"}).ok());
    QVERIFY(readFile(path).startsWith("new\r\n"));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QFETCH(int, after);
    QCOMPARE(QString::number(st.st_mode & 07777, 8), QString::number(after, 8));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
