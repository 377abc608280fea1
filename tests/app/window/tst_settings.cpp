// The settings file as the window uses it: loaded at start, saved by "End",
// and every failure told in a message that leaves the window usable.
#include "CommandLine.h"
#include "EventOrder.h"
#include "FirstLayoutWatcher.h"
#include "SettingsFile.h"
#include "TestFiles.h"
#include "WindowHarness.h"
#ifndef Q_OS_WIN
#include "FileNodes.h"
#endif

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <cstring>
#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <unistd.h>
#endif

using tb::test::lines;
using tb::test::readFile;
using tb::test::sixteen;
using tb::test::writeFile;

#ifndef Q_OS_WIN
using tb::test::make;
using tb::test::nodeAt;
#endif

namespace {

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
    void endSavesAndCloses();
    void closingWithoutEndWritesNothing();
    void fullDiskKeepsTheOldFileAndTheWindow();
    void nameThatIsAFolder();
    void fewerLinesLeaveTheRestEmpty();
    void linkToAPipeKeptByEnd();
    void designWithoutItsFolder_data();
    void designWithoutItsFolder();
    void pasteBeyondWhatAFieldHolds();
    void designForm_data();
    void designForm();
};

// A field holds 1 048 576 characters, all that a start reads of a line: a
// longer paste keeps its start, and the text after it stays.
void TestSettings::pasteBeyondWhatAFieldHolds()
{
    WindowHarness h;
    QLineEdit* field = h.field(0);
    field->setText("<|>");
    field->setSelection(1, 1);
    QApplication::clipboard()->setText(QString(600'000, 'a') + QString(500'000, 'b'));
    field->paste();
    QCOMPARE(field->text().size(), 1'048'576);
    QCOMPARE(field->text().count('b'), 1'048'576 - 600'000 - 2);
    QVERIFY(field->text().startsWith("<a") && field->text().endsWith("b>"));
}

void TestSettings::endSavesAndCloses()
{
    const QByteArray old = lines(sixteen("old"));
    WindowHarness h(&old);
    QCOMPARE(h.field(0)->text(), QString("old0"));
    QCOMPARE(h.field(15)->text(), QString("old15"));
    QVERIFY(h.showAndActivate());
    h.type(0, "500");
    h.type(16, "not saved");
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QList<QByteArray> expected = sixteen("old");
    expected[0] = "500";
    QCOMPARE(h.settingsBytes(), lines(expected));
}

void TestSettings::closingWithoutEndWritesNothing()
{
    const QByteArray old = lines(sixteen("old"), "");
    WindowHarness h(&old);
    QVERIFY(h.showAndActivate());
    h.type(0, "500");
    h.window().close();
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
    WindowHarness h{tb::SettingsFile(path)};
    QVERIFY(h.showAndLayOut());
    h.field(1)->setText(QString(254, 'n') + "1");

    h.clickEnd();
    QVERIFY(h.window().isVisible());
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
    QVERIFY(!h.window().isVisible());
    fields[1] = QByteArray(254, 'n') + "1";
    QCOMPARE(readFile(path), lines(fields));
#endif
}

void TestSettings::nameThatIsAFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    const QString shown = QDir::toNativeSeparators(path); // as the messages show it
    QVERIFY(QDir().mkdir(path));
    WindowHarness h{tb::SettingsFile(path)};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
    QVERIFY(h.showAndActivate());
    QTRY_VERIFY(h.settingsMessage() != nullptr);
    // It came after the layout, not before.
    QVERIFY(h.window().isLaidOut());
    QMessageBox* box = h.settingsMessage();
    // It leaves the window usable: a click there must not leave it deaf.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(box->text(), QString("The settings file could not be read."));
    QCOMPARE(box->informativeText(),
             QStringLiteral("%1 is a folder, not a file.\n\nThe fields start empty. Move or "
                            "rename that folder before you press \"End\", so that your fields "
                            "can be saved there.")
                 .arg(shown));
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);

    // Shown once: not again when the window is shown again.
    h.window().hide();
    QVERIFY(h.showAndActivate());
    // Past what the showing sets off, a layout included, were one to come.
    QVERIFY(tb::test::handleTimersDueWithin(tb::FirstLayoutWatcher::SettleMs));
    QCOMPARE(h.window().findChildren<QMessageBox*>().size(), 0);

    h.field(0)->setText("typed");
    h.clickEnd();
    QVERIFY(h.window().isVisible());
    box = h.settingsMessage();
    QVERIFY(box != nullptr);
    QVERIFY2(
        box->informativeText().startsWith(
            QStringLiteral("%1 is a folder, not a file. Move or rename that folder.").arg(shown)),
        qPrintable(box->informativeText()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    // Pressed again, "End" shows its message in place of the first.
    h.clickEnd();
    QTRY_COMPARE(h.window().findChildren<QMessageBox*>().size(), 1);
    box = h.settingsMessage();

    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);
    QVERIFY(QDir().rmdir(path));
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QCOMPARE(readFile(path).left(9), QByteArray("typed\r\n\r\n"));
}

