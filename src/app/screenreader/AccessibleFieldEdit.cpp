#include "AccessibleFieldEdit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace tb {

namespace {

struct TextRange {
    int start = -1;
    int end = -1;
};

// The word or sentence around an offset, found as Qt finds it: back to the
// nearest start or end of an item, then on to the next one. Qt's own search
// never returns where it runs off either end of the text (the word at the end
// of "400", or at the start of "-300"), and the program would hang.
[[nodiscard]] TextRange itemAt(const QString& text, int offset,
                               QTextBoundaryFinder::BoundaryType type)
{
    const int length = static_cast<int>(text.size());
    if (offset == -1)
        offset = length;
    if (text.isEmpty() || offset < 0 || offset > length)
        return {};
    constexpr auto itemEdge = QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem;
    QTextBoundaryFinder finder(type, text);
    finder.setPosition(offset);
    while (!(finder.boundaryReasons() & itemEdge) && finder.toPreviousBoundary() > 0) {
    }
    // Past the start of the text the finder is lost: begin again from there.
    const int start = std::max(static_cast<int>(finder.position()), 0);
    finder.setPosition(start);
    int end = length;
    for (qsizetype next = finder.toNextBoundary(); next >= 0 && next < length;
         next = finder.toNextBoundary()) {
        if (finder.boundaryReasons() & itemEdge) {
            end = static_cast<int>(next);
            break;
        }
    }
    if (start >= end)
        return {};
    return {start, end};
}

} // namespace

AccessibleFieldEdit::AccessibleFieldEdit(QLineEdit* field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit* AccessibleFieldEdit::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

bool AccessibleFieldEdit::selectionShown() const
{
    return lineEdit()->hasFocus();
}

QString AccessibleFieldEdit::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value && !lineEdit()->text().isEmpty())
        return lineEdit()->text();
    return QAccessibleWidget::text(t);
}

void AccessibleFieldEdit::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    lineEdit()->setText(text);
}

QAccessible::State AccessibleFieldEdit::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const QLineEdit* l = lineEdit();
    if (l->isReadOnly())
        state.readOnly = true;
    else
        state.editable = true;
    state.selectableText = true;
    return state;
}

void* AccessibleFieldEdit::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void AccessibleFieldEdit::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0)
        return;
    // As Qt reports a line edit with nothing selected.
    const bool shown = selectionShown();
    *startOffset = shown ? lineEdit()->selectionStart() : -1;
    *endOffset = shown ? lineEdit()->selectionEnd() : -1;
}

int AccessibleFieldEdit::selectionCount() const
{
    return selectionShown() && lineEdit()->hasSelectedText() ? 1 : 0;
}

void AccessibleFieldEdit::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleFieldEdit::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void AccessibleFieldEdit::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

int AccessibleFieldEdit::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void AccessibleFieldEdit::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

QString AccessibleFieldEdit::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    return lineEdit()->text().mid(startOffset, endOffset - startOffset);
}

int AccessibleFieldEdit::offsetOrCursor(int offset) const
{
    return offset == -2 ? cursorPosition() : offset;
}

QString AccessibleFieldEdit::textBeforeOffset(int offset,
                                              QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const
{
    return QAccessibleTextInterface::textBeforeOffset(offsetOrCursor(offset), boundaryType,
                                                      startOffset, endOffset);
}

QString AccessibleFieldEdit::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    return QAccessibleTextInterface::textAfterOffset(offsetOrCursor(offset), boundaryType,
                                                     startOffset, endOffset);
}

QString AccessibleFieldEdit::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const
{
    const int at = offsetOrCursor(offset);
    if (boundaryType != QAccessible::WordBoundary && boundaryType != QAccessible::SentenceBoundary)
        return QAccessibleTextInterface::textAtOffset(at, boundaryType, startOffset, endOffset);
    const QString all = lineEdit()->text();
    const TextRange item =
        itemAt(all, at,
               boundaryType == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                         : QTextBoundaryFinder::Sentence);
    *startOffset = item.start;
    *endOffset = item.end;
    return item.start < 0 ? QString() : all.mid(item.start, item.end - item.start);
}

int AccessibleFieldEdit::characterCount() const
{
    return static_cast<int>(lineEdit()->text().size());
}

// Placed as Qt places it: from the left of the text as laid out in the
// widget's font, below the top text margin.
QRect AccessibleFieldEdit::characterRect(int offset) const
{
    const QString ch = text(offset, offset + 1);
    if (ch.isEmpty())
        return {};
    const QLineEdit* l = lineEdit();
    QTextLayout layout(l->displayText(), l->font());
    QTextOption option;
    option.setTextDirection(l->layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics metrics(l->font());
    const QRect r(static_cast<int>(line.cursorToX(offset)), l->textMargins().top(),
                  metrics.horizontalAdvance(ch), metrics.height());
    return {l->mapToGlobal(r.topLeft()), r.size()};
}

int AccessibleFieldEdit::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void AccessibleFieldEdit::scrollToSubstring(int startIndex, int endIndex)
{
    lineEdit()->setCursorPosition(endIndex);
    lineEdit()->setCursorPosition(startIndex);
}

// A line edit has no attributes of its own: one empty run covers it all.
QString AccessibleFieldEdit::attributes(int offset, int* startOffset, int* endOffset) const
{
    const int count = characterCount();
    if (offset < 0 || offset > count) {
        *startOffset = *endOffset = offset;
        return {};
    }
    *startOffset = 0;
    *endOffset = count;
    return {};
}

void AccessibleFieldEdit::deleteText(int startOffset, int endOffset)
{
    lineEdit()->setText(lineEdit()->text().remove(startOffset, endOffset - startOffset));
}

void AccessibleFieldEdit::insertText(int offset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().insert(offset, text));
}

void AccessibleFieldEdit::replaceText(int startOffset, int endOffset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().replace(startOffset, endOffset - startOffset, text));
}

} // namespace tb
