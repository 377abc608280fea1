#include "FormHarness.h"
#include "SettingsFile.h"

#include <QDir>
#include <QMessageBox>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

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

QMessageBox* settingsMessage(tb::Form1& form)
{
    return form.findChild<QMessageBox*>(QStringLiteral("SettingsMessage"));
}

// Makes every write beyond a few bytes fail, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

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
    void failedSaveKeepsTheOldFileAndTheWindow();
    void unwritableFolderKeepsTheOldFile();
    void fewerLinesLeaveTheRestEmpty();
    void unreadableFileOpensEmptyWithAMessage();
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
    {
        QFile f(settings.path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    const tb::SettingsFile::LoadResult loaded = settings.load();
    QCOMPARE(loaded.status, tb::SettingsFile::LoadStatus::Loaded);
    QCOMPARE(loaded.fields.size(), 16);
    QCOMPARE(settings.save(loaded.fields), QString());
    QFile f(settings.path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), saved);
}

void TestSettings::loadsFieldsAsStored()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QFile f(settings.path());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("a, \"b\"\r\n\r\ncaf\xe9\r\n\x80\x9f\r\n");
    f.close();
    const QStringList fields = settings.load().fields;
    QCOMPARE(fields,
             (QStringList{"a, \"b\"", "", QString::fromUtf8("café"), QString::fromUtf8("€Ÿ")}));
}

void TestSettings::charactersOutsideTheSetBecomeQuestionMarks()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QCOMPARE(settings.save({QString::fromUtf8("€ Ω 😀 é")}), QString());
    QFile f(settings.path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("\x80 ? ? \xe9\r\n") + QByteArray(15, '\0').replace('\0', "\r\n"));
}

void TestSettings::lineBreaksInsideAFieldDoNotShiftTheFile()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QStringList fields(16, QStringLiteral("f"));
    fields[2] = QStringLiteral("4\n00\r\n1");
    QCOMPARE(settings.save(fields), QString());
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

void TestSettings::failedSaveKeepsTheOldFileAndTheWindow()
{
    const QByteArray old = lines(sixteen("old"));
    FormHarness h(&old);
    QVERIFY(h.showAndActivate());
    h.type(0, "an edit worth keeping");
    {
        const FileSizeLimit diskFull(8);
        h.clickEnd();
    }
    QVERIFY(h.form().isVisible());
    QMessageBox* box = settingsMessage(h.form());
    QVERIFY(box != nullptr);
    QVERIFY(box->text().contains("could not be saved"));
    QVERIFY(box->informativeText().contains(QDir::toNativeSeparators(h.settingsPath())));
    QCOMPARE(h.settingsBytes(), old);
    QCOMPARE(h.field(0)->text(), QString("an edit worth keeping"));

    // Once the cause is gone, "End" again saves and closes.
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(settingsMessage(h.form()) == nullptr);
    h.clickEnd();
    QVERIFY(!h.form().isVisible());
    QVERIFY(h.settingsBytes().startsWith("an edit worth keeping\r\nold1\r\n"));
}

void TestSettings::unwritableFolderKeepsTheOldFile()
{
    if (geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QCOMPARE(settings.save({"old"}), QString());
    QFile::setPermissions(settings.path(), QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString problem = settings.save({"new"});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!problem.isEmpty());
    QCOMPARE(settings.load().fields.value(0), QString("old"));
}

void TestSettings::fewerLinesLeaveTheRestEmpty()
{
    const QByteArray three = "1\r\n2\r\n3";
    FormHarness h(&three);
    QCOMPARE(h.field(2)->text(), QString("3"));
    for (int i = 3; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
}

void TestSettings::unreadableFileOpensEmptyWithAMessage()
{
    FormHarness h;
    QVERIFY(QDir().mkdir(h.settingsPath())); // a folder where the file should be
    tb::Form1 form{tb::SettingsFile(h.settingsPath())};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i))->text(), QString());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QMessageBox* box = settingsMessage(form);
    QVERIFY(box != nullptr);
    QVERIFY(box->text().contains("could not be read"));
    QVERIFY(box->informativeText().contains(QDir::toNativeSeparators(h.settingsPath())));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
