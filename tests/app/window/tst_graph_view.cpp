#include "GraphSettings.h"
#include "LaidOutWindow.h"
#include "StageVariables.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);

bool isBlackImage(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != Black)
                return false;
    return true;
}

// How many pixels of the box on screen (the window's backing store) differ
// from its kept drawing; -1 when the window system shows none of it.
int stalePixels(LaidOutWindow& f)
{
    const QRect box(f.box().mapTo(&f.h.window(), QPoint(0, 0)), f.box().size());
    const QImage shown =
        f.h.window()
            .screen()
            ->grabWindow(f.h.window().winId(), box.x(), box.y(), box.width(), box.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    const QImage& kept = f.box().image();
    if (shown.size() != kept.size())
        return -1;
    int stale = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            stale += shown.pixel(x, y) != kept.pixel(x, y);
    return stale;
}

// The smallest rectangle of white ink (text is antialiased) within a region.
QRect inkIn(const QImage& image, const QRect& region)
{
    QRect ink;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (QColor(image.pixel(x, y)).lightness() > 200 &&
                QColor(image.pixel(x, y)).hslSaturation() < 40)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

class TestGraphView : public QObject {
    Q_OBJECT

private slots:
    void graphPixels();
    void textsLandWhereTheyArePrinted_data();
    void textsLandWhereTheyArePrinted();
    void graphSurvivesRepaint();
    void secondPassReachesTheScreen();
    void fileNameInMessageIsShownAsTyped();
    void faultInThePassLeavesTheBoxBlank();
    void hiddenBoxTakesItsSizeBeforeDrawing();
    void graphNotMadeWritesNoFile();
    void blackAndImagelessBeforeTheFirstPass();
};

void TestGraphView::graphPixels()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    QCOMPARE(f.box().size(), QSize(950, 336));
    f.h.clickCalculate();
    const QImage& image = f.box().image();
    QCOMPARE(image.size(), QSize(950, 336));

    QCOMPARE(image.pixel(10, 330), Black);  // below the Y labels, left of the title
    QCOMPARE(image.pixel(74, 150), White);  // the Y axis at plotLeft
    QCOMPARE(image.pixel(500, 292), White); // the X axis at plotBottom
    QCOMPARE(image.pixel(500, 0), White);   // the top edge
    QCOMPARE(image.pixel(949, 0), White);   // which runs to the last column
    QCOMPARE(image.pixel(560, 30), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(560, 59), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(560, 89), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(547, 30), Black); // the legend line starts at 548
}

// A legend text's top-left corner is printed 10 pixels right of its line's
// end (606) and 7 above the line: its ink starts a pixel or two right of
// x = 616 and a few pixels below the top, the glyphs' ascent above it.
void TestGraphView::textsLandWhereTheyArePrinted_data()
{
    QTest::addColumn<int>("top");
    QTest::newRow("Load Voltage (Volts)") << 23; // line at y = 30
    QTest::newRow("V1 Cathode Current (mA)") << 52;
    QTest::newRow("V2 Cathode Current (mA)") << 82;
}

void TestGraphView::textsLandWhereTheyArePrinted()
{
    QFETCH(int, top);
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    // Right of x = 900 stand the white ticks of the right edge.
    const QRect ink = inkIn(f.box().image(), QRect(607, top - 10, 290, 32));
    const auto where = [&ink] {
        return qPrintable(QStringLiteral("ink from (%1, %2)").arg(ink.left()).arg(ink.top()));
    };
    QVERIFY2(ink.left() >= 616 && ink.left() <= 620, where());
    QVERIFY2(ink.top() >= top + 1 && ink.top() <= top + 6, where());
}

void TestGraphView::graphSurvivesRepaint()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    f.h.window().showMinimized();
    f.h.window().showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&f.h.window()));
    QCOMPARE(f.box().grab().toImage().convertToFormat(QImage::Format_RGB32), f.box().image());
    QCOMPARE(f.box().image().pixel(560, 30), qRgb(255, 0, 0));
}

void TestGraphView::secondPassReachesTheScreen()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate();
    const QImage first = f.box().image();
    f.h.type(13, "600"); // Y axis to 600: every trace at half its height
    f.h.clickCalculate();
    QVERIFY(f.box().image() != first);
    // Waits for the repaint; if none comes, the old drawing stays on screen.
    QTRY_COMPARE(stalePixels(f), 0);
}

void TestGraphView::fileNameInMessageIsShownAsTyped()
{
    LaidOutWindow f;
    const QString name = QStringLiteral("/tmp/a<br>b <b>c</b>.png");
    emit f.box().graphNotSaved(name, QString());
    auto* box = f.h.window().findChild<QMessageBox*>(QStringLiteral("graphMessage"));
    for (const QLabel* label : box->findChildren<QLabel*>())
        QVERIFY(!label->text().contains(name) || label->textFormat() == Qt::PlainText);
    QVERIFY(box->informativeText().contains(QDir::toNativeSeparators(name)));
}

void TestGraphView::faultInThePassLeavesTheBoxBlank()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    f.h.clickCalculate(); // a full graph first
    f.h.type(9, "0");     // X axis from 0 to 0
    f.h.type(5, "kept");
    f.h.clickCalculate();

    auto* box = f.h.window().findChild<QMessageBox*>(QStringLiteral("runtimeErrorMessage"));
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QString("Division by zero"));
    QVERIFY(isBlackImage(f.box().image()));
    // The results were written before the pass; the closing focus step did not run.
    QCOMPARE(f.h.field(5)->text(), QString("13.568"));
    QVERIFY(QApplication::focusWidget() != f.h.field(0));
}

void TestGraphView::hiddenBoxTakesItsSizeBeforeDrawing()
{
    tb::GraphView box; // never shown: no resize event has reached it
    box.resize(1824, 518);
    tb::StageVariables v;
    v.supplyVolts = 400;
    v.ebkVolts = 60;
    v.loadOhms = 4000;
    v.gridPeakVolts = tb::gridPeakVoltsFromRms(200);
    v.idleAmps = 0.05;
    box.draw(tb::GraphSettings{0, 360, 7, 5, -300, 300, 7, 5}, v, box.font());
    QCOMPARE(box.image().size(), QSize(1824, 518));
    // plotLeft of an 1824-pixel box: 1824 x 0.07792 = 142.1.
    QCOMPARE(box.image().pixel(142, 200), White);
}

void TestGraphView::blackAndImagelessBeforeTheFirstPass()
{
    LaidOutWindow f;
    QVERIFY(f.show());
    QVERIFY(f.box().image().isNull());
    const QImage shown = f.box().grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(950, 336));
    QVERIFY(isBlackImage(shown));
}

// With nothing to write (here, no graph yet), no file is made, not even an
// empty one, and the save says so.
void TestGraphView::graphNotMadeWritesNoFile()
{
    const QTemporaryDir dir;
    QVERIFY(!tb::GraphView().saveTo(dir.filePath(QStringLiteral("graph.png"))).made);
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(TestGraphView)
#include "tst_graph_view.moc"
