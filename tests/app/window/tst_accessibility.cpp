// What a screen reader meets in the window: every field named by its caption,
// the indicator and the graph saying what they show, the outcome of a press.
#include "Accessibility.h"
#include "FieldEdit.h"
#include "WindowHarness.h"

#include "TextRanges.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

using tb::test::range;
using tb::test::rectText;

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind)
{
    return QAccessible::queryAccessibleInterface(object)->text(kind);
}

QAccessibleInterface* child(QAccessibleInterface* parent, QAccessible::Role role)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->role() == role)
            return parent->child(i);
    return nullptr;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void fieldNamedByItsCaption_data();
    void fieldNamedByItsCaption();
    void indicatorAndGraphSayWhatTheyShow();
    void windowNamedAsFrame();
    void selectionReportedOnlyWhereShown();
    void pressAnnouncesTheOutcome_data();
    void pressAnnouncesTheOutcome();
    void announcementTakesNoRoomNorFocus();
};

void TestAccessibility::initTestCase()
{
    tb::installAccessibleInterfaces(tb::FieldEdit::staticMetaObject);
}

void TestAccessibility::fieldNamedByItsCaption_data()
{
    QTest::addColumn<int>("index");
    // The clipping indicator, field 16, is named with its state.
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%d", i) << i;
}

void TestAccessibility::fieldNamedByItsCaption()
{
    QFETCH(int, index);
    WindowHarness h;
    // The caption, as shown, is the field's label and its name.
    const auto labels =
        QAccessible::queryAccessibleInterface(h.field(index))->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    const auto* caption = qobject_cast<QLabel*>(labels.first().first->object());
    QVERIFY(caption != nullptr);
    QCOMPARE(caption, h.caption(index));
    QCOMPARE(accessibleText(h.field(index), QAccessible::Name), caption->text());
}

void TestAccessibility::indicatorAndGraphSayWhatTheyShow()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    QObject* indicator = h.field(16);
    QObject* graph = h.window().findChild<QWidget*>(QStringLiteral("graphView"));
    // The indicator's name, then its description (a screen reader may drop
    // one that looks like the name), then the graph's description.
    const auto state = [indicator, graph] {
        return accessibleText(indicator, QAccessible::Name) + " | " +
               accessibleText(indicator, QAccessible::Description) + " | " +
               accessibleText(graph, QAccessible::Description);
    };
    // No label either: a screen reader reads a label in place of the name.
    QCOMPARE(QAccessible::queryAccessibleInterface(indicator)->relations(QAccessible::Label).size(),
             0);
    QCOMPARE(accessibleText(graph, QAccessible::Name), QStringLiteral("Graph"));
    QCOMPARE(state(), QStringLiteral("Clipping: Not calculated yet |  | "));

    h.clickCalculate(); // the first-run example does not clip
    QCOMPARE(state(), QStringLiteral("Clipping: No clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from 0 to 360 degrees, -300 to 300"));

    h.type(3, "300"); // a drive that clips
    h.type(8, "-90.5");
    h.type(13, "1e3");
    h.clickCalculate();
    QCOMPARE(state(), QStringLiteral("Clipping: Clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from -90.5 to 360 degrees, -300 to 1000"));

    h.type(9, "-90.5"); // an empty X range stops the pass before it draws
    h.clickCalculate();
    QVERIFY(h.window().findChild<QMessageBox*>(QStringLiteral("runtimeErrorMessage")) != nullptr);
    QCOMPARE(state(), QStringLiteral("Clipping: Clipping |  | "));

    h.type(3, "200"); // no clipping again
    h.type(9, "360");
    h.clickCalculate();
    QCOMPARE(state(), QStringLiteral("Clipping: No clipping |  | Load voltage, V1 and V2 cathode "
                                     "currents from -90.5 to 360 degrees, -300 to 1000"));
}

void TestAccessibility::windowNamedAsFrame()
{
    WindowHarness h;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&h.window());
    QCOMPARE(window->role(), QAccessible::Window); // a frame to AT-SPI
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tubebridge"));
}

void TestAccessibility::selectionReportedOnlyWhereShown()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    h.type(3, "200");
    h.clickCalculate(); // selects every field, focuses field 0
    const auto selection = [&h](int index) {
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(h.field(index))->textInterface();
        int start = 0;
        int end = 0;
        text->selection(0, &start, &end);
        return QStringLiteral("%1 %2").arg(text->selectionCount()).arg(range(start, end));
    };
    QCOMPARE(selection(0), QStringLiteral("1 0-3"));
    QCOMPARE(selection(3), QStringLiteral("0 -1--1"));
}

void TestAccessibility::pressAnnouncesTheOutcome_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("sentence");
    QTest::addRow("green") << "200"
                           << "Plate Dissipation, Each Tube: 13.568. True Load Power (Watts): "
                              "7.225. mA, Each Power Supply: 51.254. No clipping.";
    QTest::addRow("red") << "300"
                         << "Plate Dissipation, Each Tube: 9.921. True Load Power (Watts): "
                            "15.739. mA, Each Power Supply: 57.865. Clipping.";
}

void TestAccessibility::pressAnnouncesTheOutcome()
{
    QFETCH(QString, drive);
    WindowHarness h; // the first run: 400 V, 60 V, 4000 ohms, 50 mA
    QVERIFY(h.showAndActivate());
    h.type(3, drive);
    h.clickCalculate();
    QAccessibleInterface* notification =
        child(QAccessible::queryAccessibleInterface(&h.window()), QAccessible::Notification);
    QVERIFY(notification != nullptr);
    QTEST(notification->text(QAccessible::Name), "sentence");
}

void TestAccessibility::announcementTakesNoRoomNorFocus()
{
    WindowHarness h;
    QVERIFY(h.showAndActivate());
    QAccessibleInterface* notification =
        child(QAccessible::queryAccessibleInterface(&h.window()), QAccessible::Notification);
    QVERIFY(notification != nullptr);
    const QAccessible::State state = notification->state();
    QVERIFY2(!state.invisible, "a screen reader speaks only what is shown");
    QVERIFY(!state.focusable);
    QVERIFY2(notification->rect().isEmpty(), qPrintable(rectText(notification->rect())));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
