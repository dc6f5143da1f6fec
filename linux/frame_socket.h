// FrameSocket: a packet socket (AF_PACKET, SOCK_RAW) on one interface that
// sends whole Ethernet frames, 802.1Q-tagged or not, as the caller wrote them,
// and receives what its FrameFilter lets through. The kernel takes the tag off
// a received frame and tells it in PACKET_AUXDATA, and stamps every frame sent
// as it leaves for the device (SO_TIMESTAMPING). It binds no address and no
// port, so it never stands in a DHCP client's way. Needs CAP_NET_RAW.
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
    // Made on this machine with the UDP checksum left to the hardware (see
    // ParseUdpPacket).
    bool checksumPending = false;
    // When the kernel took it in (SO_TIMESTAMPNS), on the system clock: the
    // same moment a capture on the interface shows, however long the frame
    // then waited in the socket's queue.
    std::chrono::system_clock::time_point received;
};

// What a socket receives.
enum class FrameFilter
{
    // Tagged or not: IPv4 UDP to port 68 and later fragments of UDP, IPv4
    // ICMP errors, IPv6 UDP to port 546 and ICMPv6 errors, Router
    // Advertisements and Neighbor Solicitations.
    Census,
    // Untagged: IPv4 UDP to port 68 and later fragments of UDP (a reply too
    // large for the link is no server's silence).
    Dhcpv4Client,
    // Untagged: IPv6 UDP to port 546 right after the fixed header (a DHCPv6
    // Reply carries no extension header).
    Dhcpv6Client,
};

// The number of a frame sent, in the order of the socket's sends from 0.
using SendId = std::uint32_t;

class FrameSocket
{
public:
    // Every function returns 0 or an errno value. ENODEV when there is no
    // such interface; EPERM without CAP_NET_RAW. Promiscuous: frames to any
    // Ethernet address too, until the socket closes. A census receives every
    // multicast frame either way (Neighbor Solicitations to solicited-node
    // groups the interface has not joined).
    int Open(const std::string& interfaceName, FrameFilter filter, bool promiscuous);
    // A census's socket.
    int Open(const std::string& interfaceName, bool promiscuous);

    // The interface's Ethernet address; ENOENT when it is not Ethernet.
    int InterfaceMac(HardwareAddress& address) const;

    // Sends one frame whole; when the socket's queue is full it waits until
    // there is room, up to the deadline (ETIMEDOUT), and never drops it.
    int Send(const std::vector<std::uint8_t>& frame,
             std::chrono::steady_clock::time_point deadline) const;
    // The same, telling the frame's number for SentAt.
    int Send(const std::vector<std::uint8_t>& frame, std::chrono::steady_clock::time_point deadline,
             SendId& id) const;

    // When the kernel handed the frame to the device (SOF_TIMESTAMPING_TX_SOFTWARE),
    // on the clock of ReceivedFrame::received: a delay from it to a reply's
    // receive is the link's and the peer's alone, however late this process
    // ran after the send. Empty while the kernel has not told it, and for
    // good where the device's driver stamps nothing or the kernel cannot.
    std::optional<std::chrono::system_clock::time_point> SentAt(SendId id) const;

    // Waits until a frame has come or the deadline has passed (ETIMEDOUT).
    int Receive(std::chrono::steady_clock::time_point deadline, std::vector<std::uint8_t>& buffer,
                ReceivedFrame& frame) const;

private:
    // Takes the send times the kernel has queued (MSG_ERRQUEUE); Receive
    // does too, since a queued one wakes every poll.
    void ReadSendTimes() const;

    CFileDescriptor m_socket;
    std::string m_interfaceName;
    int m_index = 0;
    // The sends so far, which the kernel numbers alike (SOF_TIMESTAMPING_OPT_ID),
    // and their times as the kernel told them (epoch: not yet). Send, SentAt
    // and Receive keep them up to date, so they change in const calls: one
    // thread at a time uses a socket.
    mutable SendId m_sends = 0;
    mutable std::vector<std::chrono::system_clock::time_point> m_sentAt;
};

// Whether the interface is up with a carrier (IFF_RUNNING), waiting for one
// until the deadline: a link just brought up gets its carrier a moment later.
// Needs no privilege; ENODEV when there is no such interface.
int WaitForCarrier(const std::string& interfaceName, std::chrono::steady_clock::time_point deadline,
                   bool& carrier);

// The interface's first link-local IPv6 address (fe80::/10), from the
// kernel's own list; ENOENT when it has none.
int InterfaceLinkLocal(const std::string& interfaceName, Ipv6Address& address);