void TestSettings::fewerLinesLeaveTheRestEmpty()
{
    const QByteArray three = "1\r\n2\r\n3";
    WindowHarness h(&three);
    QCOMPARE(h.field(2)->text(), QString("3"));
    for (int i = 3; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
}

// The window on a link to a named pipe: a message at start, the fields
// empty; "End" leaves the pipe and the link alone and the window open, and
// saves once the link is gone.
void TestSettings::linkToAPipeKeptByEnd()
{
#ifdef Q_OS_WIN
    QSKIP("a named pipe in a folder is a POSIX thing");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QCOMPARE(make("named pipe", dir.filePath("pipe"), {}), QString());
    QVERIFY(QFile::link("pipe", path));
    WindowHarness h{tb::SettingsFile(path)};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), QString());
    QVERIFY(h.showAndLayOut());
    QTRY_VERIFY(h.settingsMessage() != nullptr);
    QCOMPARE(h.settingsMessage()->informativeText(),
             QStringLiteral("%1 is a named pipe, not a file.\n\nThe fields start empty. Move or "
                            "rename %1 before you press \"End\", so that your fields can be "
                            "saved there.")
                 .arg(path));
    QTest::keyClick(h.settingsMessage(), Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);

    h.field(0)->setText("typed");
    h.clickEnd();
    QVERIFY(h.window().isVisible());
    QMessageBox* box = h.settingsMessage();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QString("The settings could not be saved."));
    QCOMPARE(box->informativeText().section("\n\n", 0, 0),
             QStringLiteral("%1 is a named pipe, not a file. Saving over it would destroy it. "
                            "Move or rename %1.")
                 .arg(path));
    QCOMPARE(nodeAt(path), QString("link to named pipe"));
    QCOMPARE(h.field(0)->text(), QString("typed"));

    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(h.settingsMessage() == nullptr);
    QVERIFY(QFile::remove(path));
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QCOMPARE(readFile(path).left(9), QByteArray("typed\r\n\r\n"));
    QCOMPARE(nodeAt(dir.filePath("pipe")), QString("named pipe"));
#endif
}

void TestSettings::designWithoutItsFolder_data()
{
    QTest::addColumn<bool>("fileInTheWay"); // a file where its folder should be, or nothing
    QTest::addColumn<QString>("atStart");   // the start-up message's heading, if any
    QTest::addColumn<QString>("cause");     // of the failed save; %1 the folder
    QTest::newRow("no folder") << false << QString()
                               << "The folder %1 does not exist. Make that folder.";
    // Windows finds no file behind a file (a first run), where POSIX names it.
#ifdef Q_OS_WIN
    const QString unread;
#else
    const QString unread = "The design file could not be read.";
#endif
    QTest::newRow("a file in the folder's place")
        << true << unread << "%1 is a file where a folder is needed. Move or rename that file.";
}

// A design's messages name the design, and "End" never makes its folder.
void TestSettings::designWithoutItsFolder()
{
    QFETCH(bool, fileInTheWay);
    QFETCH(QString, atStart);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const QString folder = dir.filePath("designs");
    const QString path = folder + "/push-pull.tubebridge";
    QVERIFY(!fileInTheWay || writeFile(folder, "in the way"));
    WindowHarness h{tb::SettingsFile::forDesign(path)};
    QVERIFY(h.showAndLayOut());
    if (!atStart.isEmpty()) {
        QTRY_VERIFY(h.settingsMessage() != nullptr);
        QCOMPARE(h.settingsMessage()->text(), atStart);
        QTest::keyClick(h.settingsMessage(), Qt::Key_Return);
        QTRY_VERIFY(h.settingsMessage() == nullptr);
    }
    h.clickEnd();
    QVERIFY(h.window().isVisible());
    QVERIFY(h.settingsMessage() != nullptr);
    QCOMPARE(h.settingsMessage()->text(), QString("The design could not be saved."));
    QCOMPARE(h.settingsMessage()->informativeText(),
             cause.arg(QDir::toNativeSeparators(folder)) +
                 QStringLiteral("\n\nThe design file %1 is as it was before, your fields are "
                                "kept, and the program stays open: press \"End\" again when "
                                "that is done.")
                     .arg(QDir::toNativeSeparators(path)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

// Which files named as designs are refused, and the words that say why.
void TestSettings::designForm_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    const QString refused = "notes.txt is not a Tubebridge design: ";
    const QString binary = refused + "it holds binary data (a NUL byte)";
    QList<QByteArray> nul = sixteen("n"), longLine = sixteen("l"), notes;
    nul[7] = QByteArray("4") + '\0' + "00";
    longLine[2] = QByteArray(1'048'577, '7');
    for (int i = 1; i <= 30; ++i)
        notes << "note " + QByteArray::number(i);

    QTest::newRow("a 30-line text") << lines(notes, "\n") << refused + "it has 30 lines";
    QTest::newRow("a binary file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << binary;
    QTest::newRow("a 17-line file") << lines(sixteen("s") << "s16") << refused + "it has 17 lines";
    QTest::newRow("an empty 17th line") << lines(sixteen("e")) + "\r\n"
                                        << refused + "it has 17 lines";
    QTest::newRow("a NUL in a field") << lines(nul) << binary;
    QTest::newRow("a line longer than a field")
        << lines(longLine)
        << refused + "its line 3 is longer than a field holds (1048576 characters)";
    QTest::newRow("larger than 16 full fields")
        << QByteArray(16'777'249, '\n')
        << refused + "it is larger than 16777248 bytes, the most a design holds";
    QTest::newRow("sixteen lines") << lines(sixteen("d")) << QString();
    QTest::newRow("sixteen lines, the last unended") << lines(sixteen("d"), "") << QString();
}

void TestSettings::designForm()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const auto back = qScopeGuard([was = QDir::currentPath()] { QDir::setCurrent(was); });
    QVERIFY(QDir::setCurrent(dir.path())); // the name as typed is the name told
    QVERIFY(writeFile("notes.txt", content));
    QTEST(tb::designFileProblem("notes.txt"), "problem");
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
