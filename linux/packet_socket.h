// CPacketSocket: a packet socket (AF_PACKET, SOCK_DGRAM) on one interface
// that sends IPv4 packets to the Ethernet broadcast address and receives the
// IPv4 UDP packets to port 68 and the later fragments of UDP datagrams, below
// the kernel's UDP: it needs no address and no port, so it never stands in a
// DHCP client's way. Opened for DHCPv6, it sends IPv6 packets and receives
// the IPv6 UDP packets to port 546 instead. Needs CAP_NET_RAW.
#pragma once

#include "core/wire/dhcp_discovery.h"
#include "platform/file_descriptor.h"

#include <chrono>
#include <cstdint>
#include <linux/filter.h>
#include <string>
#include <vector>

// One packet as received.
struct ReceivedPacket
{
    std::size_t m_nSize = 0;
    HardwareAddress m_SourceMac{};
    // Made on this machine with the UDP checksum left to the hardware (see
    // ParseUdpPacket).
    bool m_bChecksumPending = false;
};

class CPacketSocket
{
public:
    // Every function returns 0 or an errno value.
    // ENODEV when there is no such interface; EPERM without CAP_NET_RAW.
    int Open(const std::string& strInterface);
    // The same for DHCPv6: IPv6 packets with UDP to port 546 right after the
    // fixed header (a DHCPv6 Reply carries no extension header).
    int OpenDhcpv6(const std::string& interfaceName);

    // The interface's Ethernet address; ENOENT when it is not Ethernet.
    int InterfaceMac(HardwareAddress& address) const;

    int SendBroadcast(const std::vector<std::uint8_t>& packet) const;
    int Send(const std::vector<std::uint8_t>& packet, const HardwareAddress& destination) const;

    // Waits until a packet has come or the deadline has passed (ETIMEDOUT).
    // The buffer is resized to hold any IPv4 or IPv6 packet; the packet is its first
    // m_nSize bytes.
    int Receive(std::chrono::steady_clock::time_point deadline, std::vector<std::uint8_t>& buffer,
                ReceivedPacket& packet) const;

private:
    int OpenFiltered(const std::string& interfaceName, std::uint16_t protocol,
                     const sock_fprog& filter);

    CFileDescriptor m_socket;
    std::string m_strInterface;
    int m_nIndex = 0;
    std::uint16_t m_protocol = 0; // ETH_P_IP or ETH_P_IPV6
};
