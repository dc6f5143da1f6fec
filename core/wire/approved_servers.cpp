#include "core/wire/approved_servers.h"

#include "core/wire/address_text.h"
#include "core/wire/dhcpv6_option_text.h"
#include "core/wire/duid.h"
#include "core/wire/hex_digit.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_text.h"

#include <algorithm>

namespace
{
constexpr std::size_t kMacTextSize = 17;
constexpr std::string_view kDuidPrefix = "duid:";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "%10": 1 to 4094, without leading zeros.
bool ParseVlanSuffix(std::string_view text, std::uint16_t& vlan)
{
    if (text.empty() || text.size() > 4 || text.front() == '0' ||
        !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    unsigned value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<unsigned>(c - '0');
    vlan = static_cast<std::uint16_t>(value);
    return value <= kMaxVlanId;
}

// Pairs of hex digits, each but the last optionally followed by a colon; a
// DUID as RFC 8415 11.1 bounds it.
bool ParseDuidText(std::string_view text, std::vector<std::uint8_t>& duid)
{
    for (std::size_t at = 0; at < text.size();)
    {
        const int high = HexDigit(text[at]);
        const int low = at + 1 < text.size() ? HexDigit(text[at + 1]) : -1;
        if (high < 0 || low < 0)
            return false;
        duid.push_back(static_cast<std::uint8_t>(high << 4 | low));
        at += 2;
        if (at < text.size() && text[at] == ':' && ++at == text.size())
            return false;
    }
    return ReadDuid(duid.data(), duid.size()).has_value();
}

bool IsLinkLocal(const Ipv6Address& address)
{
    return address[0] == 0xFE && (address[1] & 0xC0) == 0x80;
}

bool Holds(const ApprovedEntry& entry, ApprovedKind kind, std::optional<std::uint16_t> vlan)
{
    return entry.kind == kind && AppliesTo(entry, vlan);
}
} // namespace

bool ParseIpv4Text(std::string_view text, std::uint32_t& nAddress)
{
    nAddress = 0;
    std::size_t nAt = 0;
    for (int nPart = 0; nPart < 4; ++nPart)
    {
        if (nPart > 0 && (nAt >= text.size() || text[nAt++] != '.'))
            return false;
        std::uint32_t nValue = 0;
        std::size_t nDigits = 0;
        for (; nAt < text.size() && IsDigit(text[nAt]); ++nAt, ++nDigits)
        {
            nValue = nValue * 10 + static_cast<std::uint32_t>(text[nAt] - '0');
            if (nDigits == 3 || nValue > 255)
                return false;
        }
        if (nDigits == 0)
            return false;
        nAddress = nAddress << 8 | nValue;
    }
    return nAt == text.size();
}

bool ParseMacText(std::string_view text, HardwareAddress& address)
{
    if (text.size() != kMacTextSize)
        return false;
    for (std::size_t i = 0; i < address.size(); ++i)
    {
        const int nHigh = HexDigit(text[3 * i]);
        const int nLow = HexDigit(text[3 * i + 1]);
        if (nHigh < 0 || nLow < 0 || (i < 5 && text[3 * i + 2] != ':' && text[3 * i + 2] != '-'))
            return false;
        address[i] = static_cast<std::uint8_t>(nHigh << 4 | nLow);
    }
    return true;
}

std::optional<ApprovedEntry> ParseApprovedEntry(std::string_view text)
{
    ApprovedEntry entry;
    if (const std::size_t percent = text.rfind('%'); percent != std::string_view::npos)
    {
        std::uint16_t vlan = 0;
        if (!ParseVlanSuffix(text.substr(percent + 1), vlan))
            return std::nullopt;
        entry.vlan = vlan;
        text = text.substr(0, percent);
    }
    HardwareAddress mac{};
    if (text.substr(0, kDuidPrefix.size()) == kDuidPrefix)
    {
        entry.kind = ApprovedKind::Dhcpv6;
        if (!ParseDuidText(text.substr(kDuidPrefix.size()), entry.duid))
            return std::nullopt;
    }
    else if (ParseMacText(text, mac))
    {
        entry.kind = ApprovedKind::Router;
        entry.mac = mac;
    }
    else if (text.find('@') == std::string_view::npos && text.find(':') != std::string_view::npos)
    {
        entry.kind = ApprovedKind::Router;
        entry.address = ParseIpv6Text(text);
        if (!entry.address || !IsLinkLocal(*entry.address))
            return std::nullopt;
    }
    else
    {
        const std::size_t at = text.find('@');
        if (!ParseIpv4Text(text.substr(0, at), entry.serverId))
            return std::nullopt;
        if (at != std::string_view::npos)
        {
            if (!ParseMacText(text.substr(at + 1), mac))
                return std::nullopt;
            entry.mac = mac;
        }
    }
    return entry;
}

std::string ApprovedEntryText(const ApprovedEntry& entry)
{
    std::string text;
    switch (entry.kind)
    {
    case ApprovedKind::Dhcpv4:
        text = std::string(DottedQuad(entry.serverId));
        if (entry.mac)
            text += "@" + MacText(entry.mac->data(), entry.mac->size());
        break;
    case ApprovedKind::Dhcpv6:
        text = std::string(kDuidPrefix) + HexText(entry.duid.data(), entry.duid.size());
        break;
    case ApprovedKind::Router:
        text = entry.address ? Ipv6Text(entry.address->data())
                             : MacText(entry.mac->data(), entry.mac->size());
        break;
    }
    return entry.vlan ? text + "%" + std::to_string(*entry.vlan) : text;
}

std::size_t ParseApprovedServers(std::string_view text, std::vector<ApprovedEntry>& list)
{
    std::size_t nLine = 0;
    std::size_t nEntries = 0;
    while (!text.empty())
    {
        ++nLine;
        const std::size_t nEnd = text.find('\n');
        std::string_view line = text.substr(0, nEnd);
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        std::optional<ApprovedEntry> entry = ParseApprovedEntry(line);
        if (!entry || ++nEntries > kMaxApprovedServers)
            return nLine;
        list.push_back(std::move(*entry));
    }
    return 0;
}

bool AppliesTo(const ApprovedEntry& entry, std::optional<std::uint16_t> vlan)
{
    return !entry.vlan || entry.vlan == vlan;
}

bool IsApproved(const DiscoveredServer& server, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list)
{
    return server.serverId && std::any_of(list.begin(), list.end(),
                                          [&](const ApprovedEntry& entry)
                                          {
                                              return Holds(entry, ApprovedKind::Dhcpv4, vlan) &&
                                                     entry.serverId == *server.serverId &&
                                                     (!entry.mac || *entry.mac == server.path.mac);
                                          });
}

bool IsApproved(const DiscoveredServer6& server, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const ApprovedEntry& entry) {
                           return Holds(entry, ApprovedKind::Dhcpv6, vlan) &&
                                  entry.duid == server.duid;
                       });
}

bool IsApproved(const AdvertisedRouter& router, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const ApprovedEntry& entry)
                       {
                           return Holds(entry, ApprovedKind::Router, vlan) &&
                                  (entry.address ? *entry.address == router.address
                                                 : *entry.mac == router.mac);
                       });
}
