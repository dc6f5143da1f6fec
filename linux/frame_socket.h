// FrameSocket: a packet socket (AF_PACKET, SOCK_RAW) on one interface that
// sends whole Ethernet frames, 802.1Q-tagged or not, as the caller wrote them,
// and receives what a census needs, tagged or not: IPv4 UDP to port 68 and
// later fragments, IPv4 ICMP errors, IPv6 UDP to port 546 and ICMPv6 errors,
// Router Advertisements and Neighbor Solicitations. The kernel takes the tag
// off a received frame and tells it in PACKET_AUXDATA. It binds no address and
// no port. Needs CAP_NET_RAW.
#pragma once

#include "core/model/router_advertisements.h"
#include "core/wire/dhcp_discovery.h"
#include "core/wire/ethernet_frame.h"
#include "platform/file_descriptor.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One frame as received: the packet below the Ethernet header starts at
// kEthernetHeaderSize in the buffer.
struct ReceivedFrame
{
    std::size_t packetSize = 0;
    std::optional<std::uint16_t> vlan; // empty: untagged (or priority-tagged, VLAN 0)
    std::uint16_t etherType = 0;
    HardwareAddress sourceMac{};
    bool checksumPending = false; // as ReceivedPacket's
    // When the kernel took it in (SO_TIMESTAMPNS), on the system clock: the
    // same moment a capture on the interface shows, however long the frame
    // then waited in the socket's queue.
    std::chrono::system_clock::time_point received;
};

class FrameSocket
{
public:
    // Every function returns 0 or an errno value. ENODEV when there is no
    // such interface; EPERM without CAP_NET_RAW. Promiscuous: frames to any
    // Ethernet address too, until the socket closes. Every multicast frame
    // is received either way (Neighbor Solicitations to solicited-node
    // groups the interface has not joined).
    int Open(const std::string& interfaceName, bool promiscuous);

    // The interface's Ethernet address; ENOENT when it is not Ethernet.
    int InterfaceMac(HardwareAddress& address) const;

    // Sends one frame whole; when the socket's queue is full it waits until
    // there is room, up to the deadline (ETIMEDOUT), and never drops it.
    int Send(const std::vector<std::uint8_t>& frame,
             std::chrono::steady_clock::time_point deadline) const;

    // Waits until a frame has come or the deadline has passed (ETIMEDOUT).
    int Receive(std::chrono::steady_clock::time_point deadline, std::vector<std::uint8_t>& buffer,
                ReceivedFrame& frame) const;

private:
    CFileDescriptor m_socket;
    std::string m_interfaceName;
    int m_index = 0;
};

// Whether the interface is up with a carrier (IFF_RUNNING), waiting for one
// until the deadline: a link just brought up gets its carrier a moment later.
// Needs no privilege; ENODEV when there is no such interface.
int WaitForCarrier(const std::string& interfaceName, std::chrono::steady_clock::time_point deadline,
                   bool& carrier);

// The interface's first link-local IPv6 address (fe80::/10), from the
// kernel's own list; ENOENT when it has none.
int InterfaceLinkLocal(const std::string& interfaceName, Ipv6Address& address);
