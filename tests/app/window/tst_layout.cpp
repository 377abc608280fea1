#include "ControlLayout.h"
#include "WindowHarness.h"
#include "RuntimeError.h"

#include "ErrorOf.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(tb::ErrorKind)

namespace {

// The computed place of a control, by its object name in the window.
tb::LayoutRect placeOf(const tb::ControlLayout& l, const QString& name)
{
    const QStringList parts = name.split(QLatin1Char('_'));
    const auto i = static_cast<std::size_t>(parts.value(1).toInt());
    if (name == QLatin1String("Text1_16"))
        return l.indicator;
    if (parts[0] == QLatin1String("Text1"))
        return l.fields.at(i);
    if (parts[0] == QLatin1String("Label1"))
        return l.captions.at(i);
    if (name == QLatin1String("Label2"))
        return l.requiredHeading;
    if (name == QLatin1String("Label4"))
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
    QTEST(tb::arrangeControls(1000, height).FontSize, "points");
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
    row(1000, 700, "Text1_4", 283, 138.25, 139, 18.55);
    row(1000, 700, "Label1_4", 12.6, 138.25, 265, 21);
    row(1000, 700, "Text1_5", 283, 184.38, 139, 18.55);
    row(1000, 700, "Text1_7", 283, 239.68, 139, 18.55);
    row(1000, 700, "Text1_8", 843, 27.65, 139, 18.55);
    row(1000, 700, "Text1_15", 843, 221.2, 139, 18.55);
    row(1000, 700, "Label1_8", 584.6, 27.65, 249.9, 21);
    row(1000, 700, "Label1_15", 584.6, 221.2, 249.9, 21);
    row(1280, 735, "Text1_4", 362.24, 145.1625, 177.92, 19.4775);
    row(1280, 735, "Text1_5", 362.24, 193.599, 177.92, 19.4775);
    row(1280, 735, "Text1_7", 362.24, 251.664, 177.92, 19.4775);
    row(1280, 735, "Text1_8", 1079.04, 29.0325, 177.92, 19.4775);
    row(1280, 735, "Text1_15", 1079.04, 232.26, 177.92, 19.4775);
    row(1280, 735, "PGraph", 38.4, 330.75, 1216, 352.8);
    row(1280, 735, "Text1_16", 675.84, 222.705, 33.152, 20.58);
    // The two heading tops differ in their constants: 0.00658979 H and 0.00659 H.
    row(1280, 735, "Label2", 362.24, 4.84349565, 329.1904, 20.58);
    row(1280, 735, "Label4", 960, 4.84365, 320, 20.58);
}

void TestLayout::places()
{
    QFETCH(double, W);
    QFETCH(double, H);
    QFETCH(QString, control);
    QFETCH(double, left);
    const tb::LayoutRect r = placeOf(tb::arrangeControls(W, H), control);
    QCOMPARE(r.left, static_cast<float>(left)); // kept in single precision
    QTEST(r.top, "top");
    QTEST(r.width, "width");
    QTEST(r.height, "height");
}

void TestLayout::clientSizeRoundsHalfToEven()
{
    const tb::ControlLayout l = tb::arrangeControls(1000.5, 701.5);
    QCOMPARE(l.FormWidth, 1000);
    QCOMPARE(l.FormHeight, 702);
}

void TestLayout::oversizedClientOverflows()
{
    QCOMPARE(errorOf([] { (void)tb::arrangeControls(40000, 700); }), tb::ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)tb::arrangeControls(1000, 32767.5); }), tb::ErrorKind::Overflow);
}

void TestLayout::notLaidOutBeforeTheWindowIsExposed()
{
    FormHarness h;
    QTest::qWait(300); // longer than the size takes to settle
    QCOMPARE(h.field(4)->geometry(), QRect(360, 120, 177, 19)); // the design place
    QVERIFY(h.showAndActivate());
    auto* timer = h.form().findChild<QTimer*>(QStringLiteral("Timer1"));
    QTRY_COMPARE(timer->isActive(), false);
    QCOMPARE_NE(h.field(4)->geometry(), QRect(360, 120, 177, 19));
}

// Desktops show the window at its design size and then maximise it, give it
// a tile instead, or leave it as it is; the layout is for the size it keeps.
void TestLayout::laidOutForTheSizeTheDesktopGives_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QRect>("field4");
    // 0.283 W, 0.0395 H x 5, 0.139 W, 0.0265 H, rounded.
    QTest::newRow("maximises it a moment later")
        << "maximises" << QRect(225, 157, 111, 21); // 796 x 796: the test screen less a frame
    QTest::newRow("gives it a tile a moment later")
        << "tiles" << QRect(283, 138, 139, 19);                                 // 1000 x 700
    QTest::newRow("gives it nothing") << "nothing" << QRect(228, 113, 112, 15); // 804 x 573
}

void TestLayout::laidOutForTheSizeTheDesktopGives()
{
    QFETCH(QString, desktop);
    FormHarness h;
    h.form().setWindowState(Qt::WindowNoState);
    QVERIFY(h.showAndActivate());
    if (desktop == QLatin1String("maximises"))
        h.form().setWindowState(Qt::WindowMaximized);
    else if (desktop == QLatin1String("tiles"))
        h.form().resize(1000, 700);
    QVERIFY(h.showAndLayOut());
    QTEST(h.field(4)->geometry(), "field4");
}

void TestLayout::windowIsLaidOutOnceAndStays()
{
    FormHarness h;
    h.form().setWindowState(Qt::WindowNoState);
    h.form().resize(1000, 700);
    QVERIFY(h.showAndActivate());
    auto* timer = h.form().findChild<QTimer*>(QStringLiteral("Timer1"));
    QTRY_COMPARE(timer->isActive(), false);

    auto* caption8 = h.form().findChild<QLabel*>(QStringLiteral("Label1_8"));
    auto* box = h.form().findChild<QWidget*>(QStringLiteral("PGraph"));
    QCOMPARE(h.field(4)->geometry(), QRect(283, 138, 139, 19));
    QCOMPARE(caption8->geometry(), QRect(585, 28, 250, 21));
    QCOMPARE(box->geometry(), QRect(30, 315, 950, 336));
    // Every caption, heading, field and button takes F = 10 points; the
    // indicator keeps its design size and the box its font.
    QStringList notTen;
    for (const char* name : {"Text1_0", "Text1_15", "Label1_0", "Label1_15", "Label1_16", "Label2",
                             "Label3", "Label4", "Label5", "Command1", "Command2"}) {
        const double points = h.form().findChild<QWidget*>(name)->font().pointSizeF();
        if (points != 10.0)
            notTen << QStringLiteral("%1: %2").arg(name).arg(points);
    }
    QCOMPARE(notTen.join(QStringLiteral(", ")), QString());
    QCOMPARE(h.field(16)->font().pointSizeF(), 9.75);
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
