#include "FormHarness.h"

#include <QAccessible>
#include <QMessageBox>
#include <QTest>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface != nullptr ? iface->text(kind) : QStringLiteral("(not accessible)");
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void fieldNamedByItsCaption_data();
    void fieldNamedByItsCaption();
    void indicatorAndGraphTellWhatTheyShow();
};

void TestAccessibility::fieldNamedByItsCaption_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    const char* const captions[] = {"Power Supply Voltage (volts)",
                                    "Ebk Saturation (Volts)",
                                    "Load Impedance (ohms)",
                                    "RMS g-to-g Drive (volts)",
                                    "Idling Current, Each Tube (mA)",
                                    "Plate Dissipation, Each Tube",
                                    "True Load Power (Watts)",
                                    "mA, Each Power Supply",
                                    "X Axis Minimum Value",
                                    "X Axis Maximum Value",
                                    "Labeled X-axis Tick Marks",
                                    "Minor X-axis Tick Marks",
                                    "Y Axis Minimum Value",
                                    "Y Axis Maximum Value",
                                    "Labeled Y-axis Tick Marks",
                                    "Minor Y-axis Tick Marks",
                                    "Clipping"};
    for (int i = 0; i < 17; ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(captions[i]);
}

void TestAccessibility::fieldNamedByItsCaption()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    FormHarness h;
    QCOMPARE(accessibleText(h.field(index), QAccessible::Name), caption);
    // The caption is the field's label, so a screen reader reads the two together.
    const auto labels =
        QAccessible::queryAccessibleInterface(h.field(index))->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object()->objectName(), QStringLiteral("Label1_%1").arg(index));
}

void TestAccessibility::indicatorAndGraphTellWhatTheyShow()
{
    FormHarness h;
    QVERIFY(h.showAndActivate());
    QWidget* indicator = h.field(16);
    auto* graph = h.form().findChild<QWidget*>(QStringLiteral("PGraph"));
    const auto described = [](QWidget* w) { return accessibleText(w, QAccessible::Description); };
    QCOMPARE(accessibleText(graph, QAccessible::Name), QStringLiteral("Graph"));
    QCOMPARE(described(indicator), QStringLiteral("Not calculated yet"));
    QCOMPARE(described(graph), QString());

    h.clickCalculate(); // the first-run example does not clip
    QCOMPARE(described(indicator), QStringLiteral("No clipping"));
    QCOMPARE(described(graph), QStringLiteral("Load voltage, V1 and V2 cathode currents from 0 "
                                              "to 360 degrees, -300 to 300"));

    h.type(3, "300"); // a drive that clips
    h.type(8, "-90.5");
    h.type(13, "1e3");
    h.clickCalculate();
    QCOMPARE(described(indicator), QStringLiteral("Clipping"));
    QCOMPARE(described(graph), QStringLiteral("Load voltage, V1 and V2 cathode currents from "
                                              "-90.5 to 360 degrees, -300 to 1000"));

    h.type(3, "200");
    h.type(9, "-90.5"); // no X range: the pass stops before it draws
    h.clickCalculate();
    QVERIFY(h.form().findChild<QMessageBox*>(QStringLiteral("RuntimeErrorMessage")) != nullptr);
    QCOMPARE(described(indicator), QStringLiteral("No clipping"));
    QCOMPARE(described(graph), QString()); // the box is black and empty
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
