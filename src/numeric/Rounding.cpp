#include "Rounding.h"

#include "RuntimeError.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tb {

namespace {

template <typename Int>
Int toInteger(double x)
{
    const double r = roundHalfEven(x);
    // NaN fails both comparisons' negation, so it lands here too.
    if (!(r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max()))
        raiseError(ErrorKind::Overflow);
    return static_cast<Int>(r);
}

std::int16_t narrow16(int wide)
{
    if (wide < std::numeric_limits<std::int16_t>::min() ||
        wide > std::numeric_limits<std::int16_t>::max())
        raiseError(ErrorKind::Overflow);
    return static_cast<std::int16_t>(wide);
}

} // namespace

double roundHalfEven(double x) noexcept
{
    // Independent of the processor's rounding mode; x - floor(x) is exact.
    const double f = std::floor(x);
    const double frac = x - f;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(f, 2.0) != 0.0))
        return f + 1.0;
    return f;
}

std::int16_t toInt16(double x)
{
    return toInteger<std::int16_t>(x);
}
std::int32_t toInt32(double x)
{
    return toInteger<std::int32_t>(x);
}

std::int16_t add16(std::int16_t a, std::int16_t b)
{
    return narrow16(int{a} + int{b});
}
std::int16_t sub16(std::int16_t a, std::int16_t b)
{
    return narrow16(int{a} - int{b});
}
std::int16_t mul16(std::int16_t a, std::int16_t b)
{
    return narrow16(int{a} * int{b});
}

double roundToDecimals(double x, int decimals) noexcept
{
    if (!std::isfinite(x))
        return x;
    // Fixed notation of the largest double has 309 integer digits.
    std::array<char, 400> buf{};
    const auto written =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, decimals);
    if (written.ec != std::errc{})
        return x;
    double rounded = x;
    std::from_chars(buf.data(), written.ptr, rounded);
    return rounded;
}

} // namespace tb
