// Fuzz target for the engineering-notation formatter, both modes.
// Single value: the text is 10 or 11 characters, carries the sign, and its
// mantissa times the suffix's power of ten is the value to within half a unit
// of the mantissa's last digit (zero below the smallest row, the overflow text
// above the largest). Complex pair: any text is either rejected with the
// invalid-argument or overflow error and no argument changes, or strA stays as
// it was and strB and strC get formatted texts; a pair put together from two
// part texts gives back the texts of their two numbers.
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

// A pair text for a report; a long one shortened to its ends.
std::string describePair(const QString& text)
{
    const QString shown = text.size() <= 80
                              ? text
                              : text.left(30) + QStringLiteral(" ... ") + text.right(30) +
                                    QStringLiteral(" (%1 characters)").arg(text.size());
    return "pair text \"" + shown.toStdString() + "\"";
}

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

// Any text: either rejected with the invalid-argument or overflow error and
// every argument as it was (always so without a "j"), or strA kept and a
// formatted text in each of strB and strC.
void checkAnyPair(double a, const QString& text)
{
    const std::string report = describePair(text);
    QString strA = text;
    QString strB = untouchedB;
    QString strC = untouchedC;
    try {
        tb::Roundoff(a, strA, strB, strC);
    } catch (const tb::RuntimeError& e) {
        expect(e.kind() == tb::ErrorKind::InvalidArgument || e.kind() == tb::ErrorKind::Overflow,
               "complex-pair mode raised the wrong error", report);
        expect(strA == text && strB == untouchedB && strC == untouchedC,
               "complex-pair mode changed an argument before raising its error", report);
        return;
    } catch (...) {
        fail("complex-pair mode threw something other than tb::RuntimeError", report);
    }
    expect(text.contains(QLatin1Char('j'), Qt::CaseInsensitive),
           "complex-pair mode accepted a text without a j", report);
    expect(strA == text, "complex-pair mode changed strA", report);
    expect((strB.size() == 10 || strB.size() == 11) && (strC.size() == 10 || strC.size() == 11),
           "complex-pair mode gave a text that is not 10 or 11 characters", report);
}

// A pair text put together as real part, two characters, "j", imaginary part
// (made free of "j"): the texts of the two numbers come back, or the overflow
// error for a part beyond the double range or a text of 32767 characters. With
// its only "j" at position 1 or 2 instead, the text is rejected.
void checkBuiltPair(double a, const QString& real, const QString& two, QString imaginary)
{
    imaginary.remove(QLatin1Char('j'), Qt::CaseInsensitive);
    for (const QString& early :
         {QLatin1Char('j') + imaginary, two.left(1) + QLatin1Char('J') + imaginary}) {
        QString strA = early;
        QString strB;
        QString strC;
        try {
            tb::Roundoff(a, strA, strB, strC);
            fail("a pair with its j at position 1 or 2 was accepted", describePair(early));
        } catch (const tb::RuntimeError& e) {
            expect(e.kind() == (early.size() >= 32767 ? tb::ErrorKind::Overflow
                                                      : tb::ErrorKind::InvalidArgument),
                   "a pair with its j at position 1 or 2 raised the wrong error",
                   describePair(early));
        }
    }
    const QString text = real + two.left(2) + QLatin1Char('j') + imaginary;
    checkAnyPair(a, text);
    const std::string report = describePair(text);
    const std::optional<double> re = parsePart(real);
    const std::optional<double> im = parsePart(imaginary);
    QString strA = text;
    QString strB;
    QString strC;
    std::optional<tb::ErrorKind> error;
    try {
        tb::Roundoff(a, strA, strB, strC);
    } catch (const tb::RuntimeError& e) {
        error = e.kind();
    }
    if (!re || !im || text.size() >= 32767) {
        expect(error == tb::ErrorKind::Overflow, "an overlong pair or part was not an overflow",
               report);
        return;
    }
    expect(!error, "complex-pair mode rejected a well-formed pair", report);
    expect(strB == tb::RoundoffText(*re), "strB is not the text of the real part", report);
    expect(strC == tb::RoundoffText(*im), "strC is not the text of the imaginary part", report);
    checkValueText(*re, strB);
    checkValueText(*im, strC);
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

    // Complex pair, with A some value that must not matter: the text as it
    // stands, and a pair built from it.
    const QString text = QString::fromUtf8(bytes);
    if (!text.isEmpty()) {
        checkAnyPair(written, text);
        checkBuiltPair(written, text, text + QStringLiteral("  "), text);
        // Blanks ahead change no number but carry the built pair across the
        // longest length a character position can hold (32766).
        if (text.startsWith(QLatin1Char('#')) && text.size() < 1000) {
            const QString part = text.mid(1);
            const qsizetype imaginary =
                QString(part).remove(QLatin1Char('j'), Qt::CaseInsensitive).size();
            const qsizetype blanks =
                32766 - 4 + static_cast<qsizetype>(size % 8) - 3 - part.size() - imaginary;
            checkBuiltPair(written, QString(blanks, QLatin1Char(' ')) + part, QStringLiteral("  "),
                           part);
        }
    }
    const QString wide = utf16Text(data, size);
    if (!wide.isEmpty()) {
        checkAnyPair(written, wide);
        checkBuiltPair(written, wide, wide + QStringLiteral("  "), wide);
    }
    return 0;
}
