#include "Announcement.h"

#include <QAccessible>

namespace tb {

Announcement::Announcement(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
}

void Announcement::announce(const QString& sentence)
{
    setAccessibleName(sentence);
    // A screen reader speaks a notification when it comes to be shown.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace tb
