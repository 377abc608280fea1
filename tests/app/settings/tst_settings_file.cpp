// The settings file itself: what is read, what is written, and what a save
// does to whatever stands at its path.
#include "SettingsFile.h"

#include "FileNodes.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#ifndef Q_OS_WIN
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
};

void TestSettingsFile::roundTrip_data()
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

void TestSettingsFile::roundTrip()
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
    QTest::newRow("private") << 0600 << 0600;
    QTest::newRow("readable by the group") << 0640 << 0640;
    // Its owner must be able to read it at the next start.
    QTest::newRow("read-only") << 0444 << 0644;
}

void TestSettingsFile::saveKeepsTheFilesPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("a file's permission bits are POSIX's; Windows' read-only attribute is "
          "readOnlyFileIsReplaced's");
#else
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

// Reading stops after sixteen lines of 32 767 characters with their CR LF:
// 16 x 32 769 = 524 304 bytes.
constexpr qsizetype Limit = 524'304;

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
    const QString x(Limit, QLatin1Char('x'));
    const QString zeros(Limit, QChar(0));
    const QByteArray megabyteOfX(1 << 20, 'x');
    const QByteArray widest = lines(QList<QByteArray>(16, QByteArray(32767, 'w')));
    QList<QByteArray> longLine = sixteen("l");
    longLine[0] = QByteArray(100'000, 'l');

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
    QTest::newRow("sixteen lines of 32 767 characters")
        << "file" << widest << false << Status::Loaded
        << QStringList(16, QString(32767, QLatin1Char('w'))) << tb::SpecialFile::None
        << "regular file";
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
#endif
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

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
