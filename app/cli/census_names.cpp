#include "app/cli/census_names.h"

#include "core/options/dhcpv6_decoder.h"
#include "core/wire/address_text.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_text.h"

namespace
{
constexpr std::uint16_t kOptionServerId6 = 2;
} // namespace

std::string AddressText(std::uint32_t address)
{
    return std::string(DottedQuad(address));
}

std::string AddressText(const Ipv6Address& address)
{
    return Ipv6Text(address.data());
}

std::string MacString(const HardwareAddress& address)
{
    return MacText(address.data(), address.size());
}

std::string ServerIdText(const DiscoveredServer& server)
{
    return server.serverId ? AddressText(*server.serverId) : "none";
}

std::string ServerPathText(const OfferPath& path)
{
    return AddressText(path.address) + " " + MacString(path.mac);
}

std::string ServerName(const DiscoveredServer& server)
{
    if (!server.serverId)
        return "no id from " + AddressText(server.path.address);
    if ((server.flags & kServerConflict) != 0)
        return ServerIdText(server) + "@" + MacString(server.path.mac);
    return ServerIdText(server);
}

std::vector<std::string> ServerFlagTexts(const DiscoveredServer& server)
{
    std::vector<std::string> flags;
    if ((server.flags & kServerConflict) != 0)
        flags.push_back("conflict");
    if ((server.flags & kServerNoId) != 0)
        flags.push_back("no-server-id");
    if ((server.flags & kServerUnexpected) != 0)
        flags.push_back("unexpected");
    return flags;
}

std::string DuidText(const std::vector<std::uint8_t>& duid)
{
    return DecodeDhcpv6Option(kOptionServerId6, duid.data(), duid.size()).m_strText;
}

std::string DuidHex(const std::vector<std::uint8_t>& duid)
{
    return HexText(duid.data(), duid.size());
}

std::vector<std::string> Server6FlagTexts(const DiscoveredServer6& server)
{
    std::vector<std::string> flags;
    if ((server.flags & kServer6Conflict) != 0)
        flags.push_back("conflict");
    if ((server.flags & kServer6Unexpected) != 0)
        flags.push_back("unexpected");
    return flags;
}

std::string RouterPathText(const AdvertisedRouter& router)
{
    return AddressText(router.address) + " " + MacString(router.mac);
}

std::vector<std::string> RouterFlagTexts(const AdvertisedRouter& router)
{
    std::vector<std::string> flags;
    if ((router.flags & kRouterConflict) != 0)
        flags.push_back("conflict");
    if ((router.flags & kRouterUnexpected) != 0)
        flags.push_back("unexpected");
    return flags;
}

std::string JoinedFlags(const std::vector<std::string>& flags)
{
    std::string text;
    for (const std::string& flag : flags)
        text += (text.empty() ? "" : ",") + flag;
    return text;
}
