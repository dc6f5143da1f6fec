// IPv6 packets carrying one UDP datagram or one ICMPv6 message, as a packet
// socket sends and receives them below the kernel's own (RFC 8200, RFC 768,
// RFC 4443).
#pragma once

#include "core/model/router_advertisements.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct Udp6Endpoints
{
    Ipv6Address source{};
    Ipv6Address destination{};
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
};

constexpr std::size_t kIpv6HeaderSize = 40;

// An IPv6 packet without extension headers, hop limit 1 (the link alone: what
// it is sent to is link-scoped), with the UDP checksum filled in. Payloads too
// large for one packet without a jumbogram are refused (empty result).
std::vector<std::uint8_t> BuildUdp6Packet(const Udp6Endpoints& endpoints,
                                          const std::vector<std::uint8_t>& payload);

// A received packet's endpoints and payload. The payload points into packet.
struct Udp6PacketView
{
    Udp6Endpoints endpoints;
    const std::uint8_t* payload = nullptr;
    std::size_t payloadSize = 0;
};

// Reads an IPv6 packet whose next header is UDP. Empty when it is not IPv6,
// carries an extension header or another protocol, is shorter than its
// lengths say, when the UDP length is not the payload length, or when its UDP checksum is wrong or
// zero (IPv6 makes it mandatory, RFC 8200 8.1). Bytes after the payload length (Ethernet padding)
// are ignored. checksumPending: the packet was made on this machine with the
// UDP checksum left to the hardware, so it is not checked.
std::optional<Udp6PacketView> ParseUdp6Packet(const std::uint8_t* packet, std::size_t size,
                                              bool checksumPending = false);

constexpr std::uint8_t kProtocolIcmpv6 = 58;

// The next header of an IPv6 header (the protocol, when there is no extension
// header), or empty when the bytes are no IPv6 header: what tells a packet of
// another protocol (ignored) from a broken one of the protocol asked for.
std::optional<std::uint8_t> Ipv6NextHeader(const std::uint8_t* packet, std::size_t size);

// An IPv6 packet holding one ICMPv6 message: hop limit 255, as Neighbor
// Discovery requires (RFC 4861 6.1), and the message's checksum over the
// pseudo-header filled in (RFC 4443 2.3); the message's own checksum bytes
// (2 and 3) are overwritten. A message under 4 bytes or too large for one
// packet is refused (empty result).
std::vector<std::uint8_t> BuildIcmpv6Packet(const Ipv6Address& source,
                                            const Ipv6Address& destination,
                                            const std::vector<std::uint8_t>& message);

// A received ICMPv6 message: its type, code and body from the type on. The
// message points into packet.
struct Icmpv6PacketView
{
    Ipv6Address source{};
    Ipv6Address destination{};
    std::uint8_t hopLimit = 0;
    const std::uint8_t* message = nullptr;
    std::size_t messageSize = 0; // at least 4: type, code, checksum
};

// Reads an IPv6 packet whose next header is ICMPv6. Empty as for
// ParseUdp6Packet: not IPv6, an extension header or another protocol, shorter
// than its payload length, a message under 4 bytes, or a wrong checksum
// unless checksumPending. Bytes after the payload length are ignored.
std::optional<Icmpv6PacketView> ParseIcmpv6Packet(const std::uint8_t* packet, std::size_t size,
                                                  bool checksumPending = false);
