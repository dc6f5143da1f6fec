#include "linux/packet_socket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace
{
constexpr std::size_t kMaxIpv4Packet = 0xFFFF;
// The fixed header and the largest payload it announces.
constexpr std::size_t kMaxIpv6Packet = 40 + 0xFFFF;
constexpr std::uint16_t kDhcpv6ClientPort = 546;
// The kernel's queue for offers not yet read: a burst of a thousand fits, and
// a flood past it is dropped by the kernel rather than held.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
constexpr std::uint8_t kEthernetBroadcast[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Offsets are from the IPv4 header: a SOCK_DGRAM packet socket strips the
// Ethernet header. Keeps UDP to port 68, whatever the length of the IP header,
// and every later fragment of UDP: it has no UDP header to tell its port, and
// is kept to be counted (a reply too large for the link is no server's
// silence).
constexpr sock_filter kUdpToClientPort[] = {
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 9),                                 // protocol
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 6),                // not UDP: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 6),                                 // flags, fragment offset
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x1FFF, 3, 0),                    // a later fragment: keep
    BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),                                // X = IP header length
    BPF_STMT(BPF_LD | BPF_H | BPF_IND, 2),                                 // UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpClientPort, 0, 1),            // port 68: keep
    BPF_STMT(BPF_RET | BPF_K, static_cast<std::uint32_t>(kMaxIpv4Packet)), // keep it whole
    BPF_STMT(BPF_RET | BPF_K, 0),                                          // drop
};

// Offsets are from the IPv6 header. Keeps UDP to port 546 when it is the
// first next header; a Reply the server fragmented is not read.
constexpr sock_filter kUdp6ToClientPort[] = {
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 6),                                 // next header
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 3),                // not UDP: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 42),                                // UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpv6ClientPort, 0, 1),          // port 546: keep
    BPF_STMT(BPF_RET | BPF_K, static_cast<std::uint32_t>(kMaxIpv6Packet)), // keep it whole
    BPF_STMT(BPF_RET | BPF_K, 0),                                          // drop
};

template <std::size_t N> sock_fprog Program(const sock_filter (&filter)[N])
{
    sock_fprog program{};
    program.len = static_cast<unsigned short>(N);
    program.filter = const_cast<sock_filter*>(filter);
    return program;
}

sockaddr_ll LinkAddress(int nIndex, std::uint16_t protocol)
{
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(protocol);
    address.sll_ifindex = nIndex;
    return address;
}
} // namespace

int CPacketSocket::Open(const std::string& strInterface)
{
    return OpenFiltered(strInterface, ETH_P_IP, Program(kUdpToClientPort));
}

int CPacketSocket::OpenDhcpv6(const std::string& interfaceName)
{
    return OpenFiltered(interfaceName, ETH_P_IPV6, Program(kUdp6ToClientPort));
}

int CPacketSocket::OpenFiltered(const std::string& strInterface, std::uint16_t protocol,
                                const sock_fprog& program)
{
    if (strInterface.empty() || strInterface.size() >= IFNAMSIZ)
        return ENODEV;
    // Protocol 0 receives nothing until bound: the filter is in place before
    // the first packet is queued, so nothing unfiltered is ever read.
    m_socket.Reset(socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!m_socket.IsOpen())
        return errno;
    m_nIndex = static_cast<int>(if_nametoindex(strInterface.c_str()));
    if (m_nIndex == 0)
        return ENODEV;
    m_strInterface = strInterface;
    m_protocol = protocol;

    const int nOn = 1;
    if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) != 0 ||
        setsockopt(m_socket.Get(), SOL_PACKET, PACKET_AUXDATA, &nOn, sizeof nOn) != 0)
        return errno;
    // Past net.core.rmem_max only with CAP_NET_ADMIN; without it, the
    // system's bound stands.
    if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0 &&
        setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0)
        return errno;
    const sockaddr_ll local = LinkAddress(m_nIndex, m_protocol);
    if (bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return errno;
    return 0;
}

int CPacketSocket::InterfaceMac(HardwareAddress& address) const
{
    ifreq request{};
    std::memcpy(request.ifr_name, m_strInterface.c_str(), m_strInterface.size() + 1);
    if (ioctl(m_socket.Get(), SIOCGIFHWADDR, &request) != 0)
        return errno;
    if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER)
        return ENOENT;
    const auto* pBytes = reinterpret_cast<const std::uint8_t*>(request.ifr_hwaddr.sa_data);
    std::copy_n(pBytes, address.size(), address.begin());
    return 0;
}

int CPacketSocket::SendBroadcast(const std::vector<std::uint8_t>& packet) const
{
    HardwareAddress broadcast{};
    std::copy(std::begin(kEthernetBroadcast), std::end(kEthernetBroadcast), broadcast.begin());
    return Send(packet, broadcast);
}

int CPacketSocket::Send(const std::vector<std::uint8_t>& packet, const HardwareAddress& mac) const
{
    sockaddr_ll destination = LinkAddress(m_nIndex, m_protocol);
    destination.sll_halen = static_cast<unsigned char>(mac.size());
    std::copy(mac.begin(), mac.end(), destination.sll_addr);
    const ssize_t nSent =
        sendto(m_socket.Get(), packet.data(), packet.size(), 0,
               reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    if (nSent < 0)
        return errno;
    return static_cast<std::size_t>(nSent) == packet.size() ? 0 : EMSGSIZE;
}

int CPacketSocket::Receive(std::chrono::steady_clock::time_point deadline,
                           std::vector<std::uint8_t>& buffer, ReceivedPacket& packet) const
{
    buffer.resize(std::max(kMaxIpv4Packet, kMaxIpv6Packet));
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now())
    {
        pollfd ready{m_socket.Get(), POLLIN, 0};
        const auto nLeft = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        const int nReady = poll(&ready, 1, static_cast<int>(nLeft));
        if (nReady < 0 && errno != EINTR)
            return errno;
        if (nReady <= 0)
            continue;

        sockaddr_ll from{};
        iovec data{buffer.data(), buffer.size()};
        alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(tpacket_auxdata))];
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        // MSG_TRUNC reports a packet's full size, so a cut one is seen.
        const ssize_t nSize = recvmsg(m_socket.Get(), &message, MSG_DONTWAIT | MSG_TRUNC);
        if (nSize < 0)
        {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return errno;
        }
        // What this machine sent out itself is not an answer.
        if (from.sll_pkttype == PACKET_OUTGOING)
            continue;
        packet = ReceivedPacket();
        packet.m_nSize = std::min(static_cast<std::size_t>(nSize), buffer.size());
        if (from.sll_halen == packet.m_SourceMac.size())
            std::copy_n(from.sll_addr, packet.m_SourceMac.size(), packet.m_SourceMac.begin());
        for (cmsghdr* pHeader = CMSG_FIRSTHDR(&message); pHeader != nullptr;
             pHeader = CMSG_NXTHDR(&message, pHeader))
        {
            if (pHeader->cmsg_level != SOL_PACKET || pHeader->cmsg_type != PACKET_AUXDATA ||
                pHeader->cmsg_len < CMSG_LEN(sizeof(tpacket_auxdata)))
                continue;
            tpacket_auxdata aux{};
            std::memcpy(&aux, CMSG_DATA(pHeader), sizeof aux);
            packet.m_bChecksumPending = (aux.tp_status & TP_STATUS_CSUMNOTREADY) != 0;
        }
        return 0;
    }
    return ETIMEDOUT;
}
