#pragma once

#include <string_view>

namespace tb {

// Reads the number at the start of a field's text the forgiving way users
// expect of this calculator: blanks, tabs and line feeds are ignored wherever
// they stand, reading stops at the first character that cannot continue the
// number ("400 V" is 400, "1,5" is 1), only "." separates decimals, an
// exponent part and the &H / &O radix prefixes are accepted, and text without
// a number gives 0. A number beyond the double range raises the overflow error.
[[nodiscard]] double parseNumber(std::string_view text);

} // namespace tb
