// Multi-byte numbers as DHCP and rtnetlink carry them: network byte order
// (big-endian), at any alignment.
#pragma once

#include <cstdint>

constexpr std::uint16_t ReadBe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

constexpr std::uint32_t ReadBe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}
