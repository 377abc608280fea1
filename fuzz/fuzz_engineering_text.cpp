// Fuzz target for the engineering-notation formatter: the text is 10 or 11
// characters, carries the sign, and its mantissa times the suffix's power of
// ten is the value to within half a unit of the mantissa's last digit (zero
// below the smallest row, the overflow text above the largest).
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "EngineeringText.h"

#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using tb::fuzz::expect;
using tb::fuzz::fail;
using tb::fuzz::FuzzInput;

namespace {

constexpr double largestFormatted = 9.9995e12;
constexpr double largestZero = 9.9995e-16;

std::string describe(double x, const QString& text)
{
    std::array<char, 64> value{};
    std::snprintf(value.data(), value.size(), "%.17g", x);
    return std::string("value ") + value.data() + ", text \"" + text.toStdString() + "\"";
}

std::optional<int> suffixExponent(const QString& suffix)
{
    static const std::array<std::pair<QString, int>, 10> suffixes{{
        {QStringLiteral("e-15 "), -15},
        {QStringLiteral("e-12 "), -12},
        {QStringLiteral("e-9  "), -9},
        {QStringLiteral("e-6  "), -6},
        {QStringLiteral("e-3  "), -3},
        {QStringLiteral("     "), 0},
        {QStringLiteral("e+3  "), 3},
        {QStringLiteral("e+6  "), 6},
        {QStringLiteral("e+9  "), 9},
        {QStringLiteral("e+12 "), 12},
    }};
    for (const auto& [text, exponent] : suffixes)
        if (text == suffix)
            return exponent;
    return std::nullopt;
}

// d.ddd, dd.dd or ddd.d without a leading zero, or 1000 (the top of a
// one-decimal row): the digits as a whole number and how many are decimals.
std::optional<std::pair<long long, int>> readMantissa(const QString& mantissa)
{
    if (mantissa == QLatin1String("1000"))
        return std::pair{1000LL, 0};
    const qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    if (mantissa.size() != 5 || point < 1 || point > 3 || mantissa.at(0) == QLatin1Char('0'))
        return std::nullopt;
    long long digits = 0;
    for (qsizetype i = 0; i < mantissa.size(); ++i) {
        if (i == point)
            continue;
        const QChar c = mantissa.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        digits = digits * 10 + (c.unicode() - '0');
    }
    return std::pair{digits, static_cast<int>(mantissa.size() - 1 - point)};
}

void checkValueText(double x, const QString& text)
{
    const std::string report = describe(x, text);
    if (!std::isfinite(x) || std::fabs(x) > largestFormatted) {
        QString expected = QStringLiteral("+*.***E\u00B1* ");
        if (x < 0)
            expected[0] = QLatin1Char('-');
        expect(text == expected, "a value beyond the table did not give the overflow text", report);
        return;
    }
    const QLatin1Char sign(x < 0 ? '-' : ' '); // -0 is not negative
    if (std::fabs(x) <= largestZero) {
        expect(text == sign + QLatin1String("0.000     "),
               "a value too small for the table did not give the zero text", report);
        return;
    }
    expect(text.size() == 10 || text.size() == 11, "the text is not 10 or 11 characters", report);
    expect(text.at(0) == sign, "the first character is not the sign", report);
    const std::optional<int> exponent = suffixExponent(text.right(5));
    expect(exponent.has_value(), "the text does not end in a known suffix", report);
    const auto mantissa = readMantissa(text.mid(1, text.size() - 6));
    expect(mantissa.has_value(), "the mantissa is not d.ddd, dd.dd, ddd.d or 1000", report);

    // Re-read in long double, whose extra bits leave the half-unit test
    // itself exact enough; the slack covers the formatter's double rounding.
    const auto [digits, decimals] = *mantissa;
    const long double scaled =
        std::fabs(static_cast<long double>(x)) * std::pow(10.0L, decimals - *exponent);
    expect(std::fabs(scaled - static_cast<long double>(digits)) <= 0.5L + 1e-9L,
           "the text is not within half a unit of its last digit of the value", report);
}

void checkValue(double x)
{
    QString text;
    try {
        text = tb::engineeringText(x);
    } catch (...) {
        fail("the formatter raised an error", describe(x, text));
    }
    checkValueText(x, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Single value: the bytes as a double, and the text as a decimal number
    // with its two neighbours, so seeds like "9.9995" reach every boundary.
    FuzzInput in(data, size);
    checkValue(in.bitsAsDouble());
    const double written = std::strtod(bytes.c_str(), nullptr);
    checkValue(written);
    checkValue(std::nextafter(written, HUGE_VAL));
    checkValue(std::nextafter(written, -HUGE_VAL));
    return 0;
}
