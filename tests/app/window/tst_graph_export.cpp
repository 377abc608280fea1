// The graph taken out of the window: as SVG and PDF with smooth traces and
// every text, as PNG of the pixels shown, on the clipboard, on a printer,
// and only once a press has drawn it.
#include "Accessibility.h"
#include "FieldEdit.h"
#include "LaidOutWindow.h"
#include "StageVariables.h"
#include "Waveforms.h"
#include "WorkedStage.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <map>

// Field texts by index, over the first run's.
using FieldTexts = QMap<int, QString>;

namespace {

// What an SVG file draws: its lines by stroke colour, its texts, the font
// families of the texts, and the points of its longest polyline of each
// colour.
struct SvgContent {
    QString error;
    std::map<QString, int> lines;
    std::map<QString, QStringList> longest;

    [[nodiscard]] int linesOf(const char* stroke) const
    {
        const auto found = lines.find(QLatin1String(stroke));
        return found == lines.end() ? 0 : found->second;
    }
    QStringList texts;
    QStringList families;
};

SvgContent readSvg(const QByteArray& svg)
{
    SvgContent content;
    QXmlStreamReader xml(svg);
    QStringList strokes{QStringLiteral("none")};
    QStringList families{QString()};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            strokes << (a.hasAttribute(QLatin1String("stroke"))
                            ? a.value(QLatin1String("stroke")).toString()
                            : strokes.last());
            families << (a.hasAttribute(QLatin1String("font-family"))
                             ? a.value(QLatin1String("font-family")).toString()
                             : families.last());
            const auto name = xml.name();
            if (name == QLatin1String("polyline") || name == QLatin1String("line") ||
                name == QLatin1String("path"))
                ++content.lines[strokes.last()];
            const QStringList points =
                a.value(QLatin1String("points")).toString().split(QLatin1Char(' '));
            if (name == QLatin1String("polyline") &&
                points.size() > content.longest[strokes.last()].size())
                content.longest[strokes.last()] = points;
            if (name == QLatin1String("text")) {
                content.families << families.last();
                content.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
                strokes.removeLast();
                families.removeLast();
            }
        } else if (xml.isEndElement()) {
            strokes.removeLast();
            families.removeLast();
        }
    }
    if (xml.hasError())
        content.error = xml.errorString();
    return content;
}

void setFields(WindowHarness& h, const FieldTexts& texts)
{
    for (auto it = texts.begin(); it != texts.end(); ++it)
        h.field(it.key())->setText(it.value());
}

QAction* action(tb::GraphView& view, const char* name)
{
    return view.findChild<QAction*>(QLatin1String(name));
}

} // namespace

class TestGraphExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void svgHoldsTheGraph_data();
    void svgHoldsTheGraph();
    void svgTraceRunsThroughItsSamples();
    void pdfHoldsCurvesAndTexts();
    void pngIsThePixelsShown();
    void clipboardHoldsBothFormats();
    void nothingToTakeBeforeThePress();
    void printsOnePage();
    void saveThroughTheDialog_data();
    void saveThroughTheDialog();
    void missingFolderIsNotMade();
};

void TestGraphExport::initTestCase()
{
    tb::installAccessibleInterfaces(tb::FieldEdit::staticMetaObject);
}

void TestGraphExport::svgHoldsTheGraph_data()
{
    QTest::addColumn<FieldTexts>("fields");
    QTest::addColumn<int>("whiteLines");
    QTest::addColumn<int>("greyLines");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("maxBytes");
    // White: the frame's 4 lines, then the lattice's ticks as two groups
    // (left and top edges, bottom and right edges); grey: its grid marks as
    // one group.
    QTest::newRow("worked example")
        << FieldTexts{} << 4 + 2 << 1
        << QStringList{"0.000", "60.00", "360.0", " 300.0     ", "-300.0     ", " 0.000     "}
        << 200 * 1024;
    // 32 767 labeled ticks on both axes: billions of marks on screen, and
    // blocks of marks side by side here; the last column's bottom tick alone
    // lies over the grey, as on screen.
    QTest::newRow("dense lattice")
        << FieldTexts{{10, "32767"}, {11, "1"}, {14, "32767"}, {15, "1"}} << 4 + 1 << 0
        << QStringList{"0.000", "360.0", " 300.0     ", "-300.0     "} << 20 * 1024 * 1024;
}

