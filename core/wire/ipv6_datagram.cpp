#include "core/wire/ipv6_datagram.h"

#include "core/wire/byte_order.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kIpv6 = 6;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::uint8_t kHopLimit = 1;
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

// The UDP checksum's sum over the IPv6 pseudo-header (RFC 8200 8.1) and the
// datagram.
std::uint16_t UdpSum(const Ipv6Address& source, const Ipv6Address& destination,
                     const std::uint8_t* udp, std::size_t udpSize)
{
    std::uint64_t sum = SumWords(source.data(), source.size());
    sum = SumWords(destination.data(), destination.size(), sum);
    sum += udpSize + kProtocolUdp;
    return Fold(SumWords(udp, udpSize, sum));
}
} // namespace

std::vector<std::uint8_t> BuildUdp6Packet(const Udp6Endpoints& endpoints,
                                          const std::vector<std::uint8_t>& payload)
{
    const std::size_t udpSize = kUdpHeader + payload.size();
    if (udpSize > kMaxPayloadLength)
        return {};
    std::vector<std::uint8_t> packet(kIpv6HeaderSize + udpSize);
    std::uint8_t* ip = packet.data();
    ip[0] = kIpv6 << 4;
    WriteBe16(ip + 4, static_cast<std::uint16_t>(udpSize));
    ip[6] = kProtocolUdp;
    ip[7] = kHopLimit;
    std::copy(endpoints.source.begin(), endpoints.source.end(), ip + 8);
    std::copy(endpoints.destination.begin(), endpoints.destination.end(), ip + 24);

    std::uint8_t* udp = ip + kIpv6HeaderSize;
    WriteBe16(udp, endpoints.sourcePort);
    WriteBe16(udp + 2, endpoints.destinationPort);
    WriteBe16(udp + 4, static_cast<std::uint16_t>(udpSize));
    std::copy(payload.begin(), payload.end(), udp + kUdpHeader);
    auto checksum =
        static_cast<std::uint16_t>(~UdpSum(endpoints.source, endpoints.destination, udp, udpSize));
    // A computed zero is sent as all ones: zero is no checksum, which IPv6 refuses.
    if (checksum == 0)
        checksum = 0xFFFF;
    WriteBe16(udp + 6, checksum);
    return packet;
}

std::optional<Udp6PacketView> ParseUdp6Packet(const std::uint8_t* packet, std::size_t size,
                                              bool checksumPending)
{
    if (packet == nullptr || size < kIpv6HeaderSize + kUdpHeader || packet[0] >> 4 != kIpv6 ||
        packet[6] != kProtocolUdp)
        return std::nullopt;
    const std::size_t payloadLength = ReadBe16(packet + 4);
    if (payloadLength < kUdpHeader || payloadLength > size - kIpv6HeaderSize)
        return std::nullopt;
    const std::uint8_t* udp = packet + kIpv6HeaderSize;
    const std::size_t udpSize = ReadBe16(udp + 4);
    if (udpSize != payloadLength)
        return std::nullopt;

    Udp6PacketView view;
    std::copy_n(packet + 8, view.endpoints.source.size(), view.endpoints.source.begin());
    std::copy_n(packet + 24, view.endpoints.destination.size(), view.endpoints.destination.begin());
    view.endpoints.sourcePort = ReadBe16(udp);
    view.endpoints.destinationPort = ReadBe16(udp + 2);
    if (!checksumPending &&
        (ReadBe16(udp + 6) == 0 ||
         UdpSum(view.endpoints.source, view.endpoints.destination, udp, udpSize) != 0xFFFF))
        return std::nullopt;
    view.payload = udp + kUdpHeader;
    view.payloadSize = udpSize - kUdpHeader;
    return view;
}
