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
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
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

// A kind of thing, as the tests name it.
QString kindOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return QStringLiteral("regular file");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("named pipe");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("socket");
    if (S_ISCHR(st.st_mode))
        return QStringLiteral("character device %1:%2")
            .arg(major(st.st_rdev))
            .arg(minor(st.st_rdev));
    return QStringLiteral("mode %1").arg(st.st_mode, 0, 8);
}

// What stands at path; a link is named as such, with what it leads to.
QString nodeAt(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (!S_ISLNK(st.st_mode))
        return kindOf(st);
    if (::stat(name.constData(), &st) != 0)
        return errno == ELOOP ? QStringLiteral("link loop") : QStringLiteral("dangling link");
    return QStringLiteral("link to ") + kindOf(st);
}

QList<qsizetype> lengthsOf(const QStringList& texts)
{
    QList<qsizetype> lengths;
    for (const QString& text : texts)
        lengths << text.size();
    return lengths;
}

QString characterDeviceLike(const char* systemNode)
{
    struct stat st {};
    return ::stat(systemNode, &st) == 0 ? kindOf(st) : QStringLiteral("(no %1)").arg(systemNode);
}

// Makes what a row names at path; empty when that worked, else why not.
QString make(const QString& recipe, const QString& path, const QByteArray& content)
{
    const QByteArray name = QFile::encodeName(path);
    const auto failed = [&](const char* step) {
        return QStringLiteral("%1 %2: %3").arg(step, path, QString::fromLocal8Bit(strerror(errno)));
    };
    if (recipe == "named pipe")
        return ::mkfifo(name.constData(), 0600) == 0 ? QString() : failed("mkfifo");
    if (recipe.startsWith("/dev/")) {
        // A node with the numbers of the system's own, made in a scratch folder.
        struct stat st {};
        if (::stat(QFile::encodeName(recipe).constData(), &st) != 0)
            return failed("stat");
        return ::mknod(name.constData(), S_IFCHR | 0600, st.st_rdev) == 0 ? QString()
                                                                          : failed("mknod");
    }
    if (recipe == "socket") {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::size_t(name.size()) >= sizeof address.sun_path)
            return QStringLiteral("%1 is too long for a socket").arg(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const QString why = bound ? QString() : failed("bind");
        if (fd >= 0)
            ::close(fd);
        return why;
    }
    if (recipe == "link loop")
        return ::symlink(name.constData(), name.constData()) == 0 ? QString() : failed("symlink");
    // A regular file: its content, then as long as the recipe says, the rest
    // sparse (zero bytes, no line break) so that it takes no room on the disk.
    QFile file(path);
    const qint64 size = recipe == "200 MB" ? 200'000'000 : recipe == "4 GiB" ? qint64{4} << 30 : 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        (size > 0 && !file.resize(size)))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

} // namespace

Q_DECLARE_METATYPE(tb::SettingsFile::LoadStatus)
Q_DECLARE_METATYPE(tb::SpecialFile)

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
    void whateverStandsAtThePath_data();
    void whateverStandsAtThePath();
    void linkToAPipeKeptByEnd();
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

// Reading stops after sixteen lines of 32 767 characters with their CR LF:
// 16 x 32 769 = 524 304 bytes.
constexpr qsizetype Limit = 524'304;

