#pragma once

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;

namespace tb {

// Sets what an assistive technology reads as the widget's description; it
// hears of a change, and only of a change.
void setDescription(QWidget& widget, const QString& description);

// Qt's accessibility factory for this program's own widgets: the fields and
// a window that Qt would show as a mere filler. Returns nothing for any other
// object, which Qt then describes itself.
[[nodiscard]] QAccessibleInterface* accessibleInterfaceFor(const QString& className,
                                                           QObject* object);

// Installs accessibleInterfaceFor; before any window exists, so that no
// interface Qt made itself is cached first.
void installAccessibleInterfaces();

} // namespace tb
