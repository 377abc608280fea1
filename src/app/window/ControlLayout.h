#pragma once

#include "Fields.h"

#include <QRect>

#include <array>
#include <cstdint>

namespace tb {

// A control's place in pixels as the proportional layout computes it:
// left in single precision, the rest in double, not yet rounded.
struct LayoutRect {
    float left = 0.0F;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// Where the one-time layout puts every control for a given client size, and
// the common font size F. Kept apart from the widgets so it can be checked
// for any size.
struct ControlLayout {
    std::int16_t clientWidth = 0;
    std::int16_t clientHeight = 0;
    double fontPoints = 0.0; // F

    LayoutRect requiredHeading;
    LayoutRect calculatedHeading;
    LayoutRect scalesHeading;
    LayoutRect note;
    LayoutRect graph;
    // The persisted fields and their captions, by field index.
    std::array<LayoutRect, PersistedFieldCount> fields{};
    std::array<LayoutRect, PersistedFieldCount> captions{};
    LayoutRect indicator;
    LayoutRect indicatorCaption;
    LayoutRect calculateButton;
    LayoutRect endButton;
};

// A place in the toolkit's whole pixels, each value rounded to the nearest.
[[nodiscard]] QRect toRect(const LayoutRect& r);

// Raises the overflow error when a client size does not fit 16 bits.
[[nodiscard]] ControlLayout computeLayout(double clientWidth, double clientHeight);

} // namespace tb
