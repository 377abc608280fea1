#include "LenientParse.h"

#include "RuntimeError.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tb {

namespace {

// Walks the text, skipping the characters that never count.
class Cursor {
public:
    explicit Cursor(std::string_view text) noexcept
        : m_text(text)
    {
    }

    [[nodiscard]] char peek() noexcept
    {
        while (m_pos < m_text.size() && isIgnored(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void advance() noexcept { ++m_pos; }
    [[nodiscard]] std::size_t position() const noexcept { return m_pos; }
    void rewind(std::size_t pos) noexcept { m_pos = pos; }

private:
    static bool isIgnored(char c) noexcept { return c == ' ' || c == '\t' || c == '\n'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool isDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

int digitValue(char c, int radix) noexcept
{
    int v = -1;
    if (isDigit(c))
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < radix ? v : -1;
}

double parseRadix(Cursor& cur, int radix)
{
    double value = 0.0;
    for (int d = digitValue(cur.peek(), radix); d >= 0; d = digitValue(cur.peek(), radix)) {
        value = value * radix + d;
        cur.advance();
    }
    if (std::isinf(value))
        raiseError(ErrorKind::Overflow);
    return value;
}

// Appends the digits under the cursor; returns how many there were.
int takeDigits(Cursor& cur, std::string& out)
{
    int count = 0;
    while (isDigit(cur.peek())) {
        out += cur.peek();
        cur.advance();
        ++count;
    }
    return count;
}

// The exponent part, or 0 when what follows the "E" cannot complete one (the
// cursor is then left before the "E"). Clamped: beyond it every value over- or
// underflows anyway.
long takeExponent(Cursor& cur)
{
    const std::size_t start = cur.position();
    cur.advance(); // the E
    bool negative = false;
    if (cur.peek() == '+' || cur.peek() == '-') {
        negative = cur.peek() == '-';
        cur.advance();
    }
    if (!isDigit(cur.peek())) {
        cur.rewind(start);
        return 0;
    }
    long exponent = 0;
    while (isDigit(cur.peek())) {
        if (exponent < 100000)
            exponent = exponent * 10 + (cur.peek() - '0');
        cur.advance();
    }
    return negative ? -exponent : exponent;
}

// Decimal position of the first significant digit, to tell an overflow from
// an underflow when the value does not fit a double.
long leadingMagnitude(const std::string& mantissa, long exponent) noexcept
{
    const std::size_t point = mantissa.find('.');
    const std::size_t intEnd = point == std::string::npos ? mantissa.size() : point;
    const std::size_t firstNonZero = mantissa.find_first_of("123456789");
    if (firstNonZero < intEnd)
        return exponent + static_cast<long>(intEnd - firstNonZero);
    return exponent - static_cast<long>(firstNonZero - intEnd - 1);
}

double parseDecimal(Cursor& cur)
{
    std::string mantissa;
    bool negative = false;
    if (cur.peek() == '+' || cur.peek() == '-') {
        negative = cur.peek() == '-';
        cur.advance();
    }
    int digits = takeDigits(cur, mantissa);
    if (cur.peek() == '.') {
        mantissa += '.';
        cur.advance();
        digits += takeDigits(cur, mantissa);
    }
    if (digits == 0)
        return 0.0;
    const long exponent = (cur.peek() == 'e' || cur.peek() == 'E') ? takeExponent(cur) : 0;

    const std::string number = mantissa + 'e' + std::to_string(exponent);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (leadingMagnitude(mantissa, exponent) > 0)
            raiseError(ErrorKind::Overflow);
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double parseNumber(std::string_view text)
{
    Cursor cur(text);
    if (cur.peek() != '&')
        return parseDecimal(cur);
    cur.advance();
    const char prefix = cur.peek();
    cur.advance();
    if (prefix == 'H' || prefix == 'h')
        return parseRadix(cur, 16);
    if (prefix == 'O' || prefix == 'o')
        return parseRadix(cur, 8);
    return 0.0;
}

} // namespace tb
