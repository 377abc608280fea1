#include "WindowHarness.h"

#include <QFontInfo>
#include <QLabel>
#include <QTest>

// The window as it is built, before the first layout moves anything.
class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void fieldsAndCaptions_data();
    void fieldsAndCaptions();
    void headingsButtonsAndBox();
    void fonts();
    void windowCaptionAndIcon();
    void maximisedAtStart();
    void firstRunFillsTheWorkedExample();
    void tabOrder();
    void enterPressesNothing();
};

void TestWindow::fieldsAndCaptions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("fieldRect");
    QTest::addColumn<QRect>("captionRect");

    // Design units divided by 15; every caption ends 7 pixels left of its field.
    const auto row = [](int i, const char* caption, QRect f, QRect c) {
        QTest::addRow("%d", i) << i << QString::fromLatin1(caption) << f << c;
    };
    row(0, "Power Supply Voltage (volts)", {360, 24, 177, 19}, {120, 24, 233, 17});
    row(1, "Ebk Saturation (Volts)", {360, 48, 177, 19}, {24, 48, 329, 17});
    row(2, "Load Impedance (ohms)", {360, 72, 177, 19}, {168, 72, 185, 17});
    row(3, "RMS g-to-g Drive (volts)", {360, 96, 177, 19}, {16, 96, 337, 17});
    row(4, "Idling Current, Each Tube (mA)", {360, 120, 177, 19}, {56, 120, 297, 17});
    row(5, "Plate Dissipation, Each Tube", {360, 160, 177, 19}, {8, 160, 345, 17});
    row(6, "True Load Power (Watts)", {360, 184, 177, 19}, {32, 184, 321, 17});
    row(7, "mA, Each Power Supply", {360, 208, 177, 19}, {32, 208, 321, 17});
    row(8, "X Axis Minimum Value", {1072, 24, 177, 19}, {744, 24, 321, 17});
    row(9, "X Axis Maximum Value", {1072, 48, 177, 19}, {744, 48, 321, 17});
    row(10, "Labeled X-axis Tick Marks", {1072, 72, 177, 19}, {744, 72, 321, 17});
    row(11, "Minor X-axis Tick Marks", {1072, 96, 177, 19}, {744, 96, 321, 17});
    row(12, "Y Axis Minimum Value", {1072, 120, 177, 19}, {744, 120, 321, 17});
    row(13, "Y Axis Maximum Value", {1072, 144, 177, 19}, {744, 144, 321, 17});
    row(14, "Labeled Y-axis Tick Marks", {1072, 168, 177, 19}, {744, 168, 321, 17});
    row(15, "Minor Y-axis Tick Marks", {1072, 192, 177, 19}, {744, 192, 321, 17});
    row(16, "Clipping", {672, 184, 33, 19}, {576, 184, 89, 17});
}

void TestWindow::fieldsAndCaptions()
{
    QFETCH(int, index);
    WindowHarness h;
    QLineEdit* field = h.field(index);
    QLabel* caption = h.caption(index);
    QVERIFY(field && caption);
    QTEST(caption->text(), "caption");
    QTEST(field->geometry(), "fieldRect");
    QTEST(caption->geometry(), "captionRect");
    QVERIFY(caption->alignment() & Qt::AlignRight);
    QVERIFY(!field->isReadOnly());
    QCOMPARE_GE(field->maxLength(), 1 << 20);
}

