#include "Calculation.h"
#include "ExceptionText.h"

#include <QTest>

namespace {

// The field texts of the required data (fields 0 to 4) with the first run's
// graph scales.
QStringList fields(const QStringList& required)
{
    return required + QStringList{"", "", "", "0", "360", "7", "5", "-300", "300", "7", "5"};
}

QString clippingName(const std::optional<bool>& clipped)
{
    if (!clipped)
        return QStringLiteral("none");
    return *clipped ? QStringLiteral("clipped") : QStringLiteral("no clipping");
}

} // namespace

class TestCalculation : public QObject {
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
};

void TestCalculation::outcome_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("clipping");
    QTest::addColumn<QStringList>("results"); // empty when the sweep did not end
    QTest::addColumn<QString>("error");
    QTest::newRow("worked example")
        << fields({"400", "60", "4000", "200", "50"}) << "."
        << "no clipping" << QStringList{"13.568", "7.225", "51.254"} << "";
    QTest::newRow("worked example, decimal comma")
        << fields({"400", "60", "4000", "200", "50"}) << ","
        << "no clipping" << QStringList{"13,568", "7,225", "51,254"} << "";
    QTest::newRow("drive 300 clips") << fields({"400", "60", "4000", "300", "50"}) << "."
                                     << "clipped" << QStringList{"9.921", "15.739", "57.865"} << "";
    QTest::newRow("Ebk above the supply") << fields({"300", "400", "4000", "200", "50"}) << "."
                                          << "clipped" << QStringList{"15", "0", "50"} << "";
    QTest::newRow("no drive") << fields({"400", "50", "8", "", "100"}) << "."
                              << "no clipping" << QStringList{"40", "0", "100"} << "";
    // The sweep had begun, with no clipping, when the first sample faulted.
    QTest::newRow("load 0 ohms") << fields({"400", "60", "0", "200", "50"}) << "."
                                 << "no clipping" << QStringList{} << "Division by zero";
    QStringList tickOverflow = fields({"400", "60", "4000", "200", "50"});
    tickOverflow[10] = QStringLiteral("40000");
    QTest::newRow("tick count beyond 16 bits") << tickOverflow << "."
                                               << "none" << QStringList{} << "Overflow";
}

void TestCalculation::outcome()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, separator);
    QFETCH(QStringList, results);
    const tb::CalculationOutcome outcome = tb::calculate(texts, separator);
    QTEST(clippingName(outcome.clipped), "clipping");
    QTEST(outcome.error ? tb::exceptionText(outcome.error) : QString(), "error");
    QCOMPARE(outcome.results.has_value(), !results.isEmpty());
    if (!outcome.results)
        return;
    const auto& texts3 = outcome.results->texts;
    QCOMPARE(QStringList(texts3.begin(), texts3.end()), results);
    // What the graph is drawn from: the scales and the stage as read.
    QCOMPARE(outcome.results->graph.xAxisMax, 360.0);
    QCOMPARE(outcome.results->graph.yMinorTicks, 5);
    QCOMPARE(outcome.results->stage.supplyVolts, texts[0].toDouble());
}

QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
