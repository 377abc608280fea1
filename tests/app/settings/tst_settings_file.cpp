// The settings file itself: what is read, what is written, and what a save
// does to whatever stands at its path.
#include "SettingsFile.h"

#include "FileNodes.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using tb::test::characterDeviceLike;
#endif
using tb::test::lines;
using tb::test::make;
using tb::test::nodeAt;
using tb::test::readFile;
using tb::test::sixteen;
using tb::test::writeFile;

namespace {

// Empty when the save worked, else the system's words for why not.
QString problemOf(const tb::AtomicWriteResult& saved)
{
    return saved.ok() ? QString() : QString::fromLocal8Bit(std::strerror(saved.error));
}

QList<qsizetype> lengthsOf(const QStringList& texts)
{
    QList<qsizetype> lengths;
    for (const QString& text : texts)
        lengths << text.size();
    return lengths;
}

// The settings probe beside this test (settings_probe.cpp).
QString probeProgram()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + "/tubebridge_settings_probe.exe";
#else
    return QCoreApplication::applicationDirPath() + "/tubebridge_settings_probe";
#endif
}

#ifndef Q_OS_WIN
// The probe run by command: its output, and what it wrote to stderr in
// errors (a tracer's log).
QString probe(QStringList command, const QString& what, const QString& path,
              QByteArray* errors = nullptr)
{
    QProcess p;
    p.start(command.takeFirst(), command << probeProgram() << what << path);
    p.waitForFinished(-1);
    if (errors != nullptr)
        *errors = p.readAllStandardError();
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Gives path to a user and, unless it is a link, a mode.
bool giveTo(const QString& path, const QString& user, int mode = -1)
{
    const passwd* pw = ::getpwnam(qPrintable(user));
    const QByteArray name = QFile::encodeName(path);
    return pw != nullptr && ::lchown(name.constData(), pw->pw_uid, pw->pw_gid) == 0 &&
           (mode < 0 || ::chmod(name.constData(), mode_t(mode)) == 0);
}
#endif

// What a save did to the files, as a tracer saw it, one step a line, each
// file by its role: temp (the new file), file (the settings file), folder.
// strace's lines on POSIX, with -y; Wine's relay trace on Windows, where the
// new file's handle is known by its number.
QStringList stepsOf(const QByteArray& log, const QString& folder)
{
    const QString f =
        QRegularExpression::escape(QDir::toNativeSeparators(folder).replace("\\", "\\\\"));
    QString text = QString::fromLocal8Bit(log)
                       .replace(QRegularExpression(f + R"([/\\]+\.Tubebridge\.dat\.\w+)"), "temp")
                       .replace(QRegularExpression(f + R"([/\\]+Tubebridge\.dat)"), "file")
                       .replace(QRegularExpression(f), "folder");
    const auto handle =
        QRegularExpression(R"(L"temp".*?Ret  KERNEL32\.CreateFileW\(\) retval=(\w+))",
                           QRegularExpression::DotMatchesEverythingOption)
            .match(text);
    if (handle.hasMatch())
        text.replace("(" + handle.captured(1), "(<temp>");
    static const QHash<QString, QString> names{
        {"openat", "create"},     {"CreateFileW", "create"}, {"write", "write"},
        {"WriteFile", "write"},   {"fchown", "chown"},       {"fchmod", "chmod"},
        {"fsync", "sync"},        {"fdatasync", "sync"},     {"FlushFileBuffers", "sync"},
        {"rename", "rename"},     {"renameat", "rename"},    {"renameat2", "rename"},
        {"MoveFileExW", "rename"}};
    static const QRegularExpression call(R"(^(?:\[pid +\d+\] |\w+:Call KERNEL32\.)?(\w+)\((.*)\))");
    static const QRegularExpression role(R"([<"](temp|file|folder)[>"])");
    static const QRegularExpression mode(R"(, (0[0-7]+)\) += )");
    QStringList steps;
    for (const QString& line : text.split('\n')) {
        const auto c = call.match(line);
        QStringList step{names.value(c.captured(1))};
        for (auto r = role.globalMatch(c.captured(2)); r.hasNext();)
            step << r.next().captured(1);
        // Of the files opened, only the new one is made.
        if (step.size() < 2 || step.first().isEmpty() || (step[0] == "create" && step[1] != "temp"))
            continue;
        const QString joined = (step << mode.match(line).captured(1)).join(' ').trimmed();
        if (steps.isEmpty() || steps.last() != joined)
            steps << joined;
    }
    return steps;
}

} // namespace

