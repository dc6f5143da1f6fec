#include "core/wire/router_discovery.h"

#include "core/wire/ipv6_datagram.h"
#include "core/wire/neighbor_discovery.h"

std::vector<std::uint8_t> BuildRouterSolicitation(const Ipv6Address& source,
                                                  const HardwareAddress& mac)
{
    std::vector<std::uint8_t> message = {kIcmpv6RouterSolicitation, 0, 0, 0, 0, 0, 0, 0};
    AppendLinkLayerOption(message, kNdSourceLinkLayer, mac);
    return BuildIcmpv6Packet(source, kAllRouters, message);
}