void TestGraphExport::svgHoldsTheGraph()
{
    QFETCH(FieldTexts, fields);
    QFETCH(int, whiteLines);
    QFETCH(int, greyLines);
    QFETCH(QStringList, labels);
    QFETCH(int, maxBytes);
    // Kept for the comparison of the Windows build's file with Linux's, in
    // a font both systems have (each has its own default).
    const QString keep = qEnvironmentVariable("TUBEBRIDGE_KEEP_SVG");
    if (!keep.isEmpty()) {
        QFont same(QStringLiteral("Liberation Sans"), 9);
        same.setHintingPreference(QFont::PreferNoHinting); // hinted widths are the system's own
        QApplication::setFont(same);
    }
    LaidOutWindow f;
    QVERIFY(f.show());
    setFields(f.h, fields);
    f.h.clickCalculate();

    const QByteArray svg = f.box().fileBytes(tb::GraphView::Format::Svg);
    QCOMPARE_LT(svg.size(), maxBytes);
    if (!keep.isEmpty()) {
        QFile kept(keep + QLatin1Char('/') + QLatin1String(QTest::currentDataTag()) + ".svg");
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write(svg) == svg.size());
    }
    const SvgContent content = readSvg(svg);
    QCOMPARE(content.error, QString());
    // The legend's line, and a trace drawn in a few unbroken stretches.
    for (const char* trace : {"#ff0000", "#00ff00", "#0000ff"}) {
        QCOMPARE_GE(content.linesOf(trace), 2);
        QCOMPARE_LE(content.linesOf(trace), 6);
    }
    QCOMPARE(content.linesOf("#ffffff"), whiteLines);
    QCOMPARE(content.linesOf("#888888"), greyLines);
    QStringList expected = labels;
    expected << "Load Voltage (Volts)"
             << "V1 Cathode Current (mA)"
             << "V2 Cathode Current (mA)"
             << "Phase Angle (Degrees)";
    QStringList missing;
    for (const QString& text : expected)
        if (!content.texts.contains(text))
            missing << text;
    QCOMPARE(missing, QStringList());
    QStringList families = content.families;
    families.removeDuplicates();
    QCOMPARE(families, QStringList{f.box().font().family()});
}

// The worked example in the 950 x 336 box: plotLeft 74, plotBottom 292,
// 876 pixels for 360 degrees and 292 for 600 volts. Each vertex of the load
// voltage's path lies where its angle and value map, unrounded, with the
// line through the middle of the screen's pixels (half a pixel right and
// down).
void TestGraphExport::svgTraceRunsThroughItsSamples()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const SvgContent content = readSvg(f.box().fileBytes(tb::GraphView::Format::Svg));
    const QStringList points = content.longest.at(QStringLiteral("#ff0000"));
    QCOMPARE_GT(points.size(), 2000);
    const tb::StageVariables stage = tb::test::workedStage();
    int offPixelGrid = 0;
    for (const QString& point : points) {
        const double x = point.section(QLatin1Char(','), 0, 0).toDouble();
        const double y = point.section(QLatin1Char(','), 1, 1).toDouble();
        const double angle = (x - 74.5) * 360.0 / 876.0;
        const double expectedY = 292.5 - (tb::loadVoltageAt(stage, angle) + 300.0) * 292.0 / 600.0;
        QVERIFY2(std::abs(y - expectedY) < 0.01,
                 qPrintable(QStringLiteral("%1 at %2 degrees, expected y %3")
                                .arg(point)
                                .arg(angle)
                                .arg(expectedY)));
        offPixelGrid += x - 0.5 != std::round(x - 0.5) && y - 0.5 != std::round(y - 0.5);
    }
    QCOMPARE_GT(offPixelGrid, points.size() / 2); // no staircase of whole pixels
}

