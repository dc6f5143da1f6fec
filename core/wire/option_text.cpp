#include "core/wire/option_text.h"

#include "core/options/option_decoder.h"
#include "core/wire/byte_order.h"

#include <utility>

namespace
{
// The names dhclient gives options in its lease file (NetworkManager uses
// them with '_' for '-'); each value is written as its code's wire type.
constexpr OptionTextName kOptionTexts[] = {
    {"subnet-mask", 1},
    {"time-offset", 2},
    {"routers", 3},
    {"time-servers", 4},
    {"ien116-name-servers", 5},
    {"domain-name-servers", 6},
    {"log-servers", 7},
    {"cookie-servers", 8},
    {"lpr-servers", 9},
    {"impress-servers", 10},
    {"resource-location-servers", 11},
    {"host-name", 12},
    {"boot-size", 13},
    {"merit-dump", 14},
    {"domain-name", 15},
    {"swap-server", 16},
    {"root-path", 17},
    {"extensions-path", 18},
    {"ip-forwarding", 19},
    {"non-local-source-routing", 20},
    {"policy-filter", 21},
    {"max-dgram-reassembly", 22},
    {"default-ip-ttl", 23},
    {"path-mtu-aging-timeout", 24},
    {"path-mtu-plateau-table", 25},
    {"interface-mtu", 26},
    {"all-subnets-local", 27},
    {"broadcast-address", 28},
    {"perform-mask-discovery", 29},
    {"mask-supplier", 30},
    {"router-discovery", 31},
    {"router-solicitation-address", 32},
    {"static-routes", 33},
    {"trailer-encapsulation", 34},
    {"arp-cache-timeout", 35},
    {"ieee802-3-encapsulation", 36},
    {"default-tcp-ttl", 37},
    {"tcp-keepalive-interval", 38},
    {"tcp-keepalive-garbage", 39},
    {"nis-domain", 40},
    {"nis-servers", 41},
    {"ntp-servers", 42},
    {"vendor-encapsulated-options", 43},
    {"netbios-name-servers", 44},
    {"netbios-dd-server", 45},
    {"netbios-node-type", 46},
    {"netbios-scope", 47},
    {"font-servers", 48},
    {"x-display-manager", 49},
    {"dhcp-requested-address", 50},
    {"dhcp-lease-time", 51},
    {"dhcp-option-overload", 52},
    {"dhcp-message-type", 53},
    {"dhcp-server-identifier", 54},
    {"dhcp-parameter-request-list", 55},
    {"dhcp-message", 56},
    {"dhcp-max-message-size", 57},
    {"dhcp-renewal-time", 58},
    {"dhcp-rebinding-time", 59},
    {"vendor-class-identifier", 60},
    {"dhcp-client-identifier", 61},
    {"nwip-domain", 62},
    {"nisplus-domain", 64},
    {"nisplus-servers", 65},
    {"tftp-server-name", 66},
    {"bootfile-name", 67},
    {"mobile-ip-home-agent", 68},
    {"smtp-server", 69},
    {"pop-server", 70},
    {"nntp-server", 71},
    {"www-server", 72},
    {"finger-server", 73},
    {"irc-server", 74},
    {"streettalk-server", 75},
    {"streettalk-directory-assistance-server", 76},
    {"user-class", 77},
    {"pcode", 100},
    {"tcode", 101},
    {"domain-search", 119},
    {"classless-static-routes", 121},
    {"rfc3442-classless-static-routes", 121},
    {"ms-classless-static-routes", 249},
    {"wpad", 252},
};

// The names dhclient gives options it has no name for: "unknown-245".
constexpr std::string_view kUnnamedPrefixes[] = {"option-", "unknown-"};
} // namespace

std::optional<std::pair<std::uint8_t, OptionBytes>> EncodeOptionText(std::string_view name,
                                                                     std::string_view value)
{
    std::optional<std::uint8_t> nCode;
    // An option dhclient has no name for is written in hex, whatever its code.
    WireType type = WireType::Bytes;
    for (const OptionTextName& row : kOptionTexts)
    {
        if (name == row.pszName)
        {
            nCode = row.nCode;
            type = TextFormat(row);
            break;
        }
    }
    for (const std::string_view prefix : kUnnamedPrefixes)
    {
        // Codes 0 (pad) and 255 (end) are no options.
        if (!nCode && name.substr(0, prefix.size()) == prefix)
        {
            const auto nNumber = ParseDecimalText(name.substr(prefix.size()), 254);
            if (nNumber && *nNumber != 0)
                nCode = static_cast<std::uint8_t>(*nNumber);
        }
    }
    if (!nCode)
        return std::nullopt;
    auto bytes = EncodeOptionValue(type, value);
    if (!bytes)
        return std::nullopt;
    return std::make_pair(*nCode, std::move(*bytes));
}

std::optional<std::uint32_t> FiniteLeaseSeconds(const OptionMap& options)
{
    const auto found = options.find(51);
    if (found == options.end() || found->second.size() != 4)
        return std::nullopt;
    const std::uint32_t nSeconds = ReadBe32(found->second.data());
    if (nSeconds == kInfiniteLease)
        return std::nullopt;
    return nSeconds;
}

void DeriveLeaseStart(Lease& lease)
{
    const auto nSeconds = FiniteLeaseSeconds(lease.m_mapOptions);
    if (lease.m_tExpires && nSeconds)
        lease.m_tObtained = *lease.m_tExpires - *nSeconds;
}
