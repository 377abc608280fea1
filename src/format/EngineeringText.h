#pragma once

class QString;

namespace tb {

// A value as fixed-width engineering notation, as the graph labels it
// (" 470.0e-6  "): a sign position, four significant digits and a five-character
// suffix. Texts are 11 characters; the mantissa 1000 (" 1000     ") and the
// overflow text ("+*.***E±* ", for magnitudes above 9.9995e12 and infinity) are
// 10. A NaN, which the graph never passes, also gives the overflow text, with "+".
[[nodiscard]] QString engineeringText(double value);

} // namespace tb
