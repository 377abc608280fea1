#pragma once

#include <QList>
#include <QString>

class QAccessibleInterface;
class QObject;
class QWidget;
struct QMetaObject;

namespace tb {

// A field's caption with the text it holds.
struct CaptionedValue {
    QString caption;
    QString value;
};

// Set what an assistive technology reads as the widget's name or its
// description; it hears of a change, and only of a change.
void setName(QWidget& widget, const QString& name);
void setDescription(QWidget& widget, const QString& description);

// The clipping indicator's state in words, for those who cannot see its
// colour: "Not calculated yet", "No clipping" or "Clipping".
enum class ClippingState { NotCalculatedYet, NoClipping, Clipping };
[[nodiscard]] QString clippingWords(ClippingState state);

// A name that holds a state in words after the caption: "Clipping: No
// clipping". A screen reader may leave out a description that looks like the
// name ("No clipping" beside "Clipping"), so a state it must never miss goes
// into the name.
[[nodiscard]] QString captionWithState(const QString& caption, const QString& state);

// The sentence a screen reader speaks after "Calculate": each result with its
// caption, then the clipping state.
[[nodiscard]] QString outcomeSentence(const QList<CaptionedValue>& results,
                                      const QString& clipping);

// Qt's accessibility factory for this program's own widgets: the fields (line
// edits of the class installed below), the announcement, and a window that
// Qt would show as a mere filler. Returns nothing for any other object,
// which Qt then describes itself.
[[nodiscard]] QAccessibleInterface* accessibleInterfaceFor(const QString& className,
                                                           QObject* object);

// Installs accessibleInterfaceFor, with fieldClass the class of the fields (a
// QLineEdit); before any window exists, so that no interface Qt made itself
// is cached first.
void installAccessibleInterfaces(const QMetaObject& fieldClass);

} // namespace tb