Q_DECLARE_METATYPE(tb::SettingsFile::LoadStatus)
Q_DECLARE_METATYPE(tb::SpecialFile)

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void loadsFieldsAsStored();
    void charactersOutsideTheSetBecomeQuestionMarks();
    void lineBreaksInsideAFieldDoNotShiftTheFile();
    void fileWhereAFolderIsNeeded();
    void saveKeepsTheFilesPermissions_data();
    void saveKeepsTheFilesPermissions();
    void readOnlyFileIsReplaced();
    void whateverStandsAtThePath_data();
    void whateverStandsAtThePath();
    void linksAndFoldersOfOtherUsers_data();
    void linksAndFoldersOfOtherUsers();
    void saveSeenFromOutside_data();
    void saveSeenFromOutside();
    void installedProgramFolders_data();
    void installedProgramFolders();
    void noFolderForTheUsersSettings_data();
    void noFolderForTheUsersSettings();
    void whileAnotherProgramHoldsTheFile_data();
    void whileAnotherProgramHoldsTheFile();

private:
    QTemporaryDir m_scratch;
};

void TestSettingsFile::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("folder"); // where in a scratch folder, when not in it

    QList<QByteArray> awkward = sixteen("v");
    awkward[0] = " 400 , \"volts\" ";
    awkward[3] = "";
    awkward[9] = "caf\xe9 \x80 \x81\x8d\x8f\x90\x9d \xff"; // above 127, unassigned bytes too
    QTest::newRow("blanks, commas, quotes, empty, high bytes")
        << lines(awkward) << lines(awkward) << QString();

    QTest::newRow("last line without CR LF")
        << lines(sixteen("x"), "") << lines(sixteen("x")) << QString();

    QList<QByteArray> seventeen = sixteen("s");
    seventeen << "extra";
    QTest::newRow("seventeen lines in, sixteen out")
        << lines(seventeen) << lines(sixteen("s")) << QString();

    QByteArray unixEnds = lines(sixteen("u"));
    unixEnds.replace("\r\n", "\n");
    QTest::newRow("bare line feeds") << unixEnds << lines(sixteen("u")) << QString();

    QByteArray macEnds = lines(sixteen("m"));
    macEnds.replace("\r\n", "\r");
    QTest::newRow("bare carriage returns") << macEnds << lines(sixteen("m")) << QString();

    QList<QByteArray> stray = sixteen("c");
    stray[12] = "-30\r0030"; // a stray CR splits the line; the rest shifts down
    QList<QByteArray> shifted = sixteen("c");
    shifted.insert(12, "-30");
    shifted[13] = "0030";
    QTest::newRow("stray carriage return")
        << lines(stray) << lines(shifted.mid(0, 16)) << QString();

    // Read in pieces of 64 KiB: the CR ends one, the LF starts the next.
    QList<QByteArray> across = sixteen("a");
    across[0] = QByteArray(65'535, 'a');
    QTest::newRow("CR LF across a piece") << lines(across) << lines(across) << QString();

    // Past Windows' 260 characters.
    QTest::newRow("a path of 300 characters") << lines(sixteen("p")) << lines(sixteen("p"))
                                              << QStringList(10, QString(29, 'f')).join('/');
}

void TestSettingsFile::roundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(folder.isEmpty() ? "." : folder));
    const tb::SettingsFile settings(QDir(dir.filePath(folder)).filePath("Tubebridge.dat"));
    QVERIFY(writeFile(settings.path(), file));
    const tb::SettingsFile::LoadResult loaded = settings.load();
    QCOMPARE(loaded.status, tb::SettingsFile::LoadStatus::Loaded);
    QCOMPARE(loaded.fields.size(), 16);
    QCOMPARE(problemOf(settings.save(loaded.fields)), QString());
    QCOMPARE(readFile(settings.path()), saved);
}

