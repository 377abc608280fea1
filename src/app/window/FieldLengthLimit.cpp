#include "FieldLengthLimit.h"

namespace tb {

FieldLengthLimit::FieldLengthLimit(qsizetype length, QObject* parent)
    : QValidator(parent)
    , m_length(length)
{
}

QValidator::State FieldLengthLimit::validate(QString& input, int& pos) const
{
    const qsizetype excess = input.size() - m_length;
    if (excess <= 0)
        return Acceptable;
    // What was just inserted ends at the cursor: its end goes.
    const qsizetype from = qMax<qsizetype>(0, pos - excess);
    input.remove(from, pos - from);
    pos = static_cast<int>(from);
    if (input.size() > m_length) // a text set whole, longer than the limit
        input.truncate(m_length);
    return Acceptable;
}

} // namespace tb
