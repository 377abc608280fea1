// The graph taken out of the window: as SVG with every element, as PNG of
// the pixels shown, on the clipboard, on a printer, and only once a press
// has drawn it.
#include "Accessibility.h"
#include "FieldEdit.h"
#include "GraphVectors.h"
#include "LaidOutWindow.h"

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
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <map>

// Field texts by index, over the first run's.
using FieldTexts = QMap<int, QString>;

namespace {

// What an SVG file draws: its lines by stroke colour, its texts, and the
// font families of the texts.
struct SvgContent {
    QString error;
    std::map<QString, int> lines;

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
    void pngIsThePixelsShown();
    void clipboardHoldsBothFormats();
    void nothingToTakeBeforeThePress();
    void printsOnePage();
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
    QTest::addColumn<tb::SvgWriter>("writer");
    // The first run's lattice in the 950 x 336 box: 30 columns and 30 rows,
    // every fifth labeled. White: the frame's 4 lines, an X tick above and
    // below in each of the 29 inner columns, a Y tick on both edges in each
    // of the 29 inner rows; grey: a horizontal mark for each of the 5 inner
    // labeled rows and a vertical one for each of the 5 inner labeled
    // columns, at each of the 29 inner points along them.
    // Qt SVG's generator, and the writer of the build without Qt SVG.
    for (const auto& [writer, name] :
         {std::pair{tb::SvgWriter::QtSvg, "Qt SVG"}, std::pair{tb::SvgWriter::Own, "own writer"}}) {
        if (writer == tb::SvgWriter::QtSvg && !tb::hasQtSvg())
            continue;
        QTest::addRow("worked example, %s", name)
            << FieldTexts{} << 4 + 2 * 29 + 2 * 29 << 2 * 5 * 29
            << QStringList{"0.000", "60.00", "360.0", " 300.0     ", "-300.0     ", " 0.000     "}
            << writer;
        // 32 767 labeled ticks on both axes: billions of marks, which the screen
        // shows as a few thousand device pixels' worth.
        QTest::addRow("dense lattice, %s", name)
            << FieldTexts{{10, "32767"}, {11, "1"}, {14, "32767"}, {15, "1"}} << -1 << -1
            << QStringList{"0.000", "360.0", " 300.0     ", "-300.0     "} << writer;
    }
}

void TestGraphExport::svgHoldsTheGraph()
{
    QFETCH(FieldTexts, fields);
    QFETCH(int, whiteLines);
    QFETCH(int, greyLines);
    QFETCH(QStringList, labels);
    QFETCH(tb::SvgWriter, writer);
    LaidOutWindow f;
    QVERIFY(f.show());
    setFields(f.h, fields);
    f.h.clickCalculate();

    const QByteArray svg = tb::graphSvg(f.box().vectorPass(), writer);
    QCOMPARE_LT(svg.size(), 20 * 1024 * 1024);
    const SvgContent content = readSvg(svg);
    QCOMPARE(content.error, QString());
    for (const char* trace : {"#ff0000", "#00ff00", "#0000ff"})
        QCOMPARE_GT(content.linesOf(trace), 100); // a trace, and its legend line
    if (whiteLines >= 0) {
        QCOMPARE(content.linesOf("#ffffff"), whiteLines);
        QCOMPARE(content.linesOf("#888888"), greyLines);
    }
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
    QVERIFY(data->hasImage());
    const QImage copied = qvariant_cast<QImage>(data->imageData());
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
    QVERIFY(f.box().printOn(printer));
    QFile printed(printer.outputFileName());
    QVERIFY(printed.open(QIODevice::ReadOnly));
    const QByteArray pdf = printed.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);

    // A file that cannot be made: nothing printed, and no crash.
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/printed.pdf")));
    QVERIFY(!f.box().printOn(printer));
}

// The dialog's filter chooses the format of a name without an extension, the
// file is written, and a screen reader hears where.
void TestGraphExport::saveThroughTheDialog()
{
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
        name->setText(dir.filePath(QStringLiteral("bench graph")));
        QTest::keyClick(name, Qt::Key_Return);
    });
    answer.start(10);
    action(f.box(), "saveGraphAction")->trigger();
    QFile saved(dir.filePath(QStringLiteral("bench graph.pdf")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("%PDF"));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f.h.window());
    QString heard;
    for (int i = 0; i < window->childCount(); ++i)
        if (window->child(i)->role() == QAccessible::Notification)
            heard = window->child(i)->text(QAccessible::Name);
    QCOMPARE(heard, QStringLiteral("Graph saved to bench graph.pdf"));
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
