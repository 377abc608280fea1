#include "FieldEdit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProxyStyle>

#include <algorithm>

namespace tb {

namespace {

// A line edit that gets a selection shows a text cursor with it, focused or
// not; this keeps the cursor to the focused field.
class FocusedCursorStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_BlinkCursorWhenTextSelected && widget != nullptr && !widget->hasFocus())
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One instance serves every field: each proxy would build a base style of its own.
QStyle* focusedCursorStyle()
{
    static QPointer<FocusedCursorStyle> style;
    if (style.isNull()) {
        style = new FocusedCursorStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// The palette of an unfocused field: its selection in the field's own colours.
// Fields of one look share one palette, so that the style draws their frames
// once and reuses the drawing.
QPalette selectionHidden(const QPalette& normal)
{
    static bool made = false;
    static QPalette lastNormal;
    static QPalette lastHidden;
    if (!made || !(normal == lastNormal)) {
        made = true;
        lastNormal = normal;
        lastHidden = normal;
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            lastHidden.setColor(group, QPalette::Highlight, normal.color(group, QPalette::Base));
            lastHidden.setColor(group, QPalette::HighlightedText,
                                normal.color(group, QPalette::Text));
        }
    }
    return lastHidden;
}

} // namespace

FieldEdit::FieldEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_normal(palette())
{
    setStyle(focusedCursorStyle());
    updateSelectionColors();
}

void FieldEdit::setResult(const QString& text)
{
    if (this->text() == text && !isModified() && !isUndoAvailable())
        return;
    setText(text);
}

void FieldEdit::selectFromStart(int length)
{
    const int end = std::min(length, static_cast<int>(text().size()));
    if (selectionStart() == (end > 0 ? 0 : -1) && selectionLength() == end &&
        cursorPosition() == end)
        return;
    setSelection(0, length);
}

void FieldEdit::setBackground(const QColor& color)
{
    m_normal.setColor(QPalette::Base, color);
    updateSelectionColors();
}

void FieldEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    updateSelectionColors();
}

void FieldEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    updateSelectionColors();
}

void FieldEdit::updateSelectionColors()
{
    setPalette(hasFocus() ? m_normal : selectionHidden(m_normal));
}

} // namespace tb
