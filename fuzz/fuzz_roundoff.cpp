// Fuzz target for the engineering-notation formatter, both modes.
// Single value: the text is 10 or 11 characters, carries the sign, and its
// mantissa times the suffix's power of ten is the value to within half a unit
// of the mantissa's last digit (zero below the smallest row, the overflow text
// above the largest). Complex pair: the input either is rejected with the
// invalid-argument or overflow error and no argument changes, or strB and strC
// get the texts of the two parts and strA stays as it was.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "format/Roundoff.h"
#include "numeric/LenientParse.h"
#include "numeric/RuntimeError.h"

#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using tb::fuzz::expect;
using tb::fuzz::fail;
using tb::fuzz::FuzzInput;

namespace {

constexpr double largestFormatted = 9.9995e12;
constexpr double largestZero = 9.9995e-16;
constexpr qsizetype longestComplexText = 32766;

const QString untouchedB = QStringLiteral("strB before the call");
const QString untouchedC = QStringLiteral("strC before the call");

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

void checkSingleValue(double x)
{
    QString strA;
    QString strB = untouchedB;
    QString strC = untouchedC;
    try {
        tb::Roundoff(x, strA, strB, strC);
    } catch (...) {
        fail("single-value mode raised an error", describe(x, strB));
    }
    expect(strA == strB, "single-value mode left different texts in strA and strB",
           describe(x, strB));
    expect(strC == untouchedC, "single-value mode changed strC", describe(x, strB));
    expect(tb::RoundoffText(x) == strB, "RoundoffText differs from single-value mode",
           describe(x, strB));
    checkValueText(x, strB);
}

// What the pair text must do, worked out from the text on its own: the error
// it must raise, or the two numbers it holds.
struct PairOutcome {
    std::optional<tb::ErrorKind> error;
    double real = 0;
    double imaginary = 0;
};

std::optional<double> parsePart(const QString& part)
{
    try {
        return tb::parseNumber(part.toStdString());
    } catch (const tb::RuntimeError& e) {
        expect(e.kind() == tb::ErrorKind::Overflow,
               "parseNumber raised an error other than overflow", part.toStdString());
    }
    return std::nullopt;
}

PairOutcome expectedOutcome(const QString& text)
{
    if (text.size() > longestComplexText)
        return {tb::ErrorKind::Overflow};
    qsizetype j = text.size(); // 1-based position of the last "j"
    while (j > 0 && text.at(j - 1) != QLatin1Char('j') && text.at(j - 1) != QLatin1Char('J'))
        --j;
    if (j < 3)
        return {tb::ErrorKind::InvalidArgument};
    const std::optional<double> real = parsePart(text.left(j - 3));
    const std::optional<double> imaginary = parsePart(text.mid(j));
    if (!real || !imaginary)
        return {tb::ErrorKind::Overflow};
    return {std::nullopt, *real, *imaginary};
}

void checkComplexPair(double a, const QString& text)
{
    const PairOutcome expected = expectedOutcome(text);
    const std::string report = "pair text \"" + text.toStdString() + "\"";
    QString strA = text;
    QString strB = untouchedB;
    QString strC = untouchedC;
    try {
        tb::Roundoff(a, strA, strB, strC);
    } catch (const tb::RuntimeError& e) {
        expect(expected.error.has_value(), "complex-pair mode rejected a valid text", report);
        expect(e.kind() == *expected.error, "complex-pair mode raised the wrong error", report);
        expect(strA == text && strB == untouchedB && strC == untouchedC,
               "complex-pair mode changed an argument before raising its error", report);
        return;
    } catch (...) {
        fail("complex-pair mode threw something other than tb::RuntimeError", report);
    }
    expect(!expected.error.has_value(), "complex-pair mode accepted a text it must reject", report);
    expect(strA == text, "complex-pair mode changed strA", report);
    expect(strB == tb::RoundoffText(expected.real), "strB is not the text of the real part",
           report);
    expect(strC == tb::RoundoffText(expected.imaginary),
           "strC is not the text of the imaginary part", report);
    checkValueText(expected.real, strB);
    checkValueText(expected.imaginary, strC);
}

// The bytes as UTF-16 code units, so any character, a lone surrogate
// included, can stand in the pair text.
QString utf16Text(const std::uint8_t* data, std::size_t size)
{
    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Single value: the bytes as a double, and the text as a decimal number
    // with its two neighbours, so seeds like "9.9995" reach every boundary.
    FuzzInput in(data, size);
    checkSingleValue(in.bitsAsDouble());
    const double written = std::strtod(bytes.c_str(), nullptr);
    checkSingleValue(written);
    checkSingleValue(std::nextafter(written, HUGE_VAL));
    checkSingleValue(std::nextafter(written, -HUGE_VAL));

    // Complex pair, with A some value that must not matter.
    const QString text = QString::fromUtf8(bytes);
    if (!text.isEmpty()) {
        checkComplexPair(written, text);
        // Blanks ahead change no number but carry the text across the longest
        // length a character position can hold.
        if (text.startsWith(QLatin1Char('#')) && text.size() < 1000)
            checkComplexPair(written, QString(longestComplexText - 3 + (size % 8) - text.size(),
                                              QLatin1Char(' ')) +
                                          text.mid(1));
    }
    const QString wide = utf16Text(data, size);
    if (!wide.isEmpty())
        checkComplexPair(written, wide);
    return 0;
}
