#include "core/wire/ipv6_datagram.h"

#include "core/wire/byte_order.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kIpv6 = 6;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::uint8_t kUdpHopLimit = 1;
constexpr std::uint8_t kNeighborDiscoveryHopLimit = 255;
constexpr std::size_t kIcmpv6Header = 4;
constexpr std::size_t kUdpHeader = 8;
constexpr std::size_t kMaxPayloadLength = 0xFFFF;

void WriteBe16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}

// The ones' complement sum of 16-bit words (RFC 1071), not yet folded; an odd
// last byte counts as the high byte of a word.
std::uint64_t SumWords(const std::uint8_t* p, std::size_t size, std::uint64_t sum = 0)
{
    for (; size > 1; p += 2, size -= 2)
        sum += ReadBe16(p);
    if (size == 1)
        sum += std::uint64_t{p[0]} << 8;
    return sum;
}

std::uint16_t Fold(std::uint64_t sum)
{
    while (sum > 0xFFFF)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(sum);
}

// The transport checksum's sum over the IPv6 pseudo-header (RFC 8200 8.1)
// and the upper-layer packet.
std::uint16_t TransportSum(const Ipv6Address& source, const Ipv6Address& destination,
                           std::uint8_t protocol, const std::uint8_t* data, std::size_t size)
{
    std::uint64_t sum = SumWords(source.data(), source.size());
    sum = SumWords(destination.data(), destination.size(), sum);
    sum += size + protocol;
    return Fold(SumWords(data, size, sum));
}

// The IPv6 header and room for the upper-layer packet, whose size the caller
// has checked against kMaxPayloadLength.
std::vector<std::uint8_t> Ipv6Packet(const Ipv6Address& source, const Ipv6Address& destination,
                                     std::uint8_t protocol, std::uint8_t hopLimit,
                                     std::size_t payloadSize)
{
    std::vector<std::uint8_t> packet(kIpv6HeaderSize + payloadSize);
    std::uint8_t* ip = packet.data();
    ip[0] = kIpv6 << 4;
    WriteBe16(ip + 4, static_cast<std::uint16_t>(payloadSize));
    ip[6] = protocol;
    ip[7] = hopLimit;
    std::copy(source.begin(), source.end(), ip + 8);
    std::copy(destination.begin(), destination.end(), ip + 24);
    return packet;
}

// The payload of an IPv6 packet of the protocol, at least minimum bytes and
// within the packet; its size in payloadSize.
const std::uint8_t* Ipv6Payload(const std::uint8_t* packet, std::size_t size, std::uint8_t protocol,
                                std::size_t minimum, std::size_t& payloadSize)
{
    if (Ipv6NextHeader(packet, size) != protocol)
        return nullptr;
    payloadSize = ReadBe16(packet + 4);
    if (payloadSize < minimum || payloadSize > size - kIpv6HeaderSize)
        return nullptr;
    return packet + kIpv6HeaderSize;
}

void ReadAddresses(const std::uint8_t* packet, Ipv6Address& source, Ipv6Address& destination)
{
    std::copy_n(packet + 8, source.size(), source.begin());
    std::copy_n(packet + 24, destination.size(), destination.begin());
}
} // namespace

std::vector<std::uint8_t> BuildUdp6Packet(const Udp6Endpoints& endpoints,
                                          const std::vector<std::uint8_t>& payload)
{
    const std::size_t udpSize = kUdpHeader + payload.size();
    if (udpSize > kMaxPayloadLength)
        return {};
    std::vector<std::uint8_t> packet =
        Ipv6Packet(endpoints.source, endpoints.destination, kProtocolUdp, kUdpHopLimit, udpSize);
    std::uint8_t* udp = packet.data() + kIpv6HeaderSize;
    WriteBe16(udp, endpoints.sourcePort);
    WriteBe16(udp + 2, endpoints.destinationPort);
    WriteBe16(udp + 4, static_cast<std::uint16_t>(udpSize));
    std::copy(payload.begin(), payload.end(), udp + kUdpHeader);
    auto checksum = static_cast<std::uint16_t>(
        ~TransportSum(endpoints.source, endpoints.destination, kProtocolUdp, udp, udpSize));
    // A computed zero is sent as all ones: zero is no checksum, which IPv6 refuses.
    if (checksum == 0)
        checksum = 0xFFFF;
    WriteBe16(udp + 6, checksum);
    return packet;
}

std::optional<Udp6PacketView> ParseUdp6Packet(const std::uint8_t* packet, std::size_t size,
                                              bool checksumPending)
{
    std::size_t payloadLength = 0;
    const std::uint8_t* udp = Ipv6Payload(packet, size, kProtocolUdp, kUdpHeader, payloadLength);
    if (udp == nullptr)
        return std::nullopt;
    const std::size_t udpSize = ReadBe16(udp + 4);
    if (udpSize != payloadLength)
        return std::nullopt;

    Udp6PacketView view;
    ReadAddresses(packet, view.endpoints.source, view.endpoints.destination);
    view.endpoints.sourcePort = ReadBe16(udp);
    view.endpoints.destinationPort = ReadBe16(udp + 2);
    if (!checksumPending &&
        (ReadBe16(udp + 6) == 0 || TransportSum(view.endpoints.source, view.endpoints.destination,
                                                kProtocolUdp, udp, udpSize) != 0xFFFF))
        return std::nullopt;
    view.payload = udp + kUdpHeader;
    view.payloadSize = udpSize - kUdpHeader;
    return view;
}

std::optional<std::uint8_t> Ipv6NextHeader(const std::uint8_t* packet, std::size_t size)
{
    if (packet == nullptr || size < kIpv6HeaderSize || packet[0] >> 4 != kIpv6)
        return std::nullopt;
    return packet[6];
}

std::vector<std::uint8_t> BuildIcmpv6Packet(const Ipv6Address& source,
                                            const Ipv6Address& destination,
                                            const std::vector<std::uint8_t>& message)
{
    if (message.size() < kIcmpv6Header || message.size() > kMaxPayloadLength)
        return {};
    std::vector<std::uint8_t> packet = Ipv6Packet(source, destination, kProtocolIcmpv6,
                                                  kNeighborDiscoveryHopLimit, message.size());
    std::uint8_t* icmp = packet.data() + kIpv6HeaderSize;
    std::copy(message.begin(), message.end(), icmp);
    WriteBe16(icmp + 2, 0);
    WriteBe16(icmp + 2, static_cast<std::uint16_t>(~TransportSum(
                            source, destination, kProtocolIcmpv6, icmp, message.size())));
    return packet;
}

std::optional<Icmpv6PacketView> ParseIcmpv6Packet(const std::uint8_t* packet, std::size_t size,
                                                  bool checksumPending)
{
    Icmpv6PacketView view;
    view.message = Ipv6Payload(packet, size, kProtocolIcmpv6, kIcmpv6Header, view.messageSize);
    if (view.message == nullptr)
        return std::nullopt;
    ReadAddresses(packet, view.source, view.destination);
    view.hopLimit = packet[7];
    if (!checksumPending && TransportSum(view.source, view.destination, kProtocolIcmpv6,
                                         view.message, view.messageSize) != 0xFFFF)
        return std::nullopt;
    return view;
}
