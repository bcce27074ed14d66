// Little-endian 16- and 32-bit values in byte buffers: file headers, records and the bitmap block.
// Written byte by byte so they work at compile time and on any alignment; compilers fold each into
// a single load or store.
#pragma once

#include <cstdint>

namespace ulib {

constexpr void PutLE16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

constexpr void PutLE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

constexpr std::uint32_t GetLE16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }

constexpr std::uint32_t GetLE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace ulib
