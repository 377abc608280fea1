#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tb::fuzz {

// Reads the fuzzer's bytes as a stream of small choices. Past the end every
// read gives zero, so any input, however short, drives a target fully.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) noexcept
        : m_data(data)
        , m_size(size)
    {
    }

    [[nodiscard]] std::size_t remaining() const noexcept { return m_size - m_pos; }

    [[nodiscard]] std::uint8_t byte() noexcept { return m_pos < m_size ? m_data[m_pos++] : 0; }

    [[nodiscard]] std::uint64_t u64() noexcept
    {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i)
            value = value << 8 | byte();
        return value;
    }

    [[nodiscard]] double bitsAsDouble() noexcept { return std::bit_cast<double>(u64()); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace tb::fuzz
