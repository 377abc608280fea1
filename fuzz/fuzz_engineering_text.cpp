// Fuzz target for the engineering-notation formatter, both modes.
// One value: the text is 10 or 11 characters, carries the sign, and its
// mantissa times the suffix's power of ten is the value to within half a unit
// of the mantissa's last digit (zero below the smallest row, the overflow text
// above the largest). A pair: any text either raises the error it must (the
// overflow error from 32767 characters on or for a part beyond the double
// range, else the invalid-argument error without a "j" at position 3 or
// later), or gives two texts, each engineeringText of its part as the lenient
// parse reads it; a pair put together from two part texts gives back the
// texts of their two numbers.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "EngineeringText.h"
#include "LenientParse.h"
#include "RuntimeError.h"

#include <QString>

#include <algorithm>
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
constexpr qsizetype shortestOverlongPair = 32767;

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

// A pair text for a report; a long one shortened to its ends.
std::string describePair(const QString& text)
{
    const QString shown = text.size() <= 80
                              ? text
                              : text.left(30) + QStringLiteral(" ... ") + text.right(30) +
                                    QStringLiteral(" (%1 characters)").arg(text.size());
    return "pair text \"" + shown.toStdString() + "\"";
}

// A part as the lenient parse reads it, or nothing when it is beyond the
// double range.
std::optional<double> parsePart(const QString& part)
{
    try {
        return tb::parseNumber(part.toStdString());
    } catch (const tb::RuntimeError& e) {
        expect(e.kind() == tb::ErrorKind::Overflow,
               "the lenient parse raised an error other than overflow", part.toStdString());
    }
    return std::nullopt;
}

std::optional<tb::ErrorKind> pairError(const QString& text)
{
    try {
        (void)tb::engineeringTextPair(text);
    } catch (const tb::RuntimeError& e) {
        return e.kind();
    }
    return std::nullopt;
}

// Any text, against the split worked out here: the error it must raise, or
// the texts of its two parts.
void checkPair(const QString& text)
{
    const std::string report = describePair(text);
    std::optional<tb::ErrorKind> error;
    std::optional<double> re;
    std::optional<double> im;
    // 0-based index of the last "j" or "J", so the real part is the first
    // index - 2 characters.
    const qsizetype j =
        std::max(text.lastIndexOf(QLatin1Char('j')), text.lastIndexOf(QLatin1Char('J')));
    if (text.size() >= shortestOverlongPair) {
        error = tb::ErrorKind::Overflow;
    } else if (j < 2) {
        error = tb::ErrorKind::InvalidArgument;
    } else {
        re = parsePart(text.left(j - 2));
        im = parsePart(text.mid(j + 1));
        if (!re || !im)
            error = tb::ErrorKind::Overflow;
    }

    tb::ComplexTexts texts;
    try {
        texts = tb::engineeringTextPair(text);
    } catch (const tb::RuntimeError& e) {
        expect(error == e.kind(), "the pair mode raised an error it must not", report);
        return;
    } catch (...) {
        fail("the pair mode threw something other than a run-time error", report);
    }
    expect(!error, "the pair mode accepted a text it must reject", report);
    expect(texts.real == tb::engineeringText(*re), "the real text is not that of the real part",
           report);
    expect(texts.imaginary == tb::engineeringText(*im),
           "the imaginary text is not that of the imaginary part", report);
    checkValueText(*re, texts.real);
    checkValueText(*im, texts.imaginary);
}

// A pair text put together as real part, two characters, "j", imaginary part
// (made free of "j"): the texts of the two numbers come back, or the overflow
// error for a part beyond the double range or a text of 32767 characters. With
// its only "j" at position 1 or 2 instead, the text is rejected.
void checkBuiltPair(const QString& real, const QString& two, QString imaginary)
{
    imaginary.remove(QLatin1Char('j')).remove(QLatin1Char('J'));
    for (const QString& early :
         {QLatin1Char('j') + imaginary, two.left(1) + QLatin1Char('J') + imaginary}) {
        checkPair(early);
        expect(pairError(early) == (early.size() >= shortestOverlongPair
                                        ? tb::ErrorKind::Overflow
                                        : tb::ErrorKind::InvalidArgument),
               "a pair with its j at position 1 or 2 raised the wrong error or none",
               describePair(early));
    }
    const QString text = real + two.left(2) + QLatin1Char('j') + imaginary;
    checkPair(text);
    const std::string report = describePair(text);
    const std::optional<double> re = parsePart(real);
    const std::optional<double> im = parsePart(imaginary);
    if (!re || !im || text.size() >= shortestOverlongPair) {
        expect(pairError(text) == tb::ErrorKind::Overflow,
               "an overlong pair or part was not an overflow", report);
        return;
    }
    const tb::ComplexTexts texts = tb::engineeringTextPair(text);
    expect(texts.real == tb::engineeringText(*re), "the real text is not that of the real part",
           report);
    expect(texts.imaginary == tb::engineeringText(*im),
           "the imaginary text is not that of the imaginary part", report);
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
    checkValue(in.bitsAsDouble());
    const double written = std::strtod(bytes.c_str(), nullptr);
    checkValue(written);
    checkValue(std::nextafter(written, HUGE_VAL));
    checkValue(std::nextafter(written, -HUGE_VAL));

    // Pair: the text as it stands, and a pair built from it.
    const QString text = QString::fromUtf8(bytes);
    checkPair(text);
    checkBuiltPair(text, text + QStringLiteral("  "), text);
    // Blanks ahead change no number but carry a built pair of a "#" seed to
    // 32762 + (size mod 8) characters, across the longest a position can walk.
    if (text.startsWith(QLatin1Char('#')) && text.size() < 1000) {
        const QString part = text.mid(1);
        const qsizetype imaginary =
            QString(part).remove(QLatin1Char('j')).remove(QLatin1Char('J')).size();
        const qsizetype blanks = shortestOverlongPair - 5 + static_cast<qsizetype>(size % 8) - 3 -
                                 part.size() - imaginary;
        checkBuiltPair(QString(blanks, QLatin1Char(' ')) + part, QStringLiteral("  "), part);
    }
    const QString wide = utf16Text(data, size);
    checkPair(wide);
    checkBuiltPair(wide, wide + QStringLiteral("  "), wide);
    return 0;
}
