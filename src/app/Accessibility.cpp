#include "Accessibility.h"

#include "AccessibleFieldEdit.h"
#include "FieldEdit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace tb {

void setDescription(QWidget& widget, const QString& description)
{
    // Qt sends its event even when the text stays the same.
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
}

QAccessibleInterface* accessibleInterfaceFor(const QString& className, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String(FieldEdit::staticMetaObject.className()))
        return new AccessibleFieldEdit(static_cast<FieldEdit*>(widget));
    // Qt asks for the plain QWidget last, once nothing more specific matched.
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

void installAccessibleInterfaces()
{
    QAccessible::installFactory(accessibleInterfaceFor);
}

} // namespace tb
