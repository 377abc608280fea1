#pragma once

#include <Qt>

class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tb {

class FieldEdit;
struct DesignedText;

// A row of the field table as the design makes it: the field, empty until
// the settings are read, and its caption, which a screen reader names the field by. Object names:
// "field<index>" and "caption<index>", or "clippingIndicator" and
// "clippingCaption".
struct FieldRow {
    FieldEdit* field;
    QLabel* caption;
};
[[nodiscard]] FieldRow createFieldRow(QWidget* parent, int index, const QFont& font);

// A label or a button as the design makes it: its text, its place and its
// object name.
[[nodiscard]] QLabel* createLabel(QWidget* parent, const DesignedText& design, const QFont& font,
                                  Qt::Alignment align, const QString& name);
// Neither Enter nor Esc in a field presses it.
[[nodiscard]] QPushButton* createButton(QWidget* parent, const DesignedText& design,
                                        const QString& name);

} // namespace tb
