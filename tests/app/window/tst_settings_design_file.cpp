// Which files named on the command line are designs, and the words for
// those that are not.
#include "CommandLine.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using tb::test::lines;
using tb::test::sixteen;
using tb::test::writeFile;

class TestSettingsDesignFile : public QObject {
    Q_OBJECT

private slots:
    void designForm_data();
    void designForm();
};

void TestSettingsDesignFile::designForm_data()
{
    QTest::addColumn<QByteArray>("content"); // "missing": no file at all
    QTest::addColumn<qint64>("size");        // when not -1, the file is this many zero bytes
    QTest::addColumn<QString>("problem");

    QByteArray notes;
    for (int i = 1; i <= 30; ++i)
        notes += "note " + QByteArray::number(i) + '\n';
    QList<QByteArray> seventeen = sixteen("s");
    seventeen << "s16";
    QList<QByteArray> withNul = sixteen("n");
    withNul[7] = QByteArray("4\0"
                            "00",
                            4);
    QList<QByteArray> longLine = sixteen("l");
    longLine[2] = QByteArray(1'048'577, '7');
    QList<QByteArray> longest = sixteen("w");
    longest[0] = QByteArray(1'048'576, '7');
    const QString notADesign = "notes.txt is not a Tubebridge design: ";

    QTest::newRow("a 30-line text") << notes << -1LL << notADesign + "it has 30 lines";
    QTest::newRow("a binary file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << -1LL
                                   << notADesign + "it holds binary data (a NUL byte)";
    QTest::newRow("a 17-line file") << lines(seventeen) << -1LL << notADesign + "it has 17 lines";
    QTest::newRow("an empty seventeenth line") << lines(sixteen("e")) + "\r\n"
                                               << -1LL << notADesign + "it has 17 lines";
    QTest::newRow("a NUL in a field")
        << lines(withNul) << -1LL << notADesign + "it holds binary data (a NUL byte)";
    QTest::newRow("a line longer than a field")
        << lines(longLine) << -1LL
        << notADesign + "its line 3 is longer than a field holds (1048576 characters)";
    QTest::newRow("larger than sixteen full fields")
        << QByteArray() << 16'777'249LL
        << notADesign + "it is larger than 16777248 bytes, the most a design holds";
    QTest::newRow("sixteen lines") << lines(sixteen("d")) << -1LL << QString();
    QTest::newRow("sixteen lines, the last without its end")
        << lines(sixteen("d"), "") << -1LL << QString();
    QTest::newRow("sixteen full fields")
        << lines(QList<QByteArray>(16, longest[0])) << -1LL << QString();
    QTest::newRow("empty") << QByteArray() << -1LL << QString();
    QTest::newRow("not there yet") << QByteArray("missing") << -1LL << QString();
}

void TestSettingsDesignFile::designForm()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path())); // the name as typed is the name told
    if (size >= 0) {
        QFile file("notes.txt");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
    } else if (content != "missing") {
        QVERIFY(writeFile("notes.txt", content));
    }
    QTEST(tb::designFileProblem("notes.txt"), "problem");
}

QTEST_GUILESS_MAIN(TestSettingsDesignFile)
#include "tst_settings_design_file.moc"
