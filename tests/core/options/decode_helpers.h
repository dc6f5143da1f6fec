// Decoding an option given as a list of wire bytes.
#pragma once

#include "core/options/option_decoder.h"

#include <cstdint>
#include <vector>

inline DhcpOption Decode(std::uint32_t nCode, const std::vector<std::uint8_t>& bytes)
{
    DhcpOption option;
    DecodeOption(nCode, bytes.data(), bytes.size(), option);
    return option;
}
