#pragma once

#include <string>
#include <string_view>

namespace tb {

// The text a field receives for a number: at most 15 significant digits,
// trailing zeros dropped, no separator for whole values, "0" before the
// separator below 1. Magnitudes of 1e15 and above or below 1e-4 use an
// exponent ("1.5E+20"), which the lenient parse reads back.
[[nodiscard]] std::string numberToText(double x, std::string_view decimalSeparator = ".");

} // namespace tb
