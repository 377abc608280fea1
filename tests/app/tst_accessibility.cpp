#include "FormHarness.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind)
{
    return QAccessible::queryAccessibleInterface(object)->text(kind);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void fieldNamedByItsCaption_data();
    void fieldNamedByItsCaption();
    void indicatorAndGraphDescribeWhatTheyShow();
};

void TestAccessibility::fieldNamedByItsCaption_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 17; ++i)
        QTest::addRow("%d", i) << i;
}

void TestAccessibility::fieldNamedByItsCaption()
{
    QFETCH(int, index);
    FormHarness h;
    // The caption, as shown, is the field's label and its name.
    const auto labels =
        QAccessible::queryAccessibleInterface(h.field(index))->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    const auto* caption = qobject_cast<QLabel*>(labels.first().first->object());
    QVERIFY(caption != nullptr);
    QCOMPARE(caption->objectName(), QStringLiteral("Label1_%1").arg(index));
    QCOMPARE(accessibleText(h.field(index), QAccessible::Name), caption->text());
}

void TestAccessibility::indicatorAndGraphDescribeWhatTheyShow()
{
    FormHarness h;
    QVERIFY(h.showAndActivate());
    QObject* graph = h.form().findChild<QWidget*>(QStringLiteral("PGraph"));
    const auto state = [&h, graph] {
        return accessibleText(h.field(16), QAccessible::Description) + " | " +
               accessibleText(graph, QAccessible::Description);
    };
    QCOMPARE(accessibleText(h.field(16), QAccessible::Name), QStringLiteral("Clipping"));
    QCOMPARE(accessibleText(graph, QAccessible::Name), QStringLiteral("Graph"));
    QCOMPARE(state(), QStringLiteral("Not calculated yet | "));

    h.clickCalculate(); // the first-run example does not clip
    QCOMPARE(state(), QStringLiteral("No clipping | Load voltage, V1 and V2 cathode currents "
                                     "from 0 to 360 degrees, -300 to 300"));

    h.type(3, "300"); // a drive that clips
    h.type(8, "-90.5");
    h.type(13, "1e3");
    h.clickCalculate();
    QCOMPARE(state(), QStringLiteral("Clipping | Load voltage, V1 and V2 cathode currents "
                                     "from -90.5 to 360 degrees, -300 to 1000"));

    h.type(9, "-90.5"); // an empty X range stops the pass before it draws
    h.clickCalculate();
    QVERIFY(h.form().findChild<QMessageBox*>(QStringLiteral("RuntimeErrorMessage")) != nullptr);
    QCOMPARE(state(), QStringLiteral("Clipping | "));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
