// IPv4 packets carrying one UDP datagram, as a packet socket sends and
// receives them below the kernel's own UDP (RFC 791, RFC 768).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct UdpEndpoints
{
    // Addresses in host byte order: 10.99.0.146 is 0x0A630092.
    std::uint32_t m_nSourceAddress = 0;
    std::uint32_t m_nDestinationAddress = 0;
    std::uint16_t m_nSourcePort = 0;
    std::uint16_t m_nDestinationPort = 0;
};

constexpr std::size_t kIpv4HeaderSize = 20; // without options
constexpr std::size_t kUdpHeaderSize = 8;

// An IPv4 packet without options, TTL 64, "don't fragment" clear, with the
// header and UDP checksums filled in. Payloads too large for one packet are
// refused (empty result).
std::vector<std::uint8_t> BuildUdpPacket(const UdpEndpoints& endpoints,
                                         const std::vector<std::uint8_t>& payload);

// A received packet's endpoints and payload. The payload points into pPacket.
struct UdpPacketView
{
    UdpEndpoints m_endpoints;
    const std::uint8_t* m_pPayload = nullptr;
    std::size_t m_nPayloadSize = 0;
};

// Reads an IPv4 packet holding one whole UDP datagram. Empty when it is not
// IPv4, not UDP, a fragment, shorter than its lengths say, or when the header
// checksum or a UDP checksum (other than the "none" of zero) is wrong. Bytes
// after the IP total length (Ethernet padding) are ignored. bChecksumPending:
// the packet was made on this machine (another namespace over a veth) with
// the UDP checksum left to the hardware, so it holds only the pseudo-header's
// sum and is not checked.
std::optional<UdpPacketView> ParseUdpPacket(const std::uint8_t* pPacket, std::size_t nSize,
                                            bool bChecksumPending = false);
