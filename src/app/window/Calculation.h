#pragma once

#include "GraphSettings.h"
#include "StageVariables.h"

#include <QString>
#include <QStringList>

#include <array>
#include <exception>
#include <optional>

namespace tb {

// What one press of "Calculate" makes of the field texts, as far as it got:
// each step is in the outcome once it has run, and none after the step that
// stopped it.
struct CalculationOutcome {
    // Whether the drive clipped, once the sweep has begun: false, then true
    // from the first clipping sample on.
    std::optional<bool> clipped;

    // Once the sweep has ended: the texts of the three calculated values,
    // and what the graph is drawn from.
    struct Results {
        std::array<QString, 3> texts;
        GraphSettings graph;
        StageVariables stage;
    };
    std::optional<Results> results;

    // What stopped it (a run-time error), or nothing.
    std::exception_ptr error;
};

// Reads the required data and the graph scales from the texts of the
// persisted fields, sweeps one cycle and writes the averages rounded to three
// decimals with the given decimal separator.
[[nodiscard]] CalculationOutcome calculate(const QStringList& fieldTexts,
                                           const QString& decimalSeparator);

// What a screen reader says of the graph, for a person who cannot see it.
[[nodiscard]] QString graphDescription(const GraphSettings& graph, const QString& decimalSeparator);

} // namespace tb
