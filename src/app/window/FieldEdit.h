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
    explicit FieldEdit(const QString& text, QWidget* parent = nullptr);

    void setBackground(const QColor& color);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateSelectionColors();

    QPalette m_normal;
};

} // namespace tb
