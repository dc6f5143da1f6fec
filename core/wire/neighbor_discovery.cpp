#include "core/wire/neighbor_discovery.h"

#include "core/wire/ipv6_datagram.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kNdHopLimit = 255;
constexpr std::size_t kOptionUnit = 8;
constexpr std::size_t kSolicitationSize = 24; // type, code, checksum, reserved, target
constexpr std::size_t kTargetOffset = 8;
constexpr std::uint8_t kSolicitedFlag = 0x40;
constexpr std::uint8_t kOverrideFlag = 0x20;
constexpr Ipv6Address kAllNodes = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
constexpr Ipv6Address kUnspecified{};
constexpr std::uint8_t kSolicitedNodePrefix[] = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xff};

bool IsSolicitedNode(const Ipv6Address& address)
{
    return std::equal(std::begin(kSolicitedNodePrefix), std::end(kSolicitedNodePrefix),
                      address.begin());
}
} // namespace

std::optional<std::vector<NdOption>> ReadNdOptions(const std::uint8_t* data, std::size_t size)
{
    std::vector<NdOption> options;
    while (size > 0)
    {
        if (size < 2 || data[1] == 0 || data[1] * kOptionUnit > size)
            return std::nullopt;
        const std::size_t length = data[1] * kOptionUnit;
        options.push_back({data[0], data + 2, length - 2});
        data += length;
        size -= length;
    }
    return options;
}

std::optional<HardwareAddress> LinkLayerAddress(const NdOption& option)
{
    HardwareAddress mac{};
    if (option.size < mac.size())
        return std::nullopt;
    std::copy_n(option.data, mac.size(), mac.begin());
    return mac;
}

bool IsLinkLocalUnicast(const Ipv6Address& address)
{
    return address[0] == 0xfe && (address[1] & 0xc0) == 0x80;
}

Ipv6Address SolicitedNodeAddress(const Ipv6Address& address)
{
    Ipv6Address group{};
    std::copy(std::begin(kSolicitedNodePrefix), std::end(kSolicitedNodePrefix), group.begin());
    std::copy(address.end() - 3, address.end(), group.end() - 3);
    return group;
}

std::optional<NeighborSolicitation>
ParseNeighborSolicitation(const std::uint8_t* ipv6Packet, std::size_t size, bool checksumPending)
{
    const std::optional<Icmpv6PacketView> icmp =
        ParseIcmpv6Packet(ipv6Packet, size, checksumPending);
    if (!icmp || icmp->hopLimit != kNdHopLimit || icmp->message[0] != kIcmpv6NeighborSolicitation ||
        icmp->message[1] != 0 || icmp->messageSize < kSolicitationSize ||
        icmp->message[kTargetOffset] == 0xff)
        return std::nullopt;
    const std::optional<std::vector<NdOption>> options =
        ReadNdOptions(icmp->message + kSolicitationSize, icmp->messageSize - kSolicitationSize);
    if (!options)
        return std::nullopt;
    NeighborSolicitation solicitation;
    solicitation.source = icmp->source;
    std::copy_n(icmp->message + kTargetOffset, solicitation.target.size(),
                solicitation.target.begin());
    for (const NdOption& option : *options)
    {
        if (option.type == kNdSourceLinkLayer && !solicitation.sourceLinkLayer)
            solicitation.sourceLinkLayer = LinkLayerAddress(option);
    }
    const bool fromUnspecified = icmp->source == kUnspecified;
    if (fromUnspecified &&
        (!IsSolicitedNode(icmp->destination) ||
         std::any_of(options->begin(), options->end(),
                     [](const NdOption& o) { return o.type == kNdSourceLinkLayer; })))
        return std::nullopt;
    return solicitation;
}

std::vector<std::uint8_t> BuildNeighborAdvertisement(const Ipv6Address& target,
                                                     const HardwareAddress& ourMac,
                                                     const Ipv6Address& destination)
{
    const bool solicited = destination != kUnspecified;
    // Type, code, checksum, flags and reserved bytes, then the target.
    std::vector<std::uint8_t> message(8 + target.size());
    message[0] = kIcmpv6NeighborAdvertisement;
    message[4] = static_cast<std::uint8_t>(kOverrideFlag | (solicited ? kSolicitedFlag : 0));
    std::copy(target.begin(), target.end(), message.begin() + 8);
    AppendLinkLayerOption(message, kNdTargetLinkLayer, ourMac);
    return BuildIcmpv6Packet(target, solicited ? destination : kAllNodes, message);
}

std::optional<std::vector<std::uint8_t>> NeighborResponder::Answer(const std::uint8_t* ipv6Packet,
                                                                   std::size_t size,
                                                                   bool checksumPending,
                                                                   const HardwareAddress& sourceMac)
{
    const std::optional<NeighborSolicitation> solicitation =
        ParseNeighborSolicitation(ipv6Packet, size, checksumPending);
    if (!solicitation || solicitation->target != linkLocal || answers >= kMaxNeighborAnswers)
        return std::nullopt;
    ++answers;
    const HardwareAddress to = solicitation->source == kUnspecified
                                   ? Ipv6MulticastMac(kAllNodes)
                                   : solicitation->sourceLinkLayer.value_or(sourceMac);
    return BuildEthernetFrame(to, mac, vlan, kEtherTypeIpv6,
                              BuildNeighborAdvertisement(linkLocal, mac, solicitation->source));
}

void AppendLinkLayerOption(std::vector<std::uint8_t>& message, NdOptionType type,
                           const HardwareAddress& mac)
{
    message.push_back(type);
    message.push_back(1);
    message.insert(message.end(), mac.begin(), mac.end());
}
