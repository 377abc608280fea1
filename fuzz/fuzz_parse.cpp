// Fuzz target for the lenient parse. For any text: a finite number or the
// overflow error, nothing else, and blanks, tabs and line feeds never change
// the outcome. From a double taken from the input: its shortest decimal text
// (fixed or scientific, dressed with blanks, signs, zeros and a unit), its
// &H / &O text and the text a field receives for it all read back exactly
// (the last to its 15 significant digits).
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "LenientParse.h"
#include "NumberText.h"
#include "RuntimeError.h"

#include <array>
#include <bit>
#include <charconv>
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

// The number read, or nothing for the overflow error.
std::optional<double> parseOutcome(std::string_view text)
{
    try {
        const double value = tb::parseNumber(text);
        expect(std::isfinite(value), "parseNumber returned a value that is not finite", text);
        return value;
    } catch (const tb::RuntimeError& e) {
        expect(e.kind() == tb::ErrorKind::Overflow,
               "parseNumber raised an error other than overflow", text);
    } catch (...) {
        fail("parseNumber threw something other than tb::RuntimeError", text);
    }
    return std::nullopt;
}

void expectReadsBack(const std::string& text, double expected, std::string_view what)
{
    const std::optional<double> got = parseOutcome(text);
    expect(got.has_value(), what, text);
    if (*got != expected) {
        std::fprintf(stderr, "read %.17g, expected %.17g\n", *got, expected);
        fail(what, text);
    }
}

// Blanks, tabs and line feeds at positions the input chooses.
void insertBlanks(FuzzInput& in, std::string& text)
{
    static constexpr std::array<char, 3> blanks{' ', '\t', '\n'};
    const int count = in.byte() % 8;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = in.byte() % (text.size() + 1);
        text.insert(at, 1, blanks[in.byte() % blanks.size()]);
    }
}

void checkBlanksNeverCount(std::string_view text)
{
    std::string stripped;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            stripped += c;
    const std::optional<double> withBlanks = parseOutcome(text);
    const std::optional<double> without = parseOutcome(stripped);
    expect(withBlanks.has_value() == without.has_value() &&
               (!withBlanks || *withBlanks == *without),
           "removing blanks, tabs and line feeds changed what the text reads as", text);
}

// The shortest round-trip text of x, so the parse must give x itself.
void checkDecimalText(FuzzInput& in, double x)
{
    const std::uint8_t style = in.byte();
    static constexpr std::array<std::chars_format, 3> formats{
        std::chars_format::fixed, std::chars_format::scientific, std::chars_format::general};
    std::array<char, 400> buf{}; // fixed 1.8e308 or 4.9e-324: under 330 characters
    const auto end =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, formats[style % formats.size()]).ptr;
    std::string text(buf.data(), end);

    const std::size_t e = text.find('e');
    const std::size_t mantissaEnd = e == std::string::npos ? text.size() : e;
    const std::size_t digitsStart = text[0] == '-' ? 1 : 0;
    // Changes that keep the value: zeros ahead of the digits and in the
    // exponent, a trailing point, a "+" sign, an upper-case "E".
    if ((style & 0x04) != 0 && e != std::string::npos) {
        text.insert(e + 2, 2, '0');
        text[e] = 'E';
    }
    if ((style & 0x08) != 0 && text.find('.') == std::string::npos)
        text.insert(mantissaEnd, 1, '.');
    if ((style & 0x10) != 0)
        text.insert(digitsStart, 3, '0');
    if ((style & 0x20) != 0 && digitsStart == 0)
        text.insert(0, 1, '+');
    // Whatever follows a complete number and cannot continue it: a unit, a
    // decimal comma, another sign.
    static constexpr std::array<const char*, 6> tails{" V", ",5", "mA", ";7", "-3", "/2"};
    if ((style & 0x40) != 0)
        text += tails[in.byte() % tails.size()];
    insertBlanks(in, text);
    expectReadsBack(text, x, "the decimal text of a number did not read back as that number");
}

void checkRadixText(FuzzInput& in, std::uint64_t bits)
{
    // Below 2^53 every whole number is a double, so the reading is exact.
    const std::uint64_t value = bits & ((std::uint64_t{1} << 53) - 1);
    const std::uint8_t style = in.byte();
    std::array<char, 32> digits{};
    const bool hex = (style & 1) != 0;
    std::snprintf(digits.data(), digits.size(), hex ? ((style & 2) != 0 ? "%llX" : "%llx") : "%llo",
                  static_cast<unsigned long long>(value));
    std::string text = hex ? ((style & 4) != 0 ? "&H" : "&h") : ((style & 4) != 0 ? "&O" : "&o");
    text += digits.data();
    insertBlanks(in, text);
    expectReadsBack(text, static_cast<double>(value),
                    "the &H / &O text of a number did not read back as that number");
}

// A field shows 15 significant digits: reading the field back gives the
// number rounded to them, as printf rounds it. Near the top of the double
// range that rounding itself lies beyond the range (1.79769313486232E+308):
// the text then reads as the overflow error, as any number that large does.
void checkFieldText(double x)
{
    const std::string text = tb::numberToText(x);
    std::array<char, 64> rounded{};
    std::snprintf(rounded.data(), rounded.size(), "%.14e", x);
    const double expected = std::strtod(rounded.data(), nullptr);
    if (std::isfinite(expected)) {
        expectReadsBack(text, expected,
                        "the field text of a number did not read back as its 15-digit rounding");
        return;
    }
    expect(!parseOutcome(text).has_value(),
           "a field text beyond the double range did not read as the overflow error", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    parseOutcome(text);
    checkBlanksNeverCount(text);

    FuzzInput in(data, size);
    const std::uint64_t bits = in.u64();
    const double x = std::bit_cast<double>(bits);
    if (std::isfinite(x)) {
        checkDecimalText(in, x);
        checkFieldText(x);
    }
    checkRadixText(in, bits);
    return 0;
}
