#include "ControlLayout.h"

#include "Rounding.h"

#include <cmath>

namespace tb {

namespace {

LayoutRect rect(double left, double top, double width, double height)
{
    return {static_cast<float>(left), top, width, height};
}

// Rows 0..4 are the required data, 5..7 the calculated values (one step
// lower, below their heading), 8..15 the graph scales in the right column.
void arrangeRow(ControlLayout& layout, int i, double W, double H)
{
    const auto row = static_cast<std::int16_t>(i);
    const std::int16_t c = i >= 8 ? 1 : 0;
    const std::int16_t g = i >= 5 ? 1 : 0;
    const std::int16_t rowNumber = sub16(add16(row, 1), mul16(8, c));
    const std::int16_t offsetSteps = sub16(g, c);

    const double top = 0.0395 * H * rowNumber + 0.0264 * H * offsetSteps;
    const auto k = static_cast<std::size_t>(i);
    layout.fields[k] = rect(0.56 * W * c + 0.283 * W, top, 0.139 * W, 0.0265 * H);
    layout.captions[k] =
        rect(0.572 * W * c + 0.0126 * W, top, 0.265 * W - 0.0151 * W * c, 0.03 * H);
}

} // namespace

ControlLayout arrangeControls(double clientWidth, double clientHeight)
{
    ControlLayout layout;
    layout.FormWidth = toInt16(clientWidth);
    layout.FormHeight = toInt16(clientHeight);
    const double W = layout.FormWidth;
    const double H = layout.FormHeight;
    layout.FontSize = std::floor(H / 70.0 + 0.5);

    layout.requiredHeading = rect(0.283 * W, 0.00658979 * H, 0.25718 * W, 0.028 * H);
    layout.calculatedHeading = rect(0.283 * W, 0.237232 * H, 0.166744 * W, 0.028 * H);
    layout.scalesHeading = rect(0.75 * W, 0.00659 * H, 0.25 * W, 0.028 * H);
    layout.note = rect(0.05 * W, 0.408 * H, 0.7 * W, 0.028 * H);
    layout.graph = rect(0.03 * W, 0.45 * H, 0.95 * W, 0.48 * H);
    for (int i = 0; i < ControlLayout::RowCount; ++i)
        arrangeRow(layout, i, W, H);
    layout.indicator = rect(0.528 * W, 0.303 * H, 0.0259 * W, 0.028 * H);
    layout.indicatorCaption = rect(0.453 * W, 0.303 * H, 0.07 * W, 0.028 * H);
    layout.calculate = rect(0.465 * W, 0.0314 * H, 0.101 * W, 0.0807 * H);
    layout.end = rect(0.465 * W, 0.184 * H, 0.101 * W, 0.0807 * H);
    return layout;
}

} // namespace tb
