#pragma once

#include <QAccessibleWidget>

class QLineEdit;

namespace tb {

// What a screen reader sees of a field, a line edit that shows its selection
// only while it has the focus: what Qt shows of any line edit (name,
// value, states, caret, selection, editing), with three differences. The
// whole text is one run of attributes: Qt reports an empty run at every
// offset, and Orca joins those into a run one character short, so that "400"
// is read as "40". A field's selection is reported only while the field has
// the focus, as only then is it shown: otherwise Orca reads out every field
// that "Calculate" selects. And the word or sentence at an offset is found
// where Qt's own search would never return.
class AccessibleFieldEdit : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit AccessibleFieldEdit(QLineEdit* field);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    [[nodiscard]] int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    [[nodiscard]] int cursorPosition() const override;
    void setCursorPosition(int position) override;
    [[nodiscard]] QString text(int startOffset, int endOffset) const override;
    [[nodiscard]] QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const override;
    [[nodiscard]] QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const override;
    [[nodiscard]] QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const override;
    [[nodiscard]] int characterCount() const override;
    [[nodiscard]] QRect characterRect(int offset) const override;
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    [[nodiscard]] QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    [[nodiscard]] QLineEdit* lineEdit() const;
    [[nodiscard]] bool selectionShown() const;
    // An offset, -2 standing for the cursor's.
    [[nodiscard]] int offsetOrCursor(int offset) const;
};

} // namespace tb
