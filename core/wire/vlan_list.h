// VLAN lists as people and veyra-probe write them: "10,20,100-199".
#pragma once

#include "core/wire/census.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What is wrong with a list: the item as written, and whether it is a range
// that goes down (otherwise it is not an id or range at all).
struct VlanListError
{
    std::string item;
    bool descending = false;
};

// Adds the VLANs of text to vlans: comma-separated ids from 1 to kMaxVlanId
// (no sign, no leading zero) and ascending ranges of them, blanks allowed
// around each; vlans stays ascending and without duplicates. On an error
// vlans is left as it was.
std::optional<VlanListError> ReadVlanList(std::string_view text, std::vector<std::uint16_t>& vlans);

// The ascending VLANs with runs as ranges, joined by separator: "10-12,20".
std::string VlanListText(std::vector<std::uint16_t> vlans, std::string_view separator = ",");
