#pragma once

#include <QList>

class QWidget;

namespace tb {

// Whether a label's or a button's text, in the control's font at points,
// stands whole in it as it renders on the control's screen: within the
// label's contents, or within the style's margins of the button, with two
// device pixels to spare.
[[nodiscard]] bool textFitsAt(const QWidget& control, int points);

// The common font size of the controls: layoutPoints (1 at the least) where
// every text fits there, otherwise the largest whole point size below it at
// which all fit, 1 at the least.
[[nodiscard]] int fittingPointSize(int layoutPoints, const QList<QWidget*>& controls);

// Gives each control's font that point size.
void setPointSize(const QList<QWidget*>& controls, int points);

} // namespace tb