// Through poppler's tools where they are installed: the traces are long
// paths, and the texts are text.
void TestGraphExport::pdfHoldsCurvesAndTexts()
{
    const QString toSvg = QStandardPaths::findExecutable(QStringLiteral("pdftocairo"));
    const QString toText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (toSvg.isEmpty() || toText.isEmpty())
        QSKIP("needs pdftocairo and pdftotext (poppler-utils)");
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QByteArray pdf = f.box().fileBytes(tb::GraphView::Format::Pdf);
    QCOMPARE_LT(pdf.size(), 100 * 1024);
    const QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("graph.pdf")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
    file.close();
    const auto run = [&](const QString& program, QStringList arguments, const QString& output) {
        QProcess process;
        process.start(program, arguments << file.fileName() << dir.filePath(output));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
    };
    run(toText, {}, QStringLiteral("graph.txt"));
    run(toSvg, {QStringLiteral("-svg")}, QStringLiteral("graph.svg"));
    QFile text(dir.filePath(QStringLiteral("graph.txt")));
    QVERIFY(text.open(QIODevice::ReadOnly));
    const QString words = QString::fromUtf8(text.readAll());
    for (const char* expected : {"Load Voltage (Volts)", "Phase Angle (Degrees)", "60.00", "300.0"})
        QVERIFY2(words.contains(QLatin1String(expected)), expected);
    QFile svg(dir.filePath(QStringLiteral("graph.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    int longPaths = 0;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("path"))
            longPaths += xml.attributes().value(QLatin1String("d")).count(QLatin1Char('L')) > 500;
    QCOMPARE_GE(longPaths, 3);
}

void TestGraphExport::pngIsThePixelsShown()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QImage png = QImage::fromData(f.box().fileBytes(tb::GraphView::Format::Png), "PNG");
    const QImage shown = f.box().image();
    QCOMPARE(png.size(), QSize(950, 336));
    QVERIFY(png.convertToFormat(QImage::Format_RGB32) ==
            shown.convertToFormat(QImage::Format_RGB32));
    // 96 dots per inch at a ratio of 1: 96 / 0.0254 dots per metre.
    QCOMPARE(png.dotsPerMeterX(), 3780);
    QCOMPARE(png.dotsPerMeterY(), 3780);
}

void TestGraphExport::clipboardHoldsBothFormats()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    QApplication::clipboard()->clear();
    f.box().setFocus();
    QTRY_VERIFY(f.box().hasFocus());
    QTest::keySequence(&f.box(), QKeySequence::Copy);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QImage copied;
    QVERIFY(copied.loadFromData(data->data(QStringLiteral("image/png")), "PNG"));
    QVERIFY(copied.convertToFormat(QImage::Format_RGB32) ==
            f.box().image().convertToFormat(QImage::Format_RGB32));
    QVERIFY(data->hasFormat(QStringLiteral("image/svg+xml")));

    // In a field the same key copies the field's text.
    f.h.field(0)->setFocus();
    f.h.field(0)->selectAll();
    QTest::keySequence(f.h.field(0), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QString("400"));
}

void TestGraphExport::nothingToTakeBeforeThePress()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    const char* names[] = {"copyGraphAction", "saveGraphAction", "printGraphAction"};
    for (const char* name : names)
        QVERIFY2(!action(f.box(), name)->isEnabled(), name);
    QVERIFY(f.box().fileBytes(tb::GraphView::Format::Png).isEmpty());
    // A press stopped by an error in the drawing leaves what it drew to take.
    f.h.field(9)->setText(QStringLiteral("0")); // X from 0 to 0: division by zero
    f.h.clickCalculate();
    for (const char* name : names)
        QVERIFY2(action(f.box(), name)->isEnabled(), name);
}

void TestGraphExport::printsOnePage()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    QVERIFY(f.box().printOn(printer).printed);
    QFile printed(printer.outputFileName());
    QVERIFY(printed.open(QIODevice::ReadOnly));
    const QByteArray pdf = printed.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);

    // A file that cannot be made: nothing printed, the folder not made, and
    // the cause told.
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/printed.pdf")));
    const tb::GraphView::PrintOutcome outcome = f.box().printOn(printer);
    QVERIFY(!outcome.printed);
    QVERIFY2(outcome.cause.contains(QStringLiteral("missing")), qPrintable(outcome.cause));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
}

// The dialog's filter chooses the format of a name without an extension, the
// file is written, and a screen reader hears where.
void TestGraphExport::saveThroughTheDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no extension") << "bench graph"
                                  << "bench graph.pdf";
    // Never a PDF under another kind's name.
    QTest::newRow("an extension of no format saved") << "bench.v2"
                                                     << "bench.v2.pdf";
}

void TestGraphExport::saveThroughTheDialog()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QTemporaryDir dir;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        answer.stop();
        // As a user would: the filter chosen, then the name typed.
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")),
                        Qt::Key_End); // "PDF document (*.pdf)"
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name != nullptr);
        name->setText(dir.filePath(typed));
        QTest::keyClick(name, Qt::Key_Return);
    });
    answer.start(10);
    action(f.box(), "saveGraphAction")->trigger();
    QFile file(dir.filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
    QVERIFY(!QFileInfo::exists(dir.filePath(typed)));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f.h.window());
    QString heard;
    for (int i = 0; i < window->childCount(); ++i)
        if (window->child(i)->role() == QAccessible::Notification)
            heard = window->child(i)->text(QAccessible::Name);
    QCOMPARE(heard, QStringLiteral("Graph saved to ") + saved);
}

// A save into a folder that does not exist makes no folder, writes nothing,
// and names the folder.
void TestGraphExport::missingFolderIsNotMade()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const tb::AtomicWriteResult saved =
        f.box().saveTo(missing + QStringLiteral("/graph.png")).written;
    QVERIFY(!saved.ok());
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(QDir::cleanPath(saved.folder), QDir::cleanPath(missing));
}

QTEST_MAIN(TestGraphExport)
#include "tst_graph_export.moc"
