#pragma once

#include <string_view>

namespace tb::fuzz {

// Stops the run with a message on stderr and abort(): libFuzzer records it as
// a crash and keeps the input, the replay executable fails its test.
[[noreturn]] void fail(std::string_view what, std::string_view input = {});

inline void expect(bool ok, std::string_view what, std::string_view input = {})
{
    if (!ok)
        fail(what, input);
}

} // namespace tb::fuzz
