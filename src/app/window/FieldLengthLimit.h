#pragma once

#include <QValidator>

namespace tb {

// Keeps a field within length characters, as QLineEdit's maxLength would:
// typing at the limit adds nothing, and a paste or a drop keeps as much of
// its start as fits, the text around it unchanged. Qt 6.4's own maxLength
// cuts an insertion in time that grows with the square of the room left (a
// minute for a million characters), so the fields keep no maxLength of
// their own and this cuts instead.
class FieldLengthLimit : public QValidator {
    Q_OBJECT

public:
    FieldLengthLimit(qsizetype length, QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    qsizetype m_length;
};

} // namespace tb
