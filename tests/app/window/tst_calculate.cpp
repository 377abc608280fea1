#include "StageVariables.h"
#include "Sweep.h"
#include "WindowHarness.h"

#include "DefaultLocale.h"

#include <QLocale>
#include <QMessageBox>
#include <QProxyStyle>
#include <QTest>

#include <cmath>

namespace {

// Desktop styles differ on whether a text cursor blinks in a selection; take
// the one that does, where an unfocused field could show a stray cursor.
class CursorInSelectionStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_BlinkCursorWhenTextSelected)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

// The texts of what the model gives for supply, Ebk, load, drive and idling
// current (mA): rounded to three decimals, written by Qt's own formatting.
QStringList modelTexts(const QList<double>& in, QLocale locale = QLocale::c())
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    tb::StageVariables v;
    v.supplyVolts = in[0];
    v.ebkVolts = in[1];
    v.loadOhms = in[2];
    v.driveRmsVolts = in[3];
    v.idleAmps = in[4] / 1000;
    v.gridPeakVolts = std::sqrt(2.0) * in[3] / 2;
    const tb::OperatingPoint p = tb::sweepCycle(v, [] {});
    QStringList texts;
    for (double x : {p.plateDissipationWatts, p.loadPowerWatts, p.supplyMilliamps})
        texts << locale.toString(std::round(x * 1000) / 1000, 'g', 15);
    return texts;
}

QStringList shownTexts(const WindowHarness& h)
{
    return {h.field(5)->text(), h.field(6)->text(), h.field(7)->text()};
}

const QList<double> firstRunInputs{400, 60, 4000, 200, 50};

QMessageBox* errorMessage(tb::MainWindow& window)
{
    return window.findChild<QMessageBox*>(QStringLiteral("runtimeErrorMessage"));
}

// Dismisses the error message as a user would, and says what it named.
QString dismissError(tb::MainWindow& window)
{
    QMessageBox* box = errorMessage(window);
    if (box == nullptr)
        return {};
    const QString text = box->text();
    QTest::keyClick(box, Qt::Key_Return);
    if (!QTest::qWaitFor([&window] { return errorMessage(window) == nullptr; }))
        return QStringLiteral("message not dismissed");
    return text;
}

} // namespace

class TestCalculate : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QApplication::setStyle(new CursorInSelectionStyle);
    }
    void operatingPoints_data();
    void operatingPoints();
    void repeatedPressesGiveTheSameTexts();
    void typedCalculatedValuesAreOverwritten();
    void indicatorTextIsLeftAlone();
    void fieldsSelectedAndFocusedAfterwards();
    void resultsUseTheLocaleSeparator();
    void zeroLoadIsReportedAndTheProgramGoesOn();
    void tickCountOverflowBeforeTheIndicatorChanges();
    void tickCountTiesRoundToEven();
};

void TestCalculate::operatingPoints_data()
{
    QTest::addColumn<QStringList>("required"); // fields 0 to 4
    QTest::addColumn<QList<double>>("inputs"); // what they read as
    QTest::addColumn<QColor>("indicator");
    // Every field matters here, Ebk through the clipping.
    QTest::newRow("clipping, typed leniently")
        << QStringList{"4 0 0 V", "60volts", "4000", "3e2", "50 mA"}
        << QList<double>{400, 60, 4000, 300, 50} << Red;
    // Whole results: "40", not "40.000".
    QTest::newRow("empty drive field")
        << QStringList{"400", "50", "8", "", "100"} << QList<double>{400, 50, 8, 0, 100} << Green;
}

void TestCalculate::operatingPoints()
{
    QFETCH(QStringList, required);
    QFETCH(QList<double>, inputs);
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    for (int i = 0; i < required.size(); ++i)
        h.type(i, required[i]);
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString());
    QCOMPARE(shownTexts(h), modelTexts(inputs));
    QTEST(h.indicatorColor(), "indicator");
}

void TestCalculate::repeatedPressesGiveTheSameTexts()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(3, "300");
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString());
    const QStringList first = shownTexts(h);
    h.clickCalculate();
    QCOMPARE(shownTexts(h), first);
}

