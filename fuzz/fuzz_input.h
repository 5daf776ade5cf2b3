// Pieces of a fuzz input that more than one target reads the same way.
#pragma once

#include <cstddef>
#include <cstdint>

// The little-endian 16-bit value at `at`; bytes past the end count as 0.
inline std::int16_t readInt16(const std::uint8_t* data, std::size_t size, std::size_t at)
{
    const unsigned lo = at < size ? data[at] : 0U;
    const unsigned hi = at + 1 < size ? data[at + 1] : 0U;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}
