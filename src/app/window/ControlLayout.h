#pragma once

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
    static constexpr int RowCount = 16;

    std::int16_t FormWidth = 0;
    std::int16_t FormHeight = 0;
    double FontSize = 0.0; // F, in points

    LayoutRect requiredHeading;                  // Label2
    LayoutRect calculatedHeading;                // Label3
    LayoutRect scalesHeading;                    // Label4
    LayoutRect note;                             // Label5
    LayoutRect graph;                            // PGraph
    std::array<LayoutRect, RowCount> fields{};   // Text1(0..15)
    std::array<LayoutRect, RowCount> captions{}; // Label1(0..15)
    LayoutRect indicator;                        // Text1(16)
    LayoutRect indicatorCaption;                 // Label1(16)
    LayoutRect calculate;                        // Command1
    LayoutRect end;                              // Command2
};

// Raises the overflow error when a client size does not fit 16 bits.
[[nodiscard]] ControlLayout arrangeControls(double clientWidth, double clientHeight);

} // namespace tb
