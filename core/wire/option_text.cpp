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
    // The other DHCPv4 options of dhcp-options(5), in code order. Their codes
    // are past the window's catalogue, so each row says how it is written.
    {"nwip-suboptions", 63, WireType::Bytes},
    {"nds-servers", 85, WireType::Addresses},
    {"nds-tree-name", 86, WireType::Bytes},
    {"nds-context", 87, WireType::Bytes},
    {"bcms-controller-names", 88, WireType::DomainList},
    {"bcms-controller-address", 89, WireType::Addresses},
    {"client-last-transaction-time", 91, WireType::UInt32},
    {"associated-ip", 92, WireType::Addresses},
    {"pxe-system-type", 93, WireType::UInt16List},
    {"pxe-interface-id", 94, WireType::UInt8List},
    {"pxe-client-id", 97, WireType::Bytes},
    {"uap-servers", 98, WireType::Text},
    {"geoconf-civic", 99, WireType::Bytes},
    {"pcode", 100},
    {"tcode", 101},
    {"v6-only-preferred", 108, WireType::UInt32},
    {"netinfo-server-address", 112, WireType::Addresses},
    {"netinfo-server-tag", 113, WireType::Text},
    {"default-url", 114, WireType::Text},
    {"name-service-search", 117, WireType::UInt16List},
    {"subnet-selection", 118, WireType::Address},
    {"domain-search", 119},
    {"classless-static-routes", 121},
    {"rfc3442-classless-static-routes", 121},
    {"vivso", 125, WireType::Bytes},
    {"pana-agent", 136, WireType::Addresses},
    {"v4-lost", 137, WireType::DomainList},
    {"capwap-ac-v4", 138, WireType::Addresses},
    // dhclient's own name for RFC 3319's list, which dhcp-options(5) gives
    // only for DHCPv6.
    {"sip-ua-cs-domains", 141, WireType::DomainList},
    {"tftp-server-address", 150, WireType::Addresses},
    {"loader-configfile", 209, WireType::Text},
    {"loader-pathprefix", 210, WireType::Text},
    {"loader-reboottime", 211, WireType::UInt32},
    {"v4-access-domain", 213, WireType::DomainList},
    {"ms-classless-static-routes", 249},
    {"wpad", 252},
};

// Options of dhcp-options(5) that dhclient writes in a form of their own
// (a flag before addresses, a preference before names): known by code only.
constexpr std::pair<std::string_view, std::uint8_t> kCodeOnlyNames[] = {
    {"slp-directory-agent", 78},
    {"slp-service-scope", 79},
    {"rdnss-selection", 146},
    {"option-6rd", 212},
};

// The names dhclient gives options it has no name for: "unknown-245".
constexpr std::string_view kUnnamedPrefixes[] = {"option-", "unknown-"};

const OptionTextName* FindRow(std::string_view name)
{
    for (const OptionTextName& row : kOptionTexts)
    {
        if (name == row.pszName)
            return &row;
    }
    return nullptr;
}

std::optional<std::uint8_t> UnnamedCode(std::string_view name)
{
    for (const std::string_view prefix : kUnnamedPrefixes)
    {
        // Codes 0 (pad) and 255 (end) are no options.
        if (name.substr(0, prefix.size()) == prefix)
        {
            const auto nNumber = ParseDecimalText(name.substr(prefix.size()), 254);
            if (nNumber && *nNumber != 0)
                return static_cast<std::uint8_t>(*nNumber);
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<std::uint8_t> OptionTextCode(std::string_view name)
{
    if (const OptionTextName* pRow = FindRow(name))
        return pRow->nCode;
    for (const auto& [codeOnly, nCode] : kCodeOnlyNames)
    {
        if (name == codeOnly)
            return nCode;
    }
    return UnnamedCode(name);
}

std::optional<std::pair<std::uint8_t, OptionBytes>> EncodeOptionText(std::string_view name,
                                                                     std::string_view value)
{
    const OptionTextName* pRow = FindRow(name);
    // An option dhclient has no name for is written in hex, whatever its code.
    const std::optional<std::uint8_t> nCode = pRow != nullptr ? pRow->nCode : UnnamedCode(name);
    const WireType type = pRow != nullptr ? TextFormat(*pRow) : WireType::Bytes;
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
