#include "FieldEdit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProxyStyle>

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

} // namespace

FieldEdit::FieldEdit(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
    , m_normal(palette())
{
    setStyle(focusedCursorStyle());
    updateSelectionColors();
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
    QPalette p = m_normal;
    if (!hasFocus()) {
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Highlight, m_normal.color(group, QPalette::Base));
            p.setColor(group, QPalette::HighlightedText, m_normal.color(group, QPalette::Text));
        }
    }
    setPalette(p);
}

} // namespace tb
