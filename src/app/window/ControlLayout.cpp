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
// w and h: the client width and height.
void placeRow(ControlLayout& layout, int i, double w, double h)
{
    const auto row = static_cast<std::int16_t>(i);
    const std::int16_t c = i >= 8 ? 1 : 0;
    const std::int16_t g = i >= 5 ? 1 : 0;
    const std::int16_t rowNumber = sub16(add16(row, 1), mul16(8, c));
    const std::int16_t offsetSteps = sub16(g, c);

    const double top = 0.0395 * h * rowNumber + 0.0264 * h * offsetSteps;
    const auto k = static_cast<std::size_t>(i);
    layout.fields[k] = rect(0.56 * w * c + 0.283 * w, top, 0.139 * w, 0.0265 * h);
    layout.captions[k] =
        rect(0.572 * w * c + 0.0126 * w, top, 0.265 * w - 0.0151 * w * c, 0.03 * h);
}

} // namespace

QRect toRect(const LayoutRect& r)
{
    return {static_cast<int>(std::lround(r.left)), static_cast<int>(std::lround(r.top)),
            static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height))};
}

ControlLayout computeLayout(double clientWidth, double clientHeight)
{
    ControlLayout layout;
    layout.clientWidth = toInt16(clientWidth);
    layout.clientHeight = toInt16(clientHeight);
    const double w = layout.clientWidth;
    const double h = layout.clientHeight;
    layout.fontPoints = std::floor(h / 70.0 + 0.5);

    layout.requiredHeading = rect(0.283 * w, 0.00658979 * h, 0.25718 * w, 0.028 * h);
    layout.calculatedHeading = rect(0.283 * w, 0.237232 * h, 0.166744 * w, 0.028 * h);
    layout.scalesHeading = rect(0.75 * w, 0.00659 * h, 0.25 * w, 0.028 * h);
    layout.note = rect(0.05 * w, 0.408 * h, 0.7 * w, 0.028 * h);
    layout.graph = rect(0.03 * w, 0.45 * h, 0.95 * w, 0.48 * h);
    for (int i = 0; i < PersistedFieldCount; ++i)
        placeRow(layout, i, w, h);
    layout.indicator = rect(0.528 * w, 0.303 * h, 0.0259 * w, 0.028 * h);
    layout.indicatorCaption = rect(0.453 * w, 0.303 * h, 0.07 * w, 0.028 * h);
    layout.calculateButton = rect(0.465 * w, 0.0314 * h, 0.101 * w, 0.0807 * h);
    layout.endButton = rect(0.465 * w, 0.184 * h, 0.101 * w, 0.0807 * h);
    return layout;
}

} // namespace tb
