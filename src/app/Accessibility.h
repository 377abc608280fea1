#pragma once

class QString;
class QWidget;

namespace tb {

// Sets what an assistive technology reads as the widget's description; it
// hears of a change, and only of a change.
void setDescription(QWidget& widget, const QString& description);

} // namespace tb
