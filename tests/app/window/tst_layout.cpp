#include "ControlLayout.h"
#include "FirstLayoutWatcher.h"
#include "RuntimeError.h"
#include "WindowHarness.h"

#include "ErrorOf.h"
#include "EventOrder.h"

#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

Q_DECLARE_METATYPE(tb::ErrorKind)

namespace {

// The computed place of a control, by its object name in the window.
tb::LayoutRect placeOf(const tb::ControlLayout& l, const QString& name)
{
    static const QRegularExpression numbered(QStringLiteral(R"(^(field|caption)(\d+)$)"));
    const QRegularExpressionMatch match = numbered.match(name);
    const auto i = static_cast<std::size_t>(match.captured(2).toInt());
    if (name == QLatin1String("clippingIndicator"))
        return l.indicator;
    if (match.captured(1) == QLatin1String("field"))
        return l.fields.at(i);
    if (match.captured(1) == QLatin1String("caption"))
        return l.captions.at(i);
    if (name == QLatin1String("requiredHeading"))
        return l.requiredHeading;
    if (name == QLatin1String("scalesHeading"))
        return l.scalesHeading;
    return l.graph;
}

} // namespace

using tb::test::errorOf;

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void fontSize_data();
    void fontSize();
    void places_data();
    void places();
    void clientSizeRoundsHalfToEven();
    void oversizedClientOverflows();
    void notLaidOutBeforeTheWindowIsExposed();
    void laidOutForTheSizeTheDesktopGives_data();
    void laidOutForTheSizeTheDesktopGives();
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
    QTEST(tb::computeLayout(1000, height).fontPoints, "points");
}

void TestLayout::places_data()
{
    QTest::addColumn<double>("W");
    QTest::addColumn<double>("H");
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    const auto row = [](double w, double h, const char* control, double left, double top,
                        double width, double height) {
        QTest::addRow("%gx%g %s", w, h, control)
            << w << h << QString::fromLatin1(control) << left << top << width << height;
    };
    // Worked by hand. Rows are 0.0395 H apart (27.65 at H 700); the calculated
    // values lie 0.0264 H (18.48) lower; the graph scales start again at row 1.
    row(1000, 700, "field4", 283, 138.25, 139, 18.55);
    row(1000, 700, "caption4", 12.6, 138.25, 265, 21);
    row(1000, 700, "field5", 283, 184.38, 139, 18.55);
    row(1000, 700, "field7", 283, 239.68, 139, 18.55);
    row(1000, 700, "field8", 843, 27.65, 139, 18.55);
    row(1000, 700, "field15", 843, 221.2, 139, 18.55);
    row(1000, 700, "caption8", 584.6, 27.65, 249.9, 21);
    row(1000, 700, "caption15", 584.6, 221.2, 249.9, 21);
    row(1280, 735, "field4", 362.24, 145.1625, 177.92, 19.4775);
    row(1280, 735, "field5", 362.24, 193.599, 177.92, 19.4775);
    row(1280, 735, "field7", 362.24, 251.664, 177.92, 19.4775);
    row(1280, 735, "field8", 1079.04, 29.0325, 177.92, 19.4775);
    row(1280, 735, "field15", 1079.04, 232.26, 177.92, 19.4775);
    row(1280, 735, "graphView", 38.4, 330.75, 1216, 352.8);
    row(1280, 735, "clippingIndicator", 675.84, 222.705, 33.152, 20.58);
    // The two heading tops differ in their constants: 0.00658979 H and 0.00659 H.
    row(1280, 735, "requiredHeading", 362.24, 4.84349565, 329.1904, 20.58);
    row(1280, 735, "scalesHeading", 960, 4.84365, 320, 20.58);
}

void TestLayout::places()
{
    QFETCH(double, W);
    QFETCH(double, H);
    QFETCH(QString, control);
    QFETCH(double, left);
    const tb::LayoutRect r = placeOf(tb::computeLayout(W, H), control);
    QCOMPARE(r.left, static_cast<float>(left)); // kept in single precision
    QTEST(r.top, "top");
    QTEST(r.width, "width");
    QTEST(r.height, "height");
}

void TestLayout::clientSizeRoundsHalfToEven()
{
    const tb::ControlLayout l = tb::computeLayout(1000.5, 701.5);
    QCOMPARE(l.clientWidth, 1000);
    QCOMPARE(l.clientHeight, 702);
}

