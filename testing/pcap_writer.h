// Classic pcap files of UDP datagrams over IPv4 or IPv6 on Ethernet: what a
// packet dissector reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct UdpDatagram
{
    // Addresses in host byte order: 10.99.0.1 is 0x0A630001.
    std::uint32_t m_nSource = 0;
    std::uint32_t m_nDestination = 0;
    std::uint16_t m_nSourcePort = 0;
    std::uint16_t m_nDestinationPort = 0;
    std::vector<std::uint8_t> m_Payload;
    // False leaves the UDP checksum 0, "not computed" (RFC 768).
    bool m_bChecksum = true;
};

// The most a UDP datagram in one IPv4 packet holds.
constexpr std::size_t kMaxUdpPayload = 65535 - 20 - 8;

// The Internet checksum (RFC 1071) of the bytes, starting from a partial sum.
std::uint16_t InternetChecksum(const std::uint8_t* pData, std::size_t nSize,
                               std::uint32_t nSum = 0);

// A DHCP server's reply to its client, port 67 to 68, 10.99.0.1 to 10.99.0.146.
UdpDatagram DhcpReplyDatagram(std::vector<std::uint8_t> message);

// One Ethernet II frame holding the datagram in an IPv4 packet with its header
// checksum; empty when the payload is larger than kMaxUdpPayload.
std::vector<std::uint8_t> EthernetFrame(const UdpDatagram& datagram);

// The most a DHCPv6 message in one Ethernet frame's IPv6 packet holds here.
constexpr std::size_t kMaxUdp6Payload = 65535 - 8;

// One Ethernet II frame holding a DHCPv6 server's message to its client, UDP
// port 547 to 546, fe80::1 to fe80::92, with its checksum (RFC 8200 8.1);
// empty when the message is larger than kMaxUdp6Payload.
std::vector<std::uint8_t> Dhcpv6ReplyFrame(const std::vector<std::uint8_t>& message);

// A pcap file (link type Ethernet, microsecond times) with one record per
// frame, the n-th stamped n seconds after the epoch.
std::vector<std::uint8_t> PcapFile(const std::vector<std::vector<std::uint8_t>>& frames);

// Writes the bytes to a new or truncated file; false when it could not.
bool WriteBytes(const std::string& strPath, const std::vector<std::uint8_t>& bytes);
