#pragma once

#include <cstdint>

namespace tb {

// The eight graph scales "Calculate" reads from fields 8 to 15.
struct GraphSettings {
    double xAxisMin = 0.0;
    double xAxisMax = 0.0;
    std::int16_t xLabeledTicks = 0;
    std::int16_t xMinorTicks = 0;
    double yAxisMin = 0.0;
    double yAxisMax = 0.0;
    std::int16_t yLabeledTicks = 0;
    std::int16_t yMinorTicks = 0;
};

} // namespace tb
