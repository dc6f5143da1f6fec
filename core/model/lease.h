// Lease: what a Linux DHCP client keeps of one lease, as raw option bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The data bytes of one option, without its code and length bytes.
using OptionBytes = std::vector<std::uint8_t>;
// Options by code. Parts of a long option (RFC 3396) are already joined.
using OptionMap = std::map<std::uint8_t, OptionBytes>;

// An option line a client wrote that this program could not turn into bytes:
// a name it does not know, or a text that does not parse as the name's type.
// It is kept as written rather than dropped.
struct UnmappedOption
{
    std::string m_strName;               // as the client wrote it
    std::optional<std::uint8_t> m_nCode; // where the name is known
    std::string m_strText;               // the value, as written
    std::string m_strSource;             // the source's name, as m_mapSources'
};

// What the front ends show after the text of an option in m_CutOptions.
inline constexpr const char* kMayBeCutMark = " [may be cut short]";

struct Lease
{
    OptionMap m_mapOptions;
    // The name of the source that supplied each option ("dhcpcd", "networkd",
    // "dhclient", "NetworkManager", "inform"; "offer" in a discovery's offer).
    std::map<std::uint8_t, std::string> m_mapSources;
    // The option lines no code and bytes could be made of, in the order read.
    std::vector<UnmappedOption> m_Unmapped;
    // Options whose bytes may end early: dhcpcd's unprivileged socket hands a
    // text on only up to its first NUL or byte above 0x7F.
    std::set<std::uint8_t> m_CutOptions;
    // What each source answered, by name: 0, ENOENT for no lease, or the errno
    // value of why it could not look. Filled by a chain of sources.
    std::map<std::string, int> m_mapAnswers;
    // The leased address (yiaddr), in host byte order: 10.99.0.146 is 0x0A630092.
    std::optional<std::uint32_t> m_nYourAddress;
    // Seconds since 1970-01-01 00:00:00 UTC, where the client recorded them.
    std::optional<std::int64_t> m_tObtained;
    std::optional<std::int64_t> m_tExpires;
};
