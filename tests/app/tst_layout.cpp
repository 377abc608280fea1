#include "ControlLayout.h"
#include "FormHarness.h"
#include "numeric/RuntimeError.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void fontSize_data();
    void fontSize();
    void rowsOf1000x700();
    void rowsOf1280x735();
    void clientSizeRoundsHalfToEven();
    void oversizedClientOverflows();
    void windowIsLaidOutOnceAndStays();
};

void TestLayout::fontSize_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("points");
    QTest::newRow("700: 10.5 rounded down by the floor") << 700.0 << 10.0;
    QTest::newRow("735") << 735.0 << 11.0;
    QTest::newRow("1017, a 1080 screen") << 1017.0 << 15.0;
    QTest::newRow("34: nothing") << 34.0 << 0.0;
}

void TestLayout::fontSize()
{
    QFETCH(double, height);
    QTEST(tb::arrangeControls(1000, height).FontSize, "points");
}

void TestLayout::rowsOf1000x700()
{
    const tb::ControlLayout l = tb::arrangeControls(1000, 700);
    QCOMPARE(l.FormWidth, 1000);
    QCOMPARE(l.FormHeight, 700);
    // Required data: row i + 1 of 0.0395 H.
    QVERIFY(near(l.fields[4].left, 283));
    QVERIFY(near(l.fields[4].top, 138.25));
    QVERIFY(near(l.fields[4].width, 139));
    QVERIFY(near(l.fields[4].height, 18.55));
    QVERIFY(near(l.captions[4].left, 12.6f));
    QVERIFY(near(l.captions[4].width, 265));
    // Calculated values: one step of 0.0264 H lower.
    QVERIFY(near(l.fields[5].top, 184.38));
    QVERIFY(near(l.fields[7].top, 239.68));
    // Graph scales start again at the top of the right column.
    QVERIFY(near(l.fields[8].left, 843));
    QVERIFY(near(l.fields[8].top, 27.65));
    QVERIFY(near(l.fields[8].top, l.fields[0].top));
    QVERIFY(near(l.fields[15].top, 221.2));
    QVERIFY(near(l.captions[8].left, 584.6f));
    QVERIFY(near(l.captions[8].width, 249.9));
    QVERIFY(near(l.captions[8].height, 21));
    QVERIFY(near(l.captions[15].top, l.fields[15].top));
}

void TestLayout::rowsOf1280x735()
{
    const tb::ControlLayout l = tb::arrangeControls(1280, 735);
    QCOMPARE(l.FontSize, 11.0);
    QVERIFY(near(l.fields[4].left, 362.24f));
    QVERIFY(near(l.fields[4].top, 145.1625));
    QVERIFY(near(l.fields[4].width, 177.92));
    QVERIFY(near(l.fields[5].top, 193.599));
    QVERIFY(near(l.fields[7].top, 251.664));
    QVERIFY(near(l.fields[8].left, 1079.04f));
    QVERIFY(near(l.fields[8].top, 29.0325));
    QVERIFY(near(l.fields[15].top, 232.26));
    QVERIFY(near(l.graph.left, 38.4f));
    QVERIFY(near(l.graph.top, 330.75));
    QVERIFY(near(l.graph.width, 1216));
    QVERIFY(near(l.graph.height, 352.8));
    QVERIFY(near(l.indicator.left, 675.84f));
    QVERIFY(near(l.indicator.top, 222.705));
    // The two heading tops differ in their constants.
    QVERIFY(near(l.requiredHeading.top, 0.00658979 * 735));
    QVERIFY(near(l.scalesHeading.top, 0.00659 * 735));
}

void TestLayout::clientSizeRoundsHalfToEven()
{
    const tb::ControlLayout l = tb::arrangeControls(1000.5, 701.5);
    QCOMPARE(l.FormWidth, 1000);
    QCOMPARE(l.FormHeight, 702);
}

void TestLayout::oversizedClientOverflows()
{
    for (auto size : {std::pair{40000.0, 700.0}, std::pair{1000.0, 32767.5}}) {
        try {
            (void)tb::arrangeControls(size.first, size.second);
            QFAIL("no overflow");
        } catch (const tb::RuntimeError& e) {
            QCOMPARE(e.kind(), tb::ErrorKind::Overflow);
        }
    }
}

void TestLayout::windowIsLaidOutOnceAndStays()
{
    FormHarness h;
    h.form().setWindowState(Qt::WindowNoState);
    h.form().resize(1000, 700);
    QVERIFY(h.showAndActivate());
    auto* timer = h.form().findChild<QTimer*>(QStringLiteral("Timer1"));
    QTRY_VERIFY(!timer->isActive());

    auto* caption8 = h.form().findChild<QLabel*>(QStringLiteral("Label1_8"));
    auto* box = h.form().findChild<QWidget*>(QStringLiteral("PGraph"));
    QCOMPARE(h.field(4)->geometry(), QRect(283, 138, 139, 19));
    QCOMPARE(caption8->geometry(), QRect(585, 28, 250, 21));
    QCOMPARE(box->geometry(), QRect(30, 315, 950, 336));
    QCOMPARE(h.field(4)->font().pointSizeF(), 10.0);
    QCOMPARE(caption8->font().pointSizeF(), 10.0);
    QCOMPARE(h.button("Command1")->font().pointSizeF(), 10.0);
    QCOMPARE(h.field(16)->font().pointSizeF(), 9.75); // the indicator keeps its size
    const double boxPoints = box->font().pointSizeF();

    h.form().resize(1200, 900);
    QTRY_COMPARE(h.form().size(), QSize(1200, 900));
    QTest::qWait(50);
    QCOMPARE(h.field(4)->geometry(), QRect(283, 138, 139, 19));
    QCOMPARE(box->geometry(), QRect(30, 315, 950, 336));
    QCOMPARE(box->font().pointSizeF(), boxPoints);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
