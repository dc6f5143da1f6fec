#include "linux/relay_socket.h"

#include "core/wire/byte_order.h"
#include "core/wire/udp_datagram.h"
#include "linux/socket_receive.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace
{
constexpr std::size_t kMaxDatagram = 65535;
// The UDP checksum's place in its header: where the kernel writes and checks
// it on an IPv6 raw socket (RFC 3542 3.1).
constexpr int kUdpChecksumOffset = 6;

std::chrono::system_clock::time_point Stamp(msghdr& message)
{
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header))
    {
        timespec stamp{};
        if (ControlValue(header, SOL_SOCKET, SCM_TIMESTAMPNS, stamp))
            return SystemTime(stamp);
    }
    return std::chrono::system_clock::now();
}

sockaddr_in6 Address6(const Ipv6Address& address)
{
    sockaddr_in6 socketAddress{};
    socketAddress.sin6_family = AF_INET6;
    std::copy(address.begin(), address.end(), socketAddress.sin6_addr.s6_addr);
    return socketAddress;
}

std::vector<std::uint8_t> UdpHeader(std::uint16_t sourcePort, std::uint16_t port,
                                    std::size_t payloadSize)
{
    const auto length = static_cast<std::uint16_t>(kUdpHeaderSize + payloadSize);
    return {static_cast<std::uint8_t>(sourcePort >> 8),
            static_cast<std::uint8_t>(sourcePort),
            static_cast<std::uint8_t>(port >> 8),
            static_cast<std::uint8_t>(port),
            static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length),
            0,
            0};
}
} // namespace

int RelaySocket::Open(const std::variant<std::uint32_t, Ipv6Address>& agent)
{
    m_agent = agent;
    const bool ipv4 = std::holds_alternative<std::uint32_t>(agent);
    m_socket.Reset(socket(ipv4 ? AF_INET : AF_INET6, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP));
    if (!m_socket.IsOpen())
        return errno;
    const int on = 1;
    if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0)
        return errno;
    if (ipv4)
        return setsockopt(m_socket.Get(), IPPROTO_IP, IP_HDRINCL, &on, sizeof on) != 0 ? errno : 0;
    // The kernel fills the UDP checksum in and drops datagrams with a wrong
    // one; bound to the agent's address, it sends from it.
    const sockaddr_in6 local = Address6(std::get<Ipv6Address>(agent));
    if (setsockopt(m_socket.Get(), IPPROTO_IPV6, IPV6_CHECKSUM, &kUdpChecksumOffset,
                   sizeof kUdpChecksumOffset) != 0 ||
        bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return errno;
    return 0;
}

int RelaySocket::Send(const std::variant<std::uint32_t, Ipv6Address>& server, std::uint16_t port,
                      const std::vector<std::uint8_t>& payload) const
{
    std::vector<std::uint8_t> packet;
    sockaddr_storage to{};
    socklen_t toSize = 0;
    if (const auto* agent = std::get_if<std::uint32_t>(&m_agent))
    {
        const std::uint32_t serverAddress = std::get<std::uint32_t>(server);
        packet = BuildUdpPacket({*agent, serverAddress, port, port}, payload);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(serverAddress);
        std::memcpy(&to, &address, sizeof address);
        toSize = sizeof address;
    }
    else
    {
        packet = UdpHeader(port, port, payload.size());
        packet.insert(packet.end(), payload.begin(), payload.end());
        const sockaddr_in6 address = Address6(std::get<Ipv6Address>(server));
        std::memcpy(&to, &address, sizeof address);
        toSize = sizeof address;
    }
    if (packet.empty() || packet.size() > kMaxDatagram)
        return EMSGSIZE;
    const ssize_t sent = sendto(m_socket.Get(), packet.data(), packet.size(), 0,
                                reinterpret_cast<const sockaddr*>(&to), toSize);
    return sent == static_cast<ssize_t>(packet.size()) ? 0 : errno;
}

int RelaySocket::Receive(std::uint16_t port, std::chrono::steady_clock::time_point deadline,
                         RelayDatagram& datagram) const
{
    std::vector<std::uint8_t> buffer(kMaxDatagram);
    for (;;)
    {
        sockaddr_storage from{};
        alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(timespec)) * 2];
        msghdr message{};
        std::size_t size = 0;
        if (const int error =
                ReceiveMessage(m_socket.Get(), deadline, {buffer.data(), buffer.size()}, from,
                               control, message, size))
            return error;
        const std::uint8_t* udp = buffer.data();
        std::size_t udpSize = size;
        if (std::holds_alternative<std::uint32_t>(m_agent))
        {
            // The IP header comes with it. A datagram routed between two of
            // this host's namespaces may carry only its pseudo-header's sum,
            // so the UDP checksum is not checked here (the header's is).
            const std::optional<UdpPacketView> view = ParseUdpPacket(udp, udpSize, true);
            if (!view || view->m_endpoints.m_nDestinationPort != port)
                continue;
            datagram.source = view->m_endpoints.m_nSourceAddress;
            datagram.sourcePort = view->m_endpoints.m_nSourcePort;
            datagram.payload.assign(view->m_pPayload, view->m_pPayload + view->m_nPayloadSize);
        }
        else
        {
            if (udpSize < kUdpHeaderSize || ReadBe16(udp + 2) != port ||
                ReadBe16(udp + 4) != udpSize || from.ss_family != AF_INET6)
                continue;
            sockaddr_in6 source{};
            std::memcpy(&source, &from, sizeof source);
            Ipv6Address address{};
            std::copy_n(source.sin6_addr.s6_addr, address.size(), address.begin());
            datagram.source = address;
            datagram.sourcePort = ReadBe16(udp);
            datagram.payload.assign(udp + kUdpHeaderSize, udp + udpSize);
        }
        datagram.destinationPort = port;
        datagram.received = Stamp(message);
        return 0;
    }
}
