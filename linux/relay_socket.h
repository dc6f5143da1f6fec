// RelaySocket: what a DHCP relay agent sends and hears, without taking the
// relay port (67, 547) from a server or relay on the same host: a raw socket
// of the family that sends UDP from the agent's address and port and
// receives every UDP datagram, of which the caller keeps those to the agent's
// port. Needs CAP_NET_RAW.
#pragma once

#include "core/model/router_advertisements.h"
#include "platform/file_descriptor.h"

#include <chrono>
#include <cstdint>
#include <variant>
#include <vector>

// One UDP datagram as received: its source and ports, its payload, and when
// the kernel took it in (SO_TIMESTAMPNS).
struct RelayDatagram
{
    std::variant<std::uint32_t, Ipv6Address> source; // IPv4 in host byte order
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
    std::vector<std::uint8_t> payload;
    std::chrono::system_clock::time_point received;
};

class RelaySocket
{
public:
    // The agent's address: an IPv4 address in host byte order or an IPv6
    // address. 0 or an errno value (EPERM without CAP_NET_RAW).
    int Open(const std::variant<std::uint32_t, Ipv6Address>& agent);

    // Sends payload from the agent's address and port to the server's port.
    int Send(const std::variant<std::uint32_t, Ipv6Address>& server, std::uint16_t port,
             const std::vector<std::uint8_t>& payload) const;

    // Waits for a UDP datagram to port until the deadline (ETIMEDOUT).
    int Receive(std::uint16_t port, std::chrono::steady_clock::time_point deadline,
                RelayDatagram& datagram) const;

private:
    CFileDescriptor m_socket;
    std::variant<std::uint32_t, Ipv6Address> m_agent;
};
