#include "core/wire/dhcpv6_discovery.h"

#include "core/options/dhcpv6_options.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/ipv6_datagram.h"

namespace
{
constexpr std::uint16_t kOptionClientId6 = 1;
constexpr std::uint16_t kOptionIaNa = 3;
constexpr std::uint16_t kOptionRequest6 = 6;
constexpr std::uint16_t kOptionElapsedTime = 8;
constexpr std::uint16_t kOptionIaPd = 25;

void AppendBe16(OptionBytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

// An identity association of IA_NA's and IA_PD's layout: the IAID, and T1
// and T2 left to the server (0), with no addresses or prefixes to hint at.
OptionBytes IdentityAssociation(std::uint32_t iaid)
{
    OptionBytes bytes(12);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(iaid >> (24 - 8 * i));
    return bytes;
}
} // namespace

std::vector<std::uint16_t> SolicitRequestedOptions()
{
    std::vector<std::uint16_t> codes;
    for (const Dhcpv6Row& row : kDhcpv6Options)
    {
        if (!row.Has(kNotRequested))
            codes.push_back(row.nCode);
    }
    return codes;
}

std::vector<std::uint8_t> BuildSolicit(const SolicitRequest& request)
{
    OptionBytes oro;
    for (const std::uint16_t code : SolicitRequestedOptions())
        AppendBe16(oro, code);
    Dhcpv6Message solicit;
    solicit.type = kDhcpv6Solicit;
    solicit.transactionId = request.transactionId & 0xFFFFFF;
    solicit.options = {{kOptionClientId6, request.clientDuid},
                       {kOptionElapsedTime, {0, 0}},
                       {kOptionIaNa, IdentityAssociation(request.iaid)},
                       {kOptionIaPd, IdentityAssociation(request.iaid)},
                       {kOptionRequest6, oro}};
    return WriteDhcpv6Message(solicit);
}

std::vector<std::uint8_t> BuildSolicitPacket(const SolicitRequest& request,
                                             const Ipv6Address& source)
{
    return BuildUdp6Packet({source, kAllDhcpv6Servers, kDhcpv6ClientPort, kDhcpv6ServerPort},
                           BuildSolicit(request));
}
