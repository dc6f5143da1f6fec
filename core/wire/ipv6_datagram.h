// IPv6 packets carrying one UDP datagram, as a packet socket sends and
// receives them below the kernel's own UDP (RFC 8200, RFC 768).
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