void TestWindow::headingsButtonsAndBox()
{
    WindowHarness h;
    const auto label = [&](const char* name) {
        return h.window().findChild<QLabel*>(QLatin1String(name));
    };
    QCOMPARE(label("requiredHeading")->text(), QString("Required Data."));
    QCOMPARE(label("requiredHeading")->geometry(), QRect(360, 0, 273, 17));
    QCOMPARE(label("calculatedHeading")->text(), QString("Calculated Values"));
    QCOMPARE(label("calculatedHeading")->geometry(), QRect(360, 144, 177, 17));
    QCOMPARE(label("scalesHeading")->text(), QString("Graph Scales and Markings."));
    QCOMPARE(label("scalesHeading")->geometry(), QRect(1024, 8, 225, 17));
    QCOMPARE(
        label("note")->text(),
        QString("Note:  Calculated Values do not have to be filled in, although they may be."));
    QCOMPARE(label("note")->geometry(), QRect(64, 248, 641, 17));

    QCOMPARE(h.button("calculateButton")->text(), QString("Calculate"));
    QCOMPARE(h.button("calculateButton")->geometry(), QRect(592, 40, 129, 49));
    QCOMPARE(h.button("endButton")->text(), QString("End"));
    QCOMPARE(h.button("endButton")->geometry(), QRect(592, 112, 129, 49));
    for (const char* name : {"calculateButton", "endButton"}) {
        QVERIFY(!h.button(name)->isDefault());
        QVERIFY(!h.button(name)->autoDefault());
    }

    auto* box = h.window().findChild<QWidget*>(QStringLiteral("graphView"));
    QVERIFY(box);
    QCOMPARE(box->geometry(), QRect(184, 320, 553, 297));
}

void TestWindow::fonts()
{
    WindowHarness h;
    for (QWidget* w : {static_cast<QWidget*>(h.field(0)), static_cast<QWidget*>(h.field(16)),
                       static_cast<QWidget*>(h.window().findChild<QLabel*>("caption3")),
                       static_cast<QWidget*>(h.window().findChild<QLabel*>("note"))}) {
        QCOMPARE(w->font().family(), QString("Courier New"));
        QCOMPARE(w->font().pointSizeF(), 9.75);
        QCOMPARE(w->font().weight(), QFont::Normal);
        QVERIFY(!w->font().italic());
        // Whatever stands in for Courier New must be a fixed-pitch font.
        QVERIFY(QFontInfo(w->font()).fixedPitch());
    }
    QVERIFY(h.button("calculateButton")->font().family() != QString("Courier New"));
}

void TestWindow::windowCaptionAndIcon()
{
    WindowHarness h;
    QCOMPARE(h.window().windowTitle(), QString(" "));
    QVERIFY(h.showAndLayOut());
    QTRY_VERIFY(h.window().windowIcon().availableSizes().contains(QSize(32, 32)));
}

void TestWindow::maximisedAtStart()
{
    WindowHarness h;
    QCOMPARE(h.window().windowState(), Qt::WindowStates(Qt::WindowMaximized));
}

void TestWindow::firstRunFillsTheWorkedExample()
{
    WindowHarness h; // no settings file
    const QStringList expected{"400", "60",  "4000", "200", "50",   "",    "",  "",
                               "0",   "360", "7",    "5",   "-300", "300", "7", "5"};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(h.field(i)->text(), expected[i]);
    QCOMPARE(h.field(16)->text(), QString());
}

void TestWindow::tabOrder()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    QCOMPARE(QApplication::focusWidget(), h.field(0));

    const QStringList expected{"field1",          "field2",    "field3",    "field4",
                               "field8",          "field9",    "field10",   "field11",
                               "field12",         "field13",   "field14",   "field15",
                               "field5",          "field6",    "field7",    "clippingIndicator",
                               "calculateButton", "endButton", "graphView", "field0"};
    QStringList walked;
    for (int k = 0; k < expected.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, expected);
}

void TestWindow::enterPressesNothing()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    const QColor before = h.indicatorColor();
    for (int i : {0, 4, 15}) {
        QTest::keyClick(h.field(i), Qt::Key_Return);
        QTest::keyClick(h.field(i), Qt::Key_Enter);
        QTest::keyClick(h.field(i), Qt::Key_Escape);
    }
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.field(5)->text(), QString());
    QCOMPARE(h.indicatorColor(), before);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
