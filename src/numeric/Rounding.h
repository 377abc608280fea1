#pragma once

#include <cstdint>

// Conversions to the program's integer types: nearest integer, ties to even,
// with the overflow error outside the type's range.
namespace tb {

[[nodiscard]] double roundHalfEven(double x) noexcept;
[[nodiscard]] std::int16_t toInt16(double x);
[[nodiscard]] std::int32_t toInt32(double x);

// 16-bit arithmetic with the overflow error instead of wrapping.
[[nodiscard]] std::int16_t add16(std::int16_t a, std::int16_t b);
[[nodiscard]] std::int16_t sub16(std::int16_t a, std::int16_t b);
[[nodiscard]] std::int16_t mul16(std::int16_t a, std::int16_t b);

// Rounds the exact binary value of x to the given number of decimal places,
// an exact tie going to the even digit. Never overflows.
[[nodiscard]] double roundToDecimals(double x, int decimals) noexcept;

} // namespace tb
