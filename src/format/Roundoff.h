#pragma once

class QString;

namespace tb {

// Formats A as fixed-width engineering notation (" 470.0e-6  ") into strB
// when strA is empty (strA receives the same text, strC is untouched).
// When strA is not empty it is a complex number written as text ("3.25 + j-1.5"):
// strB receives its formatted real part and strC its imaginary part, and strA
// stays as it was. Raises the invalid-argument error when strA has no "j"
// at position 3 or later, the overflow error when it is 32767 characters or longer
// or when a part is beyond the double range; on any error no argument is changed.
// Texts are 11 characters; the mantissa 1000 (" 1000     ") and the overflow text
// ("+*.***E±* ", for magnitudes above 9.9995e12 and infinity) are 10. A NaN,
// which the graph never passes, also gives the overflow text, with "+".
void Roundoff(double A, QString& strA, QString& strB, QString& strC);

// Single-value mode as a value: the text Roundoff leaves in strB.
[[nodiscard]] QString RoundoffText(double value);

} // namespace tb