void TestSettingsFile::loadsFieldsAsStored()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QVERIFY(writeFile(settings.path(), "a, \"b\"\r\n\r\ncaf\xe9\r\n\x80\x9f\r\n"));
    const QStringList fields = settings.load().fields;
    QCOMPARE(fields,
             (QStringList{"a, \"b\"", "", QString::fromUtf8("café"), QString::fromUtf8("€Ÿ")}));
}

void TestSettingsFile::charactersOutsideTheSetBecomeQuestionMarks()
{
    QTemporaryDir dir;
    const tb::SettingsFile settings(dir.filePath("Tubebridge.dat"));
    QCOMPARE(problemOf(settings.save({QString::fromUtf8("€ Ω 😀 é")})), QString());
    QCOMPARE(readFile(settings.path()),
             QByteArray("\x80 ? ? \xe9\r\n") + QByteArray(15, '\0').replace('\0', "\r\n"));
}

void TestSettingsFile::lineBreaksInsideAFieldDoNotShiftTheFile()
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

void TestSettingsFile::fileWhereAFolderIsNeeded()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("tubebridge"), "a file"));
    const tb::AtomicWriteResult saved =
        tb::SettingsFile(dir.filePath("tubebridge/Tubebridge.dat")).save({});
    QCOMPARE(problemOf(saved), QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    QCOMPARE(saved.folder, dir.filePath("tubebridge"));
}

void TestSettingsFile::saveKeepsTheFilesPermissions_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("owner"); // another user's, saved by the superuser; or yours
    QTest::newRow("private") << 0600 << 0600 << "";
    QTest::newRow("readable by the group") << 0640 << 0640 << "";
    // Its owner must be able to read it at the next start.
    QTest::newRow("read-only") << 0444 << 0644 << "";
    QTest::newRow("another user's, saved by the superuser") << 0640 << 0640 << "daemon";
}

void TestSettingsFile::saveKeepsTheFilesPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("a file's permission bits are POSIX's; Windows' read-only attribute is "
          "readOnlyFileIsReplaced's");
#else
    QFETCH(int, before);
    QFETCH(QString, owner);
    if (!owner.isEmpty() && geteuid() != 0)
        QSKIP("another user's file is made by the superuser, as CI runs");
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QVERIFY(writeFile(path, "old\r\n"));
    QVERIFY(owner.isEmpty() ? ::chmod(QFile::encodeName(path).constData(), mode_t(before)) == 0
                            : giveTo(path, owner, before));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    const QString ownedBefore = QStringLiteral("%1:%2").arg(st.st_uid).arg(st.st_gid);
    QVERIFY(tb::SettingsFile(path).save({"new"}).ok());
    QVERIFY(readFile(path).startsWith("new\r\n"));
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QFETCH(int, after);
    QCOMPARE(QString::number(st.st_mode & 07777, 8), QString::number(after, 8));
    QCOMPARE(QStringLiteral("%1:%2").arg(st.st_uid).arg(st.st_gid), ownedBefore);
#endif
}

