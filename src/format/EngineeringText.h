#pragma once

#include <QString>

namespace tb {

// A value as fixed-width engineering notation, as the graph labels it
// (" 470.0e-6  "): a sign position, four significant digits and a five-character
// suffix. Texts are 11 characters; the mantissa 1000 (" 1000     ") and the
// overflow text ("+*.***E±* ", for magnitudes above 9.9995e12 and infinity) are
// 10. A NaN, which the graph never passes, also gives the overflow text, with "+".
[[nodiscard]] QString engineeringText(double value);

// Both parts of a complex number, each as engineeringText writes it.
struct ComplexTexts {
    QString real;
    QString imaginary;
};

// A complex number written as text ("3.25 + j-1.5") as two engineering texts
// (" 3.250     ", "-1.500     "). The last "j" or "J" splits it: the imaginary
// part is everything after it, the real part everything before it but the two
// characters just ahead of it (" +" above), and each part is read by the lenient
// parse. Raises the overflow error for a text of 32767 characters or more, the
// invalid-argument error when no "j" stands at position 3 or later (counted from
// 1; an empty text included), and the overflow error for a part beyond the
// double range. The graph does not use it.
[[nodiscard]] ComplexTexts engineeringTextPair(const QString& text);

} // namespace tb
