#pragma once

class QString;
class QWidget;

namespace tb {

// Sets what an assistive technology reads as the widget's description and,
// when it changes, tells the assistive technology so.
void setDescription(QWidget& widget, const QString& description);

} // namespace tb