// A file its owner made read-only (on Windows the read-only attribute) is
// replaced like any other, and the new one may be written the next time.
void TestSettingsFile::readOnlyFileIsReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    QVERIFY(writeFile(path, "old\r\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
    QVERIFY(!(QFile::permissions(path) & QFile::WriteOwner));
    QCOMPARE(problemOf(tb::SettingsFile(path).save({"new"})), QString());
    QCOMPARE(readFile(path), lines({"new"}) + QByteArray("\r\n").repeated(15));
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
}

// A field holds 1 MiB of characters, one byte each in the file: a longer
// line is cut there on its own.
constexpr qsizetype FieldLength = 1'048'576;

void TestSettingsFile::whateverStandsAtThePath_data()
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
    const QString x(FieldLength, QLatin1Char('x'));
    const QString zeros(FieldLength, QChar(0));
    const QByteArray megabyteOfX(1 << 20, 'x');
    const QByteArray widest = lines(QList<QByteArray>(16, QByteArray(FieldLength, 'w')));
    const QStringList widestFields(16, QString(FieldLength, QLatin1Char('w')));
    QList<QByteArray> longLine = sixteen("l");
    longLine[0] = QByteArray(600'000, 'l');

#ifdef Q_OS_WIN
    // A device stands in every folder under its reserved name (NUL, CON,
    // ...). Links are left out here: Wine, which these tests run under, makes
    // none. Named pipes and sockets never stand in a Windows folder.
    QTest::newRow("the device NUL") << "NUL" << QByteArray() << false << Status::Unreadable << none
                                    << tb::SpecialFile::Device << "device";
    QTest::newRow("200 MB without a line break")
        << "200 MB" << megabyteOfX << false << Status::Loaded << QStringList{x}
        << tb::SpecialFile::None << "regular file";
    QTest::newRow("a 4 GiB sparse file")
        << "4 GiB" << QByteArray() << false << Status::Loaded << QStringList{zeros}
        << tb::SpecialFile::None << "regular file";
    QTest::newRow("sixteen full fields") << "file" << widest << false << Status::Loaded
                                         << widestFields << tb::SpecialFile::None << "regular file";
#else
    const QString zero = characterDeviceLike("/dev/zero");
    const QString null = characterDeviceLike("/dev/null");
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
        // The first line is cut at a field's length; reading stops soon after.
        row("200 MB without a line break") << "200 MB" << megabyteOfX << link << Status::Loaded
                                           << QStringList{x} << tb::SpecialFile::None << saved;
        row("a 4 GiB sparse file") << "4 GiB" << QByteArray() << link << Status::Loaded
                                   << QStringList{zeros} << tb::SpecialFile::None << saved;
        // Told of at start, the fields empty; the save makes a settings file
        // in place of the link at the path.
        row("a link loop") << "link loop" << QByteArray() << link << Status::Unreadable << none
                           << tb::SpecialFile::None << "regular file";
        // The largest settings file a save writes is read whole.
        row("sixteen full fields") << "file" << widest << link << Status::Loaded << widestFields
                                   << tb::SpecialFile::None << saved;
    }
#endif
    // A long line costs none after it: the fifteen come whole.
    QStringList longFields(16);
    for (int i = 0; i < 16; ++i)
        longFields[i] = QString::fromLatin1(longLine[i]);
    QTest::newRow("a line of 600 000 characters")
        << "file" << lines(longLine) << false << Status::Loaded << longFields
        << tb::SpecialFile::None << "regular file";
    longLine[0] = QByteArray(FieldLength + 1000, 'l');
    longFields[0] = QString(FieldLength, QLatin1Char('l'));
    QTest::newRow("a line longer than a field")
        << "file" << lines(longLine) << false << Status::Loaded << longFields
        << tb::SpecialFile::None << "regular file";
}

// The load returns at once with no more than the limit, and the save replaces
// only a regular file, or makes one where nothing is.
void TestSettingsFile::whateverStandsAtThePath()
{
    QFETCH(QString, recipe);
    QFETCH(QByteArray, content);
    QFETCH(bool, throughLink);
    QTemporaryDir dir;
    // On Windows a device is reached by its reserved name, in any folder.
    const QString path = dir.filePath(recipe == "NUL" ? "NUL" : "Tubebridge.dat");
    const QString thing = throughLink ? dir.filePath("thing") : path;
    const QString problem = make(recipe, thing, content);
#ifndef Q_OS_WIN
    if (!problem.isEmpty() && recipe.startsWith("/dev/") && geteuid() != 0)
        QSKIP(qPrintable("making a device node needs the superuser: " + problem));
#endif
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
    QCOMPARE(QDir(dir.path())
                 .entryList({".Tubebridge.dat*", ".thing*", ".NUL*"}, QDir::Files | QDir::Hidden),
             QStringList());
}