void TestCalculate::typedCalculatedValuesAreOverwritten()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(5, "1e308");
    h.type(6, "junk");
    h.clickCalculate();
    QCOMPARE(shownTexts(h), modelTexts(firstRunInputs));
}

void TestCalculate::indicatorTextIsLeftAlone()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(16, "1e999 typed here");
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString());
    QCOMPARE(h.field(16)->text(), QString("1e999 typed here"));
    QCOMPARE(h.indicatorColor(), Green);
}

void TestCalculate::fieldsSelectedAndFocusedAfterwards()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(3, "200"); // a field that has had the focus before
    h.type(16, "x");
    h.clickCalculate();
    QCOMPARE(QApplication::focusWidget(), h.field(0));
    for (int i = 1; i < 16; ++i) {
        QLineEdit* f = h.field(i);
        QCOMPARE(f->selectionStart(), f->text().isEmpty() ? -1 : 0);
        QCOMPARE(f->selectedText(), f->text());
    }
    QCOMPARE(h.field(16)->selectedText(), QString());

    // Only the focused field shows its selection.
    const auto shows = [](QLineEdit* f) {
        return f->palette().color(QPalette::Highlight) != f->palette().color(QPalette::Base);
    };
    QVERIFY(shows(h.field(0)));
    QVERIFY(!shows(h.field(3)));
    QVERIFY(!shows(h.field(8))); // one that never had the focus
    // Neither highlight nor text cursor: it looks as if nothing were selected.
    const QImage selected = h.field(3)->grab().toImage();
    h.field(3)->deselect();
    QCOMPARE(h.field(3)->grab().toImage(), selected);
    h.field(3)->setSelection(0, 99);
    QTest::keyClick(h.field(0), Qt::Key_Tab);
    QVERIFY(!shows(h.field(0)));
    QVERIFY(shows(h.field(1)));
    QCOMPARE(h.field(1)->selectedText(), h.field(1)->text());
    QVERIFY(!shows(h.field(16)));
    QCOMPARE(h.indicatorColor(), Green);
}

void TestCalculate::resultsUseTheLocaleSeparator()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const tb::test::DefaultLocale guard(german);
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.clickCalculate();
    QCOMPARE(shownTexts(h), modelTexts(firstRunInputs, german));
}

void TestCalculate::zeroLoadIsReportedAndTheProgramGoesOn()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(5, "old 5");
    h.type(6, "old 6");
    h.type(7, "old 7");
    h.type(2, "0");
    h.clickCalculate();

    QCOMPARE(dismissError(h.window()), QString("Division by zero"));
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.indicatorColor(), Green); // it had turned green before the fault
    QCOMPARE(h.field(5)->text(), QString("old 5"));
    QCOMPARE(h.field(6)->text(), QString("old 6"));
    QCOMPARE(h.field(7)->text(), QString("old 7"));
    QCOMPARE(h.field(2)->text(), QString("0"));

    // The user mends the typo and carries on.
    h.type(2, "4000");
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString());
    QCOMPARE(shownTexts(h), modelTexts(firstRunInputs));
}

void TestCalculate::tickCountOverflowBeforeTheIndicatorChanges()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    const QColor untouched = h.indicatorColor();
    for (int tickField : {10, 11, 14, 15}) {
        const QString kept = h.field(tickField)->text();
        h.type(tickField, "40000");
        h.clickCalculate();
        QCOMPARE(dismissError(h.window()), QString("Overflow"));
        QCOMPARE(h.indicatorColor(), untouched);
        QCOMPARE(h.field(5)->text(), QString());
        QCOMPARE(h.field(tickField)->text(), QString("40000"));
        h.type(tickField, kept);
    }
}

void TestCalculate::tickCountTiesRoundToEven()
{
    // One labeled tick, or no minor tick, makes no tick interval: a division
    // by zero in the graph. So 1.5 must round up to 2 and 0.5 down to 0.
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(10, "1.5");
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString());
    h.type(10, "1.4999");
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString("Division by zero"));
    h.type(10, "3.5");
    h.type(11, "0.5"); // 0 minor ticks: no intervals either
    h.clickCalculate();
    QCOMPARE(dismissError(h.window()), QString("Division by zero"));
}

QTEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
