#pragma once

#include "GraphView.h"
#include "WindowHarness.h"

// The first-run example laid out in a 1000 x 700 form: the box is
// 950 x 336, so plotLeft is 74, plotBottom 292 and tickUnit 2; the legend
// lines run from x = 74 + 237 + 237 = 548 to 74 + 237 + 295 = 606 at
// y = 30, 59, 89. The lattice has 30 columns 29.2 apart and 30 rows 9.7333
// apart, every fifth one labeled.
class LaidOutWindow {
public:
    LaidOutWindow()
    {
        h.window().setWindowState(Qt::WindowNoState);
        h.resizeForm(1000, 700);
    }
    [[nodiscard]] bool show() { return h.showAndLayOut(); }
    [[nodiscard]] tb::GraphView& box()
    {
        return *h.window().findChild<tb::GraphView*>(QStringLiteral("graphView"));
    }
    WindowHarness h;
};