// As nobody (unprivileged.sh, as CI runs as root), whose file is
// /home/mine.dat; daemon is another user. The settings file is in /shared;
// /locked is a folder only the superuser may open, /sticky one anyone may
// write, as /tmp. What comes of it: the probe's load and save, your file, and
// what stands at the path.
void TestSettingsFile::linksAndFoldersOfOtherUsers_data()
{
    QTest::addColumn<QString>("folderOwner");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("linkOwner"); // of a link at the path; none when empty
    QTest::addColumn<QString>("linkTo");
    QTest::addColumn<QStringList>("outcome");
    QTest::addColumn<QStringList>("further"); // links: "owner link target", in /sticky say
    QTest::addColumn<QString>("path");
    const QString link = "link to regular file";
    const QString foreign = "a link made by another user";
    const auto refused = [](int error, const char* folder) {
        return QString::fromLocal8Bit(std::strerror(error)) + " (at " + folder + ")";
    };
    const QStringList followed{"read mine0", "saved", "yours saved", link};
    const QString mine = "/home/mine.dat";
    const QStringList none;
    const QString shared = "/shared/Tubebridge.dat";
    QTest::newRow("another user's link in a sticky shared folder")
        << "root" << 01777 << "daemon" << mine
        << QStringList{foreign, refused(EPERM, "/shared"), "yours kept", link} << none << shared;
    QTest::newRow("another user's link in a shared folder")
        << "root" << 0777 << "daemon" << mine
        << QStringList{foreign, "saved", "yours kept", "regular file"} << none << shared;
    QTest::newRow("your own link in your own folder")
        << "nobody" << 0700 << "nobody" << mine << followed << none << shared;
    QTest::newRow("the folder's owner's link")
        << "daemon" << 0777 << "daemon" << mine << followed << none << shared;
    QTest::newRow("a link in a folder only its owner may write")
        << "daemon" << 0755 << "root" << mine << followed << none << shared;
    // Told by its cause, never taken for a first run; nothing written.
    const QString locked = refused(EACCES, "/locked");
    QTest::newRow("your own link into a folder you may not open")
        << "nobody" << 0700 << "nobody"
        << "/locked/Tubebridge.dat" << QStringList{locked, locked, "yours kept", link} << none
        << shared;
    const QString sharedRefused = refused(EACCES, "/shared");
    QTest::newRow("a settings folder you may not open")
        << "root" << 0700 << ""
        << "" << QStringList{sharedRefused, sharedRefused, "yours kept", "nothing"} << none
        << shared;
    // Another user's link further on is not looked through either: the
    // save replaces your link at the path. On the way to the path's own
    // folder, nothing is saved.
    const QString daemonsToMine = "daemon /sticky/Tubebridge.dat /home/mine.dat";
    QTest::newRow("your link on to another user's link in a sticky folder")
        << "nobody" << 0700 << "nobody"
        << "/sticky/Tubebridge.dat"
        << QStringList{foreign + " (at /sticky/Tubebridge.dat)", "saved", "yours kept",
                       "regular file"}
        << QStringList{daemonsToMine} << shared;
    QTest::newRow("your link through another user's link to a folder")
        << "nobody" << 0700 << "nobody"
        << "/sticky/home/mine.dat"
        << QStringList{foreign + " (at /sticky/home)", "saved", "yours kept", "regular file"}
        << QStringList{"daemon /sticky/home /home"} << shared;
    const QString behind = foreign + " (at /sticky/home)";
    QTest::newRow("your link to a folder that holds another user's link to a folder")
        << "nobody" << 0700 << ""
        << "" << QStringList{behind, behind, "yours kept", "regular file"}
        << QStringList{"nobody /shared/sticky /sticky", "daemon /sticky/home /home"}
        << "/shared/sticky/home/mine.dat";
    // A chain of trusted links is followed to its end, a missing file made
    // there; a relative link is read from its own folder.
    QTest::newRow("a chain of two of your links")
        << "nobody" << 0700 << "nobody"
        << "/sticky/next" << followed << QStringList{"nobody /sticky/next ../home/mine.dat"}
        << shared;
    QTest::newRow("a chain of two of your links to a missing file")
        << "nobody" << 0700 << "nobody"
        << "/sticky/next" << QStringList{"missing", "saved", "yours kept", link}
        << QStringList{"nobody /sticky/next ../home/new/Tubebridge.dat"} << shared;
}

