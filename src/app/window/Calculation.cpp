#include "Calculation.h"

#include "Fields.h"
#include "LenientParse.h"
#include "NumberText.h"
#include "Rounding.h"
#include "Sweep.h"

namespace tb {

namespace {

[[nodiscard]] QString resultText(double value, const QString& decimalSeparator)
{
    return QString::fromStdString(
        numberToText(roundToDecimals(value, 3), decimalSeparator.toStdString()));
}

// The steps in their order: an error leaves in the outcome what ran before it.
void run(CalculationOutcome& outcome, const QStringList& texts, const QString& decimalSeparator)
{
    const auto number = [&texts](Field field) {
        return parseNumber(texts.value(indexOf(field)).toStdString());
    };
    StageVariables stage;
    stage.supplyVolts = number(Field::SupplyVoltage);
    stage.ebkVolts = number(Field::EbkSaturation);
    stage.loadOhms = number(Field::LoadImpedance);
    stage.driveRmsVolts = number(Field::DriveRms);
    stage.idleAmps = idleAmpsFromMilliamps(number(Field::IdlingCurrent));

    GraphSettings graph;
    graph.xAxisMin = number(Field::XAxisMin);
    graph.xAxisMax = number(Field::XAxisMax);
    graph.xLabeledTicks = toInt16(number(Field::XLabeledTicks));
    graph.xMinorTicks = toInt16(number(Field::XMinorTicks));
    graph.yAxisMin = number(Field::YAxisMin);
    graph.yAxisMax = number(Field::YAxisMax);
    graph.yLabeledTicks = toInt16(number(Field::YLabeledTicks));
    graph.yMinorTicks = toInt16(number(Field::YMinorTicks));

    outcome.clipped = false;
    stage.gridPeakVolts = gridPeakVoltsFromRms(stage.driveRmsVolts);
    const OperatingPoint point = sweepCycle(stage, [&outcome] { outcome.clipped = true; });
    outcome.results =
        CalculationOutcome::Results{{resultText(point.plateDissipationWatts, decimalSeparator),
                                     resultText(point.loadPowerWatts, decimalSeparator),
                                     resultText(point.supplyMilliamps, decimalSeparator)},
                                    graph,
                                    stage};
}

} // namespace

CalculationOutcome calculate(const QStringList& fieldTexts, const QString& decimalSeparator)
{
    CalculationOutcome outcome;
    try {
        run(outcome, fieldTexts, decimalSeparator);
    } catch (...) {
        outcome.error = std::current_exception();
    }
    return outcome;
}

QString graphDescription(const GraphSettings& graph, const QString& decimalSeparator)
{
    const auto text = [&decimalSeparator](double value) {
        return QString::fromStdString(numberToText(value, decimalSeparator.toStdString()));
    };
    return QStringLiteral(
               "Load voltage, V1 and V2 cathode currents from %1 to %2 degrees, %3 to %4")
        .arg(text(graph.xAxisMin), text(graph.xAxisMax), text(graph.yAxisMin),
             text(graph.yAxisMax));
}

} // namespace tb
