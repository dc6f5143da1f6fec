#include "core/wire/nm_options.h"

#include "core/wire/option_text.h"

#include <algorithm>
#include <string_view>

namespace
{
constexpr std::string_view kAddressName = "ip_address";
constexpr std::string_view kExpiryName = "expiry";
// The options NetworkManager asked for, and the BOOTP siaddr field: not the server's options.
constexpr std::string_view kRequestedPrefix = "requested_";
constexpr std::string_view kNextServerName = "next_server";
// NetworkManager's own client names site-specific options "private_224".
constexpr std::string_view kPrivatePrefix = "private_";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}
} // namespace

bool LeaseFromNetworkManager(const std::map<std::string, std::string>& options, Lease& lease)
{
    for (const auto& [strName, strValue] : options)
    {
        if (strName == kAddressName)
        {
            if (const auto address = ParseAddressText(strValue))
                lease.m_nYourAddress = address;
            continue;
        }
        if (strName == kExpiryName)
        {
            if (const auto tExpiry = ParseDecimalText(strValue, kLatestLeaseTime))
                lease.m_tExpires = static_cast<std::int64_t>(*tExpiry);
            continue;
        }
        if (StartsWith(strName, kRequestedPrefix) || strName == kNextServerName)
            continue;

        // dhclient's name: '-' for '_', and "option-NNN" for "private_NNN".
        std::string strDhclientName = StartsWith(strName, kPrivatePrefix)
                                          ? "option-" + strName.substr(kPrivatePrefix.size())
                                          : strName;
        std::replace(strDhclientName.begin(), strDhclientName.end(), '_', '-');
        if (auto option = EncodeOptionText(strDhclientName, strValue))
            lease.m_mapOptions.insert_or_assign(option->first, std::move(option->second));
    }
    DeriveLeaseStart(lease);
    return lease.m_nYourAddress || !lease.m_mapOptions.empty();
}