void TestSettingsFile::linksAndFoldersOfOtherUsers()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX users and permissions");
#else
    if (geteuid() != 0)
        QSKIP("another user's link is made by the superuser, as CI runs");
    QFETCH(QString, folderOwner);
    QFETCH(int, folderMode);
    QFETCH(QString, linkOwner);
    QFETCH(QString, linkTo);
    QFETCH(QStringList, further);
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath(); // as links are followed
    const auto at = [&root](const QString& name) { return root + name; };
    const QByteArray mine = lines(sixteen("mine"));
    QVERIFY(QDir().mkdir(at("/home")) && QDir().mkdir(at("/shared")) &&
            QDir().mkdir(at("/locked")) && QDir().mkdir(at("/sticky")));
    QVERIFY(writeFile(at("/home/mine.dat"), mine) && writeFile(at("/locked/Tubebridge.dat"), ""));
    QVERIFY(giveTo(root, "root", 0755) && giveTo(at("/locked"), "root", 0700) &&
            giveTo(at("/home"), "nobody", 0700) && giveTo(at("/home/mine.dat"), "nobody", 0600) &&
            giveTo(at("/sticky"), "root", 01777));
    for (const QString& made : further) {
        const QStringList parts = made.split(' '); // owner, link, target
        const QString target = parts[2].startsWith('/') ? at(parts[2]) : parts[2];
        QVERIFY(QFile::link(target, at(parts[1])) && giveTo(at(parts[1]), parts[0]));
    }
    QFETCH(QString, path);
    path = at(path);
    if (!linkOwner.isEmpty())
        QVERIFY(QFile::link(at(linkTo), path) && giveTo(path, linkOwner));
    QVERIFY(giveTo(at("/shared"), folderOwner, folderMode));

    const QStringList asNobody{"bash", TUBEBRIDGE_UNPRIVILEGED};
    QStringList outcome{probe(asNobody, "load", path), probe(asNobody, "save", path)};
    const QByteArray yours = readFile(at("/home/mine.dat"));
    outcome << (yours == mine                                                 ? "yours kept"
                : yours == lines({"saved"}) + QByteArray("\r\n").repeated(15) ? "yours saved"
                                                                              : "yours: " + yours)
            << nodeAt(path);
    QTEST(outcome.replaceInStrings(root, ""), "outcome");
#endif
}

// The order that keeps the old file or the whole new one after a power
// cut: the new file written and flushed to the disk before it takes the
// old one's place. On POSIX it is made private, or as private as the old
// one, from the start, and the folder is flushed too (on Windows the
// replacement writes through).
void TestSettingsFile::saveSeenFromOutside_data()
{
    QTest::addColumn<QString>("oldOwner"); // none when empty
    QTest::addColumn<QStringList>("steps");
#ifdef Q_OS_WIN
    QTest::newRow("a new file") << ""
                                << QStringList{"create temp", "write temp", "sync temp",
                                               "rename temp file"};
#else
    QTest::newRow("a new file") << ""
                                << QStringList{"create temp 0666", "write temp", "sync temp",
                                               "rename temp file", "sync folder"};
    // The owner first: a change of owner clears the set-ID bits.
    QTest::newRow("another user's private file, saved by the superuser")
        << "daemon"
        << QStringList{"create temp 0600", "chown temp",       "chmod temp 0600", "write temp",
                       "sync temp",        "rename temp file", "sync folder"};
#endif
}

void TestSettingsFile::saveSeenFromOutside()
{
    QFETCH(QString, oldOwner);
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const QString path = folder + "/Tubebridge.dat";
#if defined(Q_OS_WIN) && !defined(TUBEBRIDGE_WINE)
    QSKIP("the trace is Wine's");
#elif defined(Q_OS_WIN)
    // Wine writes a program's trace to its own standard error, which no
    // Windows program reads, and gives no handle to wait for a Linux
    // program: a shell below Wine runs the probe, keeps the trace in a file
    // and names it when it is whole.
    const QTemporaryDir linux("Z:/tmp/tubebridge-trace-XXXXXX");
    QVERIFY(QProcess::startDetached(
        "Z:/bin/sh",
        {"-c", R"(WINEDEBUG=+relay "$0" "$1" save "$2" 2>"$3~" >/dev/null; mv "$3~" "$3")",
         TUBEBRIDGE_WINE, probeProgram(), path, linux.path().mid(2) + "/trace"}));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(linux.filePath("trace")), 120'000);
    const QByteArray trace = readFile(linux.filePath("trace"));
#else
    const QStringList tracer{QStandardPaths::findExecutable("strace"), "-f", "-y", "-e",
                             "trace=openat,write,fchown,fchmod,fsync,fdatasync,rename,renameat,"
                             "renameat2"};
    if (tracer.first().isEmpty())
        QSKIP("no strace (scripts/test.sh installs it)");
    if (!oldOwner.isEmpty() && geteuid() != 0)
        QSKIP("another user's file is made by the superuser, as CI runs");
    if (!oldOwner.isEmpty())
        QVERIFY(writeFile(path, "old\r\n") && giveTo(path, oldOwner, 0600));
    QByteArray trace;
    QCOMPARE(probe(tracer, "save", path, &trace), QString("saved"));
#endif
    QTEST(stepsOf(trace, folder), "steps");
}

