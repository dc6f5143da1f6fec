// The options every front end asks for, and the one step from an adapter's
// option bytes to the rows of its results list.
#pragma once

#include "core/model/dhcp_option.h"
#include "core/model/lease.h"

#include <array>
#include <cstdint>

// The options asked for, in the order their rows appear.
inline constexpr std::array<std::uint32_t, 46> kRequestedOptions = {
    54, 12, 1,  15, 6,  3,  4,  2,  7,  8,  9,  10, 11, 14, 16, 17, 18, 22, 23, 24, 25, 28, 33,
    35, 36, 37, 38, 39, 41, 42, 43, 44, 46, 47, 48, 49, 50, 51, 52, 55, 58, 59, 60, 61, 66, 67};

// Each requested option the map holds with data, decoded, in request order.
DhcpOptionList DecodeRequestedOptions(const OptionMap& options);
