#include "Accessibility.h"

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace tb {

void setDescription(QWidget& widget, const QString& description)
{
    if (widget.accessibleDescription() == description)
        return;
    widget.setAccessibleDescription(description);
    // Setting the text alone sends no event.
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace tb