void TestSettingsFile::installedProgramFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("beside");
#ifndef Q_OS_WIN
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin", "/usr/local/sbin",
                               "/usr/games", "/usr/lib"})
        QTest::newRow(folder) << folder << false;
    QTest::newRow("a link to /usr/local/bin") << "bin" << false;
    QTest::newRow("a folder of yours named usr/bin") << "usr/bin" << true;
#endif
}

// Whatever the permissions say (the superuser may write anywhere), a
// program in a system folder was installed: its settings are the user's own.
void TestSettingsFile::installedProgramFolders()
{
#ifdef Q_OS_WIN
    QSKIP("Windows' installed programs are under Program Files: test_settings_place_windows");
#endif
    QFETCH(QString, folder);
    QVERIFY(QDir(m_scratch.path()).mkpath("usr/bin"));
    QFile::link("/usr/local/bin", m_scratch.filePath("bin"));
    QTEST(tb::settingsBesideProgram(QDir(m_scratch.path()).filePath(folder)), "beside");
}

void TestSettingsFile::noFolderForTheUsersSettings_data()
{
    QTest::addColumn<QString>("configHome");
    QTest::newRow("none") << QString();
    QTest::newRow("a relative one") << "relative/config";
}

// Never a path relative to the current folder: the load and the save say so.
void TestSettingsFile::noFolderForTheUsersSettings()
{
    QFETCH(QString, configHome);
#ifdef Q_OS_WIN
    const QString installed = qEnvironmentVariable("ProgramFiles") + "/Tubebridge";
#else
    const QString installed = "/usr/bin";
#endif
    const tb::SettingsFile settings = tb::SettingsFile::forProgram(installed, configHome);
    QCOMPARE(int(settings.load().obstacle), int(tb::Obstacle::NoSettingsFolder));
    QCOMPARE(int(settings.save({}).obstacle), int(tb::Obstacle::NoSettingsFolder));
}

void TestSettingsFile::whileAnotherProgramHoldsTheFile_data()
{
    QTest::addColumn<bool>("heldByTheReader"); // or by another program, sharing no deletion
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("outcome");
#ifdef Q_OS_WIN
    // Waited for, then named.
    QTest::newRow("another program's, then a save")
        << false << "save" << QString::fromLocal8Bit(std::strerror(EBUSY));
    QTest::newRow("this program's reader, then a rename") << true << "rename"
                                                          << "done";
    QTest::newRow("this program's reader, then a deletion") << true << "delete"
                                                            << "done";
#endif
}

void TestSettingsFile::whileAnotherProgramHoldsTheFile()
{
#ifndef Q_OS_WIN
    QSKIP("Windows' sharing of an open file");
#else
    QFETCH(bool, heldByTheReader);
    QFETCH(QString, then);
    QTemporaryDir dir;
    const QString path = dir.filePath("Tubebridge.dat");
    const auto wide = [](const QString& p) { return QDir::toNativeSeparators(p).toStdWString(); };
    QVERIFY(writeFile(path, "old\r\n"));
    const HANDLE held =
        heldByTheReader
            ? tb::openForReading(path)
            : CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    QString outcome = "done";
    if (then == "save")
        outcome = problemOf(tb::SettingsFile(path).save({"new"}));
    else if (!(then == "rename" ? MoveFileW(wide(path).c_str(), wide(path + ".moved").c_str())
                                : DeleteFileW(wide(path).c_str())))
        outcome = QStringLiteral("Windows error %1").arg(GetLastError());
    CloseHandle(held);
    QTEST(outcome, "outcome");
    if (then == "save")
        QCOMPARE(readFile(path), QByteArray("old\r\n"));
#endif
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
