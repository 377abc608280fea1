#include "NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tb {

namespace {

struct Decimal {
    std::string digits; // significant digits, no trailing zeros
    int exponent = 0;   // of the first digit
};

Decimal toDecimal(double magnitude)
{
    std::array<char, 64> buf{};
    const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                   std::chars_format::scientific, 14)
                         .ptr;
    const std::string_view text(buf.data(), static_cast<std::size_t>(end - buf.data()));
    const std::size_t e = text.find('e');
    Decimal d;
    for (char c : text.substr(0, e))
        if (c != '.')
            d.digits += c;
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    d.exponent);
    return d;
}

std::string scientificText(const Decimal& d, std::string_view sep)
{
    std::string out(1, d.digits[0]);
    if (d.digits.size() > 1) {
        out += sep;
        out += d.digits.substr(1);
    }
    const int absExp = std::abs(d.exponent);
    out += d.exponent < 0 ? "E-" : "E+";
    if (absExp < 10)
        out += '0';
    out += std::to_string(absExp);
    return out;
}

std::string plainText(const Decimal& d, std::string_view sep)
{
    if (d.exponent < 0) {
        std::string out = "0";
        out += sep;
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        return out + d.digits;
    }
    const auto intDigits = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= intDigits)
        return d.digits + std::string(intDigits - d.digits.size(), '0');
    std::string out = d.digits.substr(0, intDigits);
    out += sep;
    return out + d.digits.substr(intDigits);
}

} // namespace

std::string numberToText(double x, std::string_view decimalSeparator)
{
    if (x == 0.0)
        return "0"; // also for -0
    if (!std::isfinite(x))
        return x != x ? "NaN" : (x < 0 ? "-Infinity" : "Infinity");
    const Decimal d = toDecimal(x < 0 ? -x : x);
    const bool scientific = d.exponent >= 15 || d.exponent < -4;
    std::string body =
        scientific ? scientificText(d, decimalSeparator) : plainText(d, decimalSeparator);
    return x < 0 ? "-" + body : body;
}

} // namespace tb
