#include "EngineeringText.h"

#include "LenientParse.h"
#include "NumberText.h"
#include "RuntimeError.h"

#include <QString>

#include <array>
#include <cmath>
#include <cstdint>

namespace tb {

namespace {

// One row of the range table. A row starts where the previous one ends; both
// bounds are inclusive and the earlier row wins, so only the upper bound is kept.
struct RangeRow {
    double upTo;
    double scale;
    double divisor;
    const char* suffix;
};

// Each suffix covers three decades with 3, 2 and 1 decimals. The scales are
// kept as the products written here, not as the nearest powers of ten: for
// some rows they differ in the last bit, and that decides values lying exactly
// on a rounding tie (10005000 is " 10.00e+6  ", not " 10.01e+6  ").
constexpr std::array<RangeRow, 28> RangeTable{{
    {9.9995e-15, 1000 * 1e15, 1000, "e-15 "},
    {9.9995e-14, 100 * 1e15, 100, "e-15 "},
    {9.9995e-13, 10 * 1e15, 10, "e-15 "},
    {9.9995e-12, 1000 * 1e12, 1000, "e-12 "},
    {9.9995e-11, 100 * 1e12, 100, "e-12 "},
    {9.9995e-10, 10 * 1e12, 10, "e-12 "},
    {9.9995e-9, 1000 * 1e9, 1000, "e-9  "},
    {9.9995e-8, 100 * 1e9, 100, "e-9  "},
    {9.9995e-7, 10 * 1e9, 10, "e-9  "},
    {9.9995e-6, 1000 * 1e6, 1000, "e-6  "},
    {9.9995e-5, 100 * 1e6, 100, "e-6  "},
    {0.00099995, 10 * 1e6, 10, "e-6  "},
    {0.0099995, 1000 * 1e3, 1000, "e-3  "},
    {0.099995, 100 * 1e3, 100, "e-3  "},
    {0.99995, 10 * 1e3, 10, "e-3  "},
    {9.9995, 1000, 1000, "     "},
    {99.995, 100, 100, "     "},
    {999.95, 10, 10, "     "},
    {9999.5, 1000 * 0.001, 1000, "e+3  "},
    {99995, 100 * 0.001, 100, "e+3  "},
    {999950, 10 * 0.001, 10, "e+3  "},
    {9999500, 1000 * 1e-6, 1000, "e+6  "},
    {99995000, 100 * 1e-6, 100, "e+6  "},
    {999950000, 10 * 1e-6, 10, "e+6  "},
    {9999500000, 1000 * 1e-9, 1000, "e+9  "},
    {99995000000, 100 * 1e-9, 100, "e+9  "},
    {999950000000, 10 * 1e-9, 10, "e+9  "},
    {9999500000000, 1000 * 1e-12, 1000, "e+12 "},
}};

// Magnitudes up to here are written as zero.
constexpr double TinyLimit = 9.9995e-16;

// Pads " d", " d.d", " dd.d" ... to six characters; " 1000" stays as it is.
[[nodiscard]] QString mantissaText(double m)
{
    QString t = QLatin1Char(' ') + QString::fromStdString(numberToText(m));
    if (m >= 1 && m <= 9.9995) {
        if (t.size() == 2)
            t += QLatin1String(".000");
        if (t.size() == 4)
            t += QLatin1String("00");
        if (t.size() == 5)
            t += QLatin1Char('0');
    } else if (m >= 9.9995 && m <= 99.995) {
        if (t.size() == 3)
            t += QLatin1String(".00");
        if (t.size() == 5)
            t += QLatin1Char('0');
    } else if (m >= 99.995 && m <= 1000) {
        if (t.size() == 4)
            t += QLatin1String(".0");
    }
    return t;
}

[[nodiscard]] QString formatNumber(double v)
{
    const bool negative = v < 0;
    const double x = negative ? -v : v;
    if (x == 0)
        return QStringLiteral(" 0.000     "); // -0 included: no sign

    QString text;
    if (x <= TinyLimit) {
        text = QStringLiteral(" 0.000     ");
    } else if (x <= RangeTable.back().upTo) {
        const RangeRow* row = RangeTable.data();
        while (x > row->upTo)
            ++row;
        // x * scale stays below 1e5, so none of these steps can fault.
        const double m = std::floor(x * row->scale + 0.5) / row->divisor;
        text = mantissaText(m) + QLatin1String(row->suffix);
    } else {
        // Too large for the table, infinity included. NaN fails every
        // comparison above and lands here too: a visible mark, never a crash.
        text = QStringLiteral("+*.***E\u00B1* ");
    }
    if (negative)
        text[0] = QLatin1Char('-');
    return text;
}

// Character positions in a pair's text are signed 16-bit and count on to one
// past the last character, so this is the longest text they can walk.
constexpr qsizetype LongestPairText = 32766;

} // namespace

QString engineeringText(double value)
{
    return formatNumber(value);
}

ComplexTexts engineeringTextPair(const QString& text)
{
    if (text.size() > LongestPairText)
        raiseError(ErrorKind::Overflow);
    auto j = static_cast<std::int16_t>(text.size()); // 1-based position of the last "j", 0 if none
    while (j > 0 && text.at(j - 1) != QLatin1Char('j') && text.at(j - 1) != QLatin1Char('J'))
        --j;
    if (j < 3)
        raiseError(ErrorKind::InvalidArgument);

    // The "j" and the two characters before it (" +" in "3.25 + j-1.5") are
    // not read.
    const double realPart = parseNumber(text.left(j - 3).toStdString());
    const double imaginaryPart = parseNumber(text.mid(j).toStdString());
    return {formatNumber(realPart), formatNumber(imaginaryPart)};
}

} // namespace tb
