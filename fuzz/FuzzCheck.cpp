#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace tb::fuzz {

void fail(std::string_view what, std::string_view input)
{
    std::fprintf(stderr, "fuzz property broken: %.*s\n", static_cast<int>(what.size()),
                 what.data());
    if (!input.empty()) {
        // Printable ASCII as it stands, everything else as \xNN, so the
        // message alone is enough to write the reproducer down.
        std::fputs("  text: \"", stderr);
        for (const char c : input) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\')
                std::fputc(byte, stderr);
            else
                std::fprintf(stderr, "\\x%02X", byte);
        }
        std::fputs("\"\n", stderr);
    }
    std::fflush(stderr);
    std::abort();
}

} // namespace tb::fuzz