void TestLayout::oversizedClientOverflows()
{
    QCOMPARE(errorOf([] { (void)tb::computeLayout(40000, 700); }), tb::ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::computeLayout(1000, 32767.5); }), tb::ErrorKind::Overflow);
}

void TestLayout::notLaidOutBeforeTheWindowIsExposed()
{
    WindowHarness h;
    // Past the time the size takes to settle.
    QVERIFY(tb::test::handleTimersDueWithin(tb::FirstLayoutWatcher::SettleMs));
    QCOMPARE(h.field(4)->geometry(), QRect(360, 120, 177, 19)); // the design place
    QVERIFY(h.showAndActivate());
    QTRY_VERIFY(h.window().isLaidOut());
    QCOMPARE_NE(h.field(4)->geometry(), QRect(360, 120, 177, 19));
}

// Desktops show the window at its design size and then maximise it, give it
// a tile instead, or leave it as it is; the layout is for the size it keeps,
// less the menu bar.
void TestLayout::laidOutForTheSizeTheDesktopGives_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QSize>("form");
    // The test screen less a frame, less the menu bar.
    QTest::newRow("maximises it a moment later") << "maximises" << QSize(796, 796);
    QTest::newRow("gives it a tile a moment later") << "tiles" << QSize(1000, 700);
    QTest::newRow("gives it nothing") << "nothing" << QSize(804, 573); // the design size
}

void TestLayout::laidOutForTheSizeTheDesktopGives()
{
    QFETCH(QString, desktop);
    QFETCH(QSize, form);
    WindowHarness h;
    h.window().setWindowState(Qt::WindowNoState);
    QVERIFY(h.showAndActivate());
    if (desktop == QLatin1String("maximises"))
        h.window().setWindowState(Qt::WindowMaximized);
    else if (desktop == QLatin1String("tiles"))
        h.resizeForm(form.width(), form.height());
    QVERIFY(h.showAndLayOut());
    if (desktop == QLatin1String("maximises"))
        form.rheight() -= h.window().menuBar()->height();
    QTRY_COMPARE(h.window().centralWidget()->size(), form);
    // 0.283 W, 0.0395 H x 5, 0.139 W, 0.0265 H, rounded.
    QCOMPARE(h.field(4)->geometry(),
             QRect(qRound(0.283 * form.width()), qRound(0.1975 * form.height()),
                   qRound(0.139 * form.width()), qRound(0.0265 * form.height())));
}

void TestLayout::windowIsLaidOutOnceAndStays()
{
    WindowHarness h;
    h.window().setWindowState(Qt::WindowNoState);
    h.resizeForm(1000, 700);
    QVERIFY(h.showAndActivate());
    QTRY_VERIFY(h.window().isLaidOut());

    auto* caption8 = h.window().findChild<QLabel*>(QStringLiteral("caption8"));
    auto* box = h.window().findChild<QWidget*>(QStringLiteral("graphView"));
    QCOMPARE(h.field(4)->geometry(), QRect(283, 138, 139, 19));
    QCOMPARE(caption8->geometry(), QRect(585, 28, 250, 21));
    QCOMPARE(box->geometry(), QRect(30, 315, 950, 336));
    // Every caption, heading, field and button takes F = 10 points; the
    // indicator keeps its design size and the box its font.
    QStringList notTen;
    for (const char* name :
         {"field0", "field15", "caption0", "caption15", "clippingCaption", "requiredHeading",
          "calculatedHeading", "scalesHeading", "note", "calculateButton", "endButton"}) {
        const double points = h.window().findChild<QWidget*>(name)->font().pointSizeF();
        if (points != 10.0)
            notTen << QStringLiteral("%1: %2").arg(name).arg(points);
    }
    QCOMPARE(notTen.join(QStringLiteral(", ")), QString());
    QCOMPARE(h.field(16)->font().pointSizeF(), 9.75);
    const double boxPoints = box->font().pointSizeF();

    h.window().resize(1200, 900);
    QTRY_COMPARE(h.window().size(), QSize(1200, 900));
    // The desktop's report of the new size has come, and the time it would
    // take to settle has passed.
    QTRY_COMPARE(h.window().windowHandle()->size(), QSize(1200, 900));
    QVERIFY(tb::test::handleTimersDueWithin(tb::FirstLayoutWatcher::SettleMs));
    QCOMPARE(h.field(4)->geometry(), QRect(283, 138, 139, 19));
    QCOMPARE(box->geometry(), QRect(30, 315, 950, 336));
    QCOMPARE(box->font().pointSizeF(), boxPoints);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
