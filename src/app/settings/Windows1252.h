#pragma once

#include <QByteArray>
#include <QString>

namespace tb {

// The settings file has always stored one byte per character in the
// Windows-1252 character set. Every byte decodes to one character (the five
// unassigned bytes to the control characters of the same code), so whatever
// was read is written back byte for byte; a character the set cannot hold is
// written as "?".
[[nodiscard]] QString decodeWindows1252(const QByteArray& bytes);
[[nodiscard]] QByteArray encodeWindows1252(const QString& text);

} // namespace tb
