#pragma once

#include <cstdint>

namespace tb {

// The eight graph scales "Calculate" reads from fields 8 to 15.
struct GraphSettings {
    double XAxisMin = 0.0;
    double XAxisMax = 0.0;
    std::int16_t XLabeledTicks = 0;
    std::int16_t XMinorTicks = 0;
    double YAxisMin = 0.0;
    double YAxisMax = 0.0;
    std::int16_t YLabeledTicks = 0;
    std::int16_t YMinorTicks = 0;
};

} // namespace tb
