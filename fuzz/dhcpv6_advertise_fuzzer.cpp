// The Advertise sorter: arbitrary bytes as the DHCPv6 message of a server on
// three paths (taking the transaction id and client DUID from the message
// itself, so that Advertises reach the merge) and as a whole IPv6 packet.
// What is kept stays within the limits, every packet is counted once, and a
// conflict is flagged exactly where another server has the same DUID.
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/ipv6_datagram.h"

#include <algorithm>
#include <cstdlib>

namespace
{
void Check(const Dhcpv6ServerDiscovery& discovery, const DiscoveryLimits& limits)
{
    const Dhcpv6DiscoveryCounts& c = discovery.Counts();
    if (discovery.Servers().size() > limits.maxServers ||
        discovery.KeptBytes() > limits.maxOptionBytes ||
        c.packets != c.advertises + c.otherTransaction + c.otherClient + c.noServerId + c.ignored +
                         c.malformed + c.dropped)
        std::abort();
    for (const DiscoveredServer6& server : discovery.Servers())
    {
        const auto sameDuid = std::count_if(discovery.Servers().begin(), discovery.Servers().end(),
                                            [&server](const DiscoveredServer6& other)
                                            { return other.duid == server.duid; });
        if (server.advertises < 1 || server.duid.empty() ||
            ((server.flags & kServer6Conflict) != 0) != (sameDuid > 1))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    std::uint32_t transactionId = 0;
    std::vector<std::uint8_t> clientDuid;
    if (const std::optional<Dhcpv6Message> message = ParseDhcpv6Message(input, size))
    {
        transactionId = message->transactionId;
        for (const Dhcpv6Option& option : message->options)
        {
            if (option.code == 1)
                clientDuid = option.data;
        }
    }
    // Small bounds, so that the fuzzer reaches them.
    const DiscoveryLimits limits{2, 600};
    Dhcpv6ServerDiscovery discovery(transactionId, clientDuid, limits);
    const std::vector<std::uint8_t> payload(input, input + size);
    for (std::uint8_t from = 1; from <= 3; ++from)
    {
        const Ipv6Address source = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, from};
        const std::vector<std::uint8_t> packet = BuildUdp6Packet(
            {source, kAllDhcpv6Servers, kDhcpv6ServerPort, kDhcpv6ClientPort}, payload);
        discovery.Take(packet.data(), packet.size(), {0x02, 0, 0, 0, 0, from});
        Check(discovery, limits);
    }
    discovery.Take(input, size, HardwareAddress{}, size % 2 == 0);
    Check(discovery, limits);
    return 0;
}
