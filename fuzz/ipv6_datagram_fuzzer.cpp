// A packet socket's IPv6 frames as the Information-request reads them: any
// bytes are refused or read within the packet, and a datagram read is written
// back to one that reads the same.
#include "core/wire/ipv6_datagram.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    for (const bool pending : {false, true})
    {
        const std::optional<Udp6PacketView> view = ParseUdp6Packet(input, size, pending);
        if (!view)
            continue;
        if (view->payload < input + kIpv6HeaderSize ||
            view->payload + view->payloadSize > input + size)
            std::abort();
        const std::vector<std::uint8_t> payload(view->payload, view->payload + view->payloadSize);
        const std::vector<std::uint8_t> again = BuildUdp6Packet(view->endpoints, payload);
        const std::optional<Udp6PacketView> reread = ParseUdp6Packet(again.data(), again.size());
        if (!reread || reread->endpoints.source != view->endpoints.source ||
            reread->endpoints.sourcePort != view->endpoints.sourcePort ||
            std::vector<std::uint8_t>(reread->payload, reread->payload + reread->payloadSize) !=
                payload)
            std::abort();
    }
    return 0;
}
