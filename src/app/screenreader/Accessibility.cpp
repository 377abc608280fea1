#include "Accessibility.h"

#include "AccessibleFieldEdit.h"
#include "Announcement.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace tb {

namespace {

// The fields' class: Qt's factory is a plain function, so it is kept here.
const QMetaObject* fields = nullptr;

} // namespace

void setName(QWidget& widget, const QString& name)
{
    // Qt may send its event even when the text stays the same.
    if (widget.accessibleName() != name)
        widget.setAccessibleName(name);
}

void setDescription(QWidget& widget, const QString& description)
{
    // Qt sends its event even when the text stays the same.
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
}

QString clippingWords(ClippingState state)
{
    switch (state) {
    case ClippingState::NoClipping:
        return QStringLiteral("No clipping");
    case ClippingState::Clipping:
        return QStringLiteral("Clipping");
    case ClippingState::NotCalculatedYet:
        break;
    }
    return QStringLiteral("Not calculated yet");
}

QString captionWithState(const QString& caption, const QString& state)
{
    return QStringLiteral("%1: %2").arg(caption, state);
}

QString outcomeSentence(const QList<CaptionedValue>& results, const QString& clipping)
{
    // The captions hold commas, so each result is a sentence of its own.
    QStringList sentences;
    for (const CaptionedValue& result : results)
        sentences.append(QStringLiteral("%1: %2.").arg(result.caption, result.value));
    sentences.append(clipping + QLatin1Char('.'));
    return sentences.join(QLatin1Char(' '));
}

QAccessibleInterface* accessibleInterfaceFor(const QString& className, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (fields != nullptr && className == QLatin1String(fields->className()))
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            return new AccessibleFieldEdit(field);
    if (className == QLatin1String(Announcement::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    // Qt asks for the plain QWidget last, once nothing more specific matched.
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

void installAccessibleInterfaces(const QMetaObject& fieldClass)
{
    fields = &fieldClass;
    QAccessible::installFactory(accessibleInterfaceFor);
}

} // namespace tb
