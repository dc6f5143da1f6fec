#include "core/wire/option_text.h"

#include "core/options/option_decoder.h"

#include <utility>

namespace
{
using T = OptionTextType;

// The names dhclient gives options in its lease file (NetworkManager uses
// them with '_' for '-'), with the way each value is written.
constexpr OptionTextName kOptionTexts[] = {
    {"subnet-mask", 1, T::Address},
    {"time-offset", 2, T::Int32},
    {"routers", 3, T::AddressList},
    {"time-servers", 4, T::AddressList},
    {"ien116-name-servers", 5, T::AddressList},
    {"domain-name-servers", 6, T::AddressList},
    {"log-servers", 7, T::AddressList},
    {"cookie-servers", 8, T::AddressList},
    {"lpr-servers", 9, T::AddressList},
    {"impress-servers", 10, T::AddressList},
    {"resource-location-servers", 11, T::AddressList},
    {"host-name", 12, T::Text},
    {"boot-size", 13, T::UInt16},
    {"merit-dump", 14, T::Text},
    {"domain-name", 15, T::Text},
    {"swap-server", 16, T::Address},
    {"root-path", 17, T::Text},
    {"extensions-path", 18, T::Text},
    {"ip-forwarding", 19, T::Boolean},
    {"non-local-source-routing", 20, T::Boolean},
    {"policy-filter", 21, T::AddressPairs},
    {"max-dgram-reassembly", 22, T::UInt16},
    {"default-ip-ttl", 23, T::UInt8},
    {"path-mtu-aging-timeout", 24, T::UInt32},
    {"path-mtu-plateau-table", 25, T::UInt16List},
    {"interface-mtu", 26, T::UInt16},
    {"all-subnets-local", 27, T::Boolean},
    {"broadcast-address", 28, T::Address},
    {"perform-mask-discovery", 29, T::Boolean},
    {"mask-supplier", 30, T::Boolean},
    {"router-discovery", 31, T::Boolean},
    {"router-solicitation-address", 32, T::Address},
    {"static-routes", 33, T::AddressPairs},
    {"trailer-encapsulation", 34, T::Boolean},
    {"arp-cache-timeout", 35, T::UInt32},
    {"ieee802-3-encapsulation", 36, T::Boolean},
    {"default-tcp-ttl", 37, T::UInt8},
    {"tcp-keepalive-interval", 38, T::UInt32},
    {"tcp-keepalive-garbage", 39, T::Boolean},
    {"nis-domain", 40, T::Text},
    {"nis-servers", 41, T::AddressList},
    {"ntp-servers", 42, T::AddressList},
    {"vendor-encapsulated-options", 43, T::Bytes},
    {"netbios-name-servers", 44, T::AddressList},
    {"netbios-dd-server", 45, T::AddressList},
    {"netbios-node-type", 46, T::UInt8},
    {"netbios-scope", 47, T::Text},
    {"font-servers", 48, T::AddressList},
    {"x-display-manager", 49, T::AddressList},
    {"dhcp-requested-address", 50, T::Address},
    {"dhcp-lease-time", 51, T::UInt32},
    {"dhcp-option-overload", 52, T::UInt8},
    {"dhcp-message-type", 53, T::UInt8},
    {"dhcp-server-identifier", 54, T::Address},
    {"dhcp-parameter-request-list", 55, T::UInt8List},
    {"dhcp-message", 56, T::Text},
    {"dhcp-max-message-size", 57, T::UInt16},
    {"dhcp-renewal-time", 58, T::UInt32},
    {"dhcp-rebinding-time", 59, T::UInt32},
    {"vendor-class-identifier", 60, T::Bytes},
    {"dhcp-client-identifier", 61, T::Bytes},
    {"nwip-domain", 62, T::Text},
    {"nisplus-domain", 64, T::Text},
    {"nisplus-servers", 65, T::AddressList},
    {"tftp-server-name", 66, T::Text},
    {"bootfile-name", 67, T::Text},
    {"mobile-ip-home-agent", 68, T::AddressList},
    {"smtp-server", 69, T::AddressList},
    {"pop-server", 70, T::AddressList},
    {"nntp-server", 71, T::AddressList},
    {"www-server", 72, T::AddressList},
    {"finger-server", 73, T::AddressList},
    {"irc-server", 74, T::AddressList},
    {"streettalk-server", 75, T::AddressList},
    {"streettalk-directory-assistance-server", 76, T::AddressList},
    {"user-class", 77, T::Bytes},
    {"pcode", 100, T::Text},
    {"tcode", 101, T::Text},
    {"domain-search", 119, T::DomainList},
    {"classless-static-routes", 121, T::ClasslessRoutes},
    {"rfc3442-classless-static-routes", 121, T::ClasslessRoutes},
    {"ms-classless-static-routes", 249, T::ClasslessRoutes},
    {"wpad", 252, T::Text},
};

// The names dhclient gives options it has no name for: "unknown-245".
constexpr std::string_view kUnnamedPrefixes[] = {"option-", "unknown-"};
} // namespace

std::optional<std::pair<std::uint8_t, OptionBytes>> EncodeOptionText(std::string_view name,
                                                                     std::string_view value)
{
    std::optional<std::uint8_t> nCode;
    OptionTextType type = T::Bytes;
    for (const OptionTextName& row : kOptionTexts)
    {
        if (name == row.pszName)
        {
            nCode = row.nCode;
            type = row.type;
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
    const OptionBytes& bytes = found->second;
    const std::uint32_t nSeconds = static_cast<std::uint32_t>(bytes[0]) << 24 |
                                   static_cast<std::uint32_t>(bytes[1]) << 16 |
                                   static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
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
