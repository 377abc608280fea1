#include "Accessibility.h"

#include <QString>
#include <QWidget>

namespace tb {

void setDescription(QWidget& widget, const QString& description)
{
    // Qt sends its event even when the text stays the same.
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
}

} // namespace tb
