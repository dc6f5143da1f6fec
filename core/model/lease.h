// Lease: what a Linux DHCP client keeps of one lease, as raw option bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The data bytes of one option, without its code and length bytes.
using OptionBytes = std::vector<std::uint8_t>;
// Options by code. Parts of a long option (RFC 3396) are already joined.
using OptionMap = std::map<std::uint8_t, OptionBytes>;

struct Lease
{
    OptionMap m_mapOptions;
    // The name of the source that supplied each option ("dhcpcd", "networkd",
    // "dhclient", "NetworkManager", "inform").
    std::map<std::uint8_t, std::string> m_mapSources;
    // The leased address (yiaddr), in host byte order: 10.99.0.146 is 0x0A630092.
    std::optional<std::uint32_t> m_nYourAddress;
    // Seconds since 1970-01-01 00:00:00 UTC, where the client recorded them.
    std::optional<std::int64_t> m_tObtained;
    std::optional<std::int64_t> m_tExpires;
};