void TestSettings::whateverStandsAtThePath_data()
{
    QTest::addColumn<QString>("recipe");
    QTest::addColumn<QByteArray>("content"); // of a regular file
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<tb::SettingsFile::LoadStatus>("status");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<tb::SpecialFile>("special"); // for the load and the save alike
    QTest::addColumn<QString>("after");           // what stands at the path after the save

    using Status = tb::SettingsFile::LoadStatus;
    const QStringList none;
    const QString zero = characterDeviceLike("/dev/zero");
    const QString null = characterDeviceLike("/dev/null");
    const QString x(Limit, QLatin1Char('x'));
    const QString zeros(Limit, QChar(0));
    const QByteArray megabyteOfX(1 << 20, 'x');
    const QByteArray widest = lines(QList<QByteArray>(16, QByteArray(32767, 'w')));
    QList<QByteArray> longLine = sixteen("l");
    longLine[0] = QByteArray(100'000, 'l');

    for (const bool link : {false, true}) {
        const auto row = [link](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(QString(link ? "a link to %1" : "%1").arg(name)));
        };
        const QString linkTo = link ? QStringLiteral("link to ") : QString();
        const QString saved = linkTo + "regular file";
        row("a named pipe") << "named pipe" << QByteArray() << link << Status::Unreadable << none
                            << tb::SpecialFile::NamedPipe << linkTo + "named pipe";
        row("a device like /dev/zero") << "/dev/zero" << QByteArray() << link << Status::Unreadable
                                       << none << tb::SpecialFile::Device << linkTo + zero;
        row("a device like /dev/null") << "/dev/null" << QByteArray() << link << Status::Unreadable
                                       << none << tb::SpecialFile::Device << linkTo + null;
        row("a socket") << "socket" << QByteArray() << link << Status::Unreadable << none
                        << tb::SpecialFile::Socket << linkTo + "socket";
        // Reading stops at the limit: the first line is cut there.
        row("200 MB without a line break") << "200 MB" << megabyteOfX << link << Status::Loaded
                                           << QStringList{x} << tb::SpecialFile::None << saved;
        row("a 4 GiB sparse file") << "4 GiB" << QByteArray() << link << Status::Loaded
                                   << QStringList{zeros} << tb::SpecialFile::None << saved;
        // Told of at start, the fields empty; the save makes a settings file
        // in place of the link at the path.
        row("a link loop") << "link loop" << QByteArray() << link << Status::Unreadable << none
                           << tb::SpecialFile::None << "regular file";
        // A settings file of the largest size that is read whole.
        row("sixteen lines of 32 767 characters")
            << "file" << widest << link << Status::Loaded
            << QStringList(16, QString(32767, QLatin1Char('w'))) << tb::SpecialFile::None << saved;
    }
    // Within the limit, a line of any length is a field, as it always was.
    QStringList longFields(16);
    for (int i = 0; i < 16; ++i)
        longFields[i] = QString::fromLatin1(longLine[i]);
    QTest::newRow("a line of 100 000 characters")
        << "file" << lines(longLine) << false << Status::Loaded << longFields
        << tb::SpecialFile::None << "regular file";
}

// The load returns at once with no more than the limit, and the save replaces
// only a regular file, or makes one where nothing is.
void TestSettings::whateverStandsAtThePath()
{
    QFETCH(QString, recipe);
    QFETCH(QByteArray, content);
    QFETCH(bool, throughLink);
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    const QString thing = throughLink ? dir.filePath("thing") : path;
    const QString problem = make(recipe, thing, content);
    if (!problem.isEmpty() && recipe.startsWith("/dev/") && geteuid() != 0)
        QSKIP(qPrintable("making a device node needs the superuser: " + problem));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    if (throughLink)
        QVERIFY(QFile::link("thing", path));

    const tb::SettingsFile settings(path);
    const tb::SettingsFile::LoadResult loaded = settings.load();
    QFETCH(tb::SpecialFile, special);
    QCOMPARE(loaded.special, special);
    QTEST(loaded.status, "status");
    QFETCH(QStringList, fields);
    QCOMPARE(lengthsOf(loaded.fields), lengthsOf(fields)); // readable where they are long
    QCOMPARE(loaded.fields, fields);

    const tb::AtomicWriteResult saved = settings.save({"saved"});
    QCOMPARE(saved.special, special);
    QCOMPARE(saved.ok(), special == tb::SpecialFile::None);
    QTEST(nodeAt(path), "after");
    if (special == tb::SpecialFile::None)
        QCOMPARE(readFile(path), lines({"saved"}) + QByteArray("\r\n").repeated(15));
    QCOMPARE(
        QDir(dir.path()).entryList({".Tubebridge.dat*", ".thing*"}, QDir::Files | QDir::Hidden),
        QStringList());
}

// The window on a link to a named pipe: a message at start, the fields
// empty; "End" leaves the pipe and the link alone and the window open, and
// saves once the link is gone.
void TestSettings::linkToAPipeKeptByEnd()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QCOMPARE(make("named pipe", dir.filePath("pipe"), {}), QString());
    QVERIFY(QFile::link("pipe", path));
    FormHarness h{tb::SettingsFile(path)};
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
    QVERIFY(h.form().isVisible());
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
    QVERIFY(!h.form().isVisible());
    QCOMPARE(readFile(path).left(9), QByteArray("typed\r\n\r\n"));
    QCOMPARE(nodeAt(dir.filePath("pipe")), QString("named pipe"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
