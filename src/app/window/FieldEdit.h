#pragma once

#include <QColor>
#include <QLineEdit>

namespace tb {

// A field that shows its selection only while it has the focus, so that the
// whole-text selections "Calculate" leaves behind do not light up every field
// at once; the selection itself is kept for when the user comes back.
class FieldEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit FieldEdit(QWidget* parent = nullptr);

    void setBackground(const QColor& color);
    // Sets a text the program worked out. A field that holds it already, set
    // by the program and not edited since, is left alone: setting it again
    // would only repaint it, and the window under it.
    void setResult(const QString& text);
    // Selects the first length characters (none of an empty field) with the
    // cursor after them, unless that is so already (which would only repaint).
    void selectFromStart(int length);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateSelectionColors();

    QPalette m_normal;
};

} // namespace tb
