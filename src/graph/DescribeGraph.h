#pragma once

#include "GraphPicture.h"

namespace tb {

struct GraphSettings;
struct StageVariables;
class TextMeasure;

// The drawing of one "Calculate" in a view of the given size, every trace
// sample computed before anything is painted. A run-time error ends the
// description where it arises, kept in its error field.
[[nodiscard]] GraphPicture describeGraph(const GraphSettings& settings, const StageVariables& vars,
                                         QSizeF size, const TextMeasure& measure);

} // namespace tb
