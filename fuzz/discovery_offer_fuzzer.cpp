// The acceptance path of a discovery: arbitrary bytes as the UDP payload of a
// reply from port 67 (taking the transaction id and chaddr from the input
// itself, so that offers reach the merge) and as a whole IPv4 packet. What is
// kept must stay within the limits, only offers may be kept, and the flags
// must say which servers lack an id and which share one, and every option
// kept must name the offer as its source.
#include "core/wire/dhcp_discovery.h"
#include "core/wire/udp_datagram.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr std::size_t kTransactionIdOffset = 4;
constexpr std::size_t kClientHardwareOffset = 28;

void Check(const ServerDiscovery& discovery, const DiscoveryLimits& limits)
{
    if (discovery.Servers().size() > limits.maxServers ||
        discovery.KeptOptionBytes() > limits.maxOptionBytes)
        std::abort();
    for (const DiscoveredServer& server : discovery.Servers())
    {
        if (server.offers < 1 || ((server.flags & kServerNoId) != 0) == server.serverId.has_value())
            std::abort();
        // A conflict exactly where another server names the same id.
        const auto nSameId =
            std::count_if(discovery.Servers().begin(), discovery.Servers().end(),
                          [&server](const DiscoveredServer& other)
                          { return server.serverId && other.serverId == server.serverId; });
        if (((server.flags & kServerConflict) != 0) != (nSameId > 1))
            std::abort();
        const auto type = server.offer.m_mapOptions.find(kOptionMessageType);
        if (type == server.offer.m_mapOptions.end() || type->second != OptionBytes{kDhcpOffer})
            std::abort();
        // Every option kept says it came from the offer.
        if (server.offer.m_mapSources.size() != server.offer.m_mapOptions.size() ||
            std::any_of(server.offer.m_mapSources.begin(), server.offer.m_mapSources.end(),
                        [](const auto& source) { return source.second != kOfferSource; }))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    std::uint32_t nXid = 0;
    HardwareAddress clientMac{};
    if (nSize >= kClientHardwareOffset + clientMac.size())
    {
        nXid = std::uint32_t{pInput[kTransactionIdOffset]} << 24 |
               std::uint32_t{pInput[kTransactionIdOffset + 1]} << 16 |
               std::uint32_t{pInput[kTransactionIdOffset + 2]} << 8 |
               pInput[kTransactionIdOffset + 3];
        std::copy_n(pInput + kClientHardwareOffset, clientMac.size(), clientMac.begin());
    }
    // Small bounds, so that the fuzzer reaches them.
    DiscoveryLimits limits;
    limits.maxServers = 2;
    limits.maxOptionBytes = 600;
    ServerDiscovery discovery(nXid, clientMac, limits);

    const std::vector<std::uint8_t> payload(pInput, pInput + nSize);
    for (std::uint32_t nFrom = 1; nFrom <= 3; ++nFrom)
    {
        const std::vector<std::uint8_t> packet =
            BuildUdpPacket(UdpEndpoints{0x0A000000 + nFrom, 0xFFFFFFFF, 67, 68}, payload);
        const HardwareAddress sourceMac = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(nFrom)};
        discovery.Take(packet.data(), packet.size(), sourceMac);
        Check(discovery, limits);
    }
    discovery.Take(pInput, nSize, HardwareAddress{}, nSize % 2 == 0);
    Check(discovery, limits);
    return 0;
}
