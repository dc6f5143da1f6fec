#include "linux/frame_socket.h"

#include "core/wire/dhcpv6_discovery.h"
#include "linux/socket_receive.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <linux/net_tstamp.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace
{
// A jumbo frame's payload and header; a longer one is cut and counted by
// its reader as malformed.
constexpr std::size_t kMaxFrame = 9216 + kEthernetHeaderSize;
// Answers from a thousand VLANs at once: about 3000 frames of up to 1500
// bytes, each costing about twice its size in the kernel's queue.
constexpr int kReceiveBufferBytes = 16 * 1024 * 1024;
// How long a full device queue is left to drain before sending again.
constexpr int kRetryMs = 1;

// Offsets are from the Ethernet header (SOCK_RAW), whose tag the kernel has
// already taken off. IPv4: UDP to port 68 whatever the IP header's length,
// every later fragment of UDP (counted: a reply too large for the link is no
// server's silence), ICMP destination unreachable, time exceeded and
// parameter problem. IPv6: UDP to port 546 right after the fixed header, ICMPv6 errors (types below
// 128), Router Advertisements and Neighbor Solicitations.
constexpr std::uint32_t kKeep = kMaxFrame;
constexpr sock_filter kCensusFrames[] = {
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),                       // 0: EtherType
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IP, 0, 13),         // 1: not IPv4: to 15
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 23),                       // 2: protocol
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 5),       // 3: not UDP: to 9
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 20),                       // 4: flags, fragment offset
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x1FFF, 19, 0),          // 5: a later fragment: keep
    BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 14),                      // 6: X = IP header length
    BPF_STMT(BPF_LD | BPF_H | BPF_IND, 16),                       // 7: UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpClientPort, 16, 17), // 8: port 68: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMP, 0, 16),     // 9: not ICMP: drop
    BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 14),                      // 10: X = IP header length
    BPF_STMT(BPF_LD | BPF_B | BPF_IND, 14),                       // 11: ICMP type
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 3, 12, 0),                // 12: unreachable: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 11, 11, 0),               // 13: time exceeded: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 12, 10, 11),              // 14: parameter problem: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IPV6, 0, 10),       // 15: not IPv6: drop
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 20),                       // 16: next header
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 2),       // 17: not UDP: to 20
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 56),                       // 18: UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpv6ClientPort, 5, 6), // 19: port 546: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMPV6, 0, 5),    // 20: not ICMPv6: drop
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 54),                       // 21: ICMPv6 type
    BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 128, 0, 2),               // 22: an error: keep
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 134, 1, 0),               // 23: Router Advertisement
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 135, 0, 1),               // 24: Neighbor Solicitation
    BPF_STMT(BPF_RET | BPF_K, kKeep),                             // 25: keep
    BPF_STMT(BPF_RET | BPF_K, 0),                                 // 26: drop
};

// A DHCP client's: offsets as the census's; first the tag the kernel took
// off, where a VLAN is named (VLAN 0 only carries a priority), drops.
constexpr auto kVlanTag = static_cast<std::uint32_t>(SKF_AD_OFF + SKF_AD_VLAN_TAG);
constexpr sock_filter kDhcpv4ClientFrames[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kVlanTag),               // 0: the tag
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x0FFF, 10, 0),        // 1: a VLAN's: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),                     // 2: EtherType
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IP, 0, 8),        // 3: not IPv4: drop
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 23),                     // 4: protocol
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 6),     // 5: not UDP: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 20),                     // 6: flags, fragment offset
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x1FFF, 3, 0),         // 7: a later fragment: keep
    BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 14),                    // 8: X = IP header length
    BPF_STMT(BPF_LD | BPF_H | BPF_IND, 16),                     // 9: UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpClientPort, 0, 1), // 10: port 68: keep
    BPF_STMT(BPF_RET | BPF_K, kKeep),                           // 11: keep
    BPF_STMT(BPF_RET | BPF_K, 0),                               // 12: drop
};
constexpr sock_filter kDhcpv6ClientFrames[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kVlanTag),                 // 0: the tag
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 0x0FFF, 7, 0),           // 1: a VLAN's: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),                       // 2: EtherType
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IPV6, 0, 5),        // 3: not IPv6: drop
    BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 20),                       // 4: next header
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 3),       // 5: not UDP: drop
    BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 56),                       // 6: UDP destination port
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kDhcpv6ClientPort, 0, 1), // 7: port 546: keep
    BPF_STMT(BPF_RET | BPF_K, kKeep),                             // 8: keep
    BPF_STMT(BPF_RET | BPF_K, 0),                                 // 9: drop
};

template <std::size_t N> sock_fprog Program(const sock_filter (&filter)[N])
{
    sock_fprog program{};
    program.len = static_cast<unsigned short>(N);
    program.filter = const_cast<sock_filter*>(filter);
    return program;
}

sock_fprog FilterProgram(FrameFilter filter)
{
    switch (filter)
    {
    case FrameFilter::Dhcpv4Client:
        return Program(kDhcpv4ClientFrames);
    case FrameFilter::Dhcpv6Client:
        return Program(kDhcpv6ClientFrames);
    case FrameFilter::Census:
        break;
    }
    return Program(kCensusFrames);
}

// Each send stamped by the kernel as the device takes it, numbered, the
// stamp alone queued without the frame.
constexpr unsigned kSendStamps = SOF_TIMESTAMPING_TX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE |
                                 SOF_TIMESTAMPING_OPT_ID | SOF_TIMESTAMPING_OPT_TSONLY;

sockaddr_ll LinkAddress(int index, std::uint16_t protocol)
{
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(protocol);
    address.sll_ifindex = index;
    return address;
}

int Membership(int socket, int index, unsigned short type)
{
    packet_mreq request{};
    request.mr_ifindex = index;
    request.mr_type = type;
    return setsockopt(socket, SOL_PACKET, PACKET_ADD_MEMBERSHIP, &request, sizeof request) == 0
               ? 0
               : errno;
}

int InterfaceRequest(int socket, const std::string& name, unsigned long call, ifreq& request)
{
    request = ifreq{};
    std::memcpy(request.ifr_name, name.c_str(), name.size() + 1);
    return ioctl(socket, call, &request) == 0 ? 0 : errno;
}
} // namespace

int FrameSocket::Open(const std::string& interfaceName, bool promiscuous)
{
    return Open(interfaceName, FrameFilter::Census, promiscuous);
}

int FrameSocket::Open(const std::string& interfaceName, FrameFilter filter, bool promiscuous)
{
    if (interfaceName.empty() || interfaceName.size() >= IFNAMSIZ)
        return ENODEV;
    // Protocol 0 receives nothing until bound: the filter is in place before
    // the first frame is queued, so nothing unfiltered is ever read.
    m_socket.Reset(socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0));
    if (!m_socket.IsOpen())
        return errno;
    m_index = static_cast<int>(if_nametoindex(interfaceName.c_str()));
    if (m_index == 0)
        return ENODEV;
    m_interfaceName = interfaceName;

    const sock_fprog program = FilterProgram(filter);
    const int on = 1;
    if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) != 0 ||
        setsockopt(m_socket.Get(), SOL_PACKET, PACKET_AUXDATA, &on, sizeof on) != 0 ||
        setsockopt(m_socket.Get(), SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0)
        return errno;
    // Our own frames are no answers; older kernels without the option show
    // them as PACKET_OUTGOING, which Receive skips.
    setsockopt(m_socket.Get(), SOL_PACKET, PACKET_IGNORE_OUTGOING, &on, sizeof on);
    // A kernel without it leaves SentAt empty, and callers keep their clock.
    m_sends = 0;
    m_sentAt.clear();
    setsockopt(m_socket.Get(), SOL_SOCKET, SO_TIMESTAMPING, &kSendStamps, sizeof kSendStamps);
    // Past net.core.rmem_max only with CAP_NET_ADMIN; without it, the
    // system's bound stands.
    if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0 &&
        setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes,
                   sizeof kReceiveBufferBytes) != 0)
        return errno;
    if (filter == FrameFilter::Census)
    {
        if (const int error = Membership(m_socket.Get(), m_index, PACKET_MR_ALLMULTI))
            return error;
    }
    if (promiscuous)
    {
        if (const int error = Membership(m_socket.Get(), m_index, PACKET_MR_PROMISC))
            return error;
    }
    const sockaddr_ll local = LinkAddress(m_index, ETH_P_ALL);
    if (bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return errno;
    return 0;
}

int FrameSocket::InterfaceMac(HardwareAddress& address) const
{
    ifreq request{};
    if (const int error = InterfaceRequest(m_socket.Get(), m_interfaceName, SIOCGIFHWADDR, request))
        return error;
    if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER)
        return ENOENT;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.ifr_hwaddr.sa_data);
    std::copy_n(bytes, address.size(), address.begin());
    return 0;
}

int FrameSocket::Send(const std::vector<std::uint8_t>& frame,
                      std::chrono::steady_clock::time_point deadline) const
{
    SendId id = 0;
    return Send(frame, deadline, id);
}

int FrameSocket::Send(const std::vector<std::uint8_t>& frame,
                      std::chrono::steady_clock::time_point deadline, SendId& id) const
{
    if (frame.size() < kEthernetHeaderSize)
        return EINVAL;
    sockaddr_ll destination = LinkAddress(m_index, ETH_P_ALL);
    destination.sll_protocol = htons(static_cast<std::uint16_t>(frame[12] << 8 | frame[13]));
    for (;;)
    {
        const ssize_t sent =
            sendto(m_socket.Get(), frame.data(), frame.size(), MSG_DONTWAIT,
                   reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
        const int error = sent < 0 ? errno : 0;
        // The kernel numbers a frame once it is built: one the device's queue
        // dropped (ENOBUFS) has its number, one without room in the socket
        // (EAGAIN) none.
        if (sent >= 0 || error == ENOBUFS)
            id = m_sends++;
        if (sent >= 0)
            return static_cast<std::size_t>(sent) == frame.size() ? 0 : EMSGSIZE;
        if (error != EAGAIN && error != ENOBUFS && error != EINTR)
            return error;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return ETIMEDOUT;
        // EAGAIN: the socket's send buffer is full, and POLLOUT says when it
        // has room; ENOBUFS: the device's queue is, and nothing tells when it
        // drains, so it gets a moment.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        pollfd ready{error == ENOBUFS ? -1 : m_socket.Get(), POLLOUT, 0};
        if (poll(&ready, 1, error == ENOBUFS ? kRetryMs : static_cast<int>(left)) < 0 &&
            errno != EINTR)
            return errno;
    }
}

std::optional<std::chrono::system_clock::time_point> FrameSocket::SentAt(SendId id) const
{
    if (id >= m_sentAt.size() || m_sentAt[id].time_since_epoch().count() == 0)
        ReadSendTimes();
    if (id >= m_sentAt.size() || m_sentAt[id].time_since_epoch().count() == 0)
        return std::nullopt;
    return m_sentAt[id];
}

void FrameSocket::ReadSendTimes() const
{
    for (;;)
    {
        alignas(cmsghdr)
            std::uint8_t control[CMSG_SPACE(sizeof(scm_timestamping)) +
                                 CMSG_SPACE(sizeof(sock_extended_err) + sizeof(sockaddr_in6))];
        msghdr message{};
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (recvmsg(m_socket.Get(), &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0)
            return;
        std::optional<timespec> stamp;
        std::optional<SendId> id;
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header))
        {
            scm_timestamping stamps{};
            sock_extended_err error{};
            if (ControlValue(header, SOL_SOCKET, SCM_TIMESTAMPING, stamps))
                stamp = stamps.ts[0];
            else if (ControlValue(header, SOL_PACKET, PACKET_TX_TIMESTAMP, error) &&
                     error.ee_origin == SO_EE_ORIGIN_TIMESTAMPING &&
                     error.ee_info == SCM_TSTAMP_SND)
                id = error.ee_data;
        }
        // Only numbers this socket gave out: the log grows with our sends.
        if (!stamp || !id || *id >= m_sends || (stamp->tv_sec == 0 && stamp->tv_nsec == 0))
            continue;
        if (*id >= m_sentAt.size())
            m_sentAt.resize(*id + 1);
        m_sentAt[*id] = SystemTime(*stamp);
    }
}

int FrameSocket::Receive(std::chrono::steady_clock::time_point deadline,
                         std::vector<std::uint8_t>& buffer, ReceivedFrame& frame) const
{
    buffer.resize(kMaxFrame);
    for (;;)
    {
        sockaddr_ll from{};
        // A stamp of each kind: with SO_TIMESTAMPING's reporting on, the
        // kernel adds its own to SO_TIMESTAMPNS's, and a buffer short of
        // either loses the tag behind them.
        alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(tpacket_auxdata)) +
                                              CMSG_SPACE(sizeof(timespec)) +
                                              CMSG_SPACE(sizeof(scm_timestamping))];
        msghdr message{};
        std::size_t size = 0;
        // The send times before the frames: a reply's is queued before the
        // reply. A socket error (the interface gone) comes with POLLERR
        // alone and is what the read then returns.
        if (const int error =
                ReceiveMessage(m_socket.Get(), deadline, {buffer.data(), buffer.size()}, from,
                               control, message, size, [this] { ReadSendTimes(); }))
            return error;
        if (from.sll_pkttype == PACKET_OUTGOING || size < kEthernetHeaderSize)
            continue;
        frame = ReceivedFrame();
        frame.packetSize = size - kEthernetHeaderSize;
        frame.etherType = static_cast<std::uint16_t>(buffer[12] << 8 | buffer[13]);
        std::copy_n(buffer.begin() + 6, frame.sourceMac.size(), frame.sourceMac.begin());
        frame.received = std::chrono::system_clock::now();
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header))
        {
            timespec stamp{};
            tpacket_auxdata aux{};
            if (ControlValue(header, SOL_SOCKET, SCM_TIMESTAMPNS, stamp))
                frame.received = SystemTime(stamp);
            if (!ControlValue(header, SOL_PACKET, PACKET_AUXDATA, aux))
                continue;
            frame.checksumPending = (aux.tp_status & TP_STATUS_CSUMNOTREADY) != 0;
            const auto vlan = static_cast<std::uint16_t>(aux.tp_vlan_tci & 0x0FFF);
            if ((aux.tp_status & TP_STATUS_VLAN_VALID) != 0 && vlan != 0)
                frame.vlan = vlan;
        }
        return 0;
    }
}

int WaitForCarrier(const std::string& interfaceName, std::chrono::steady_clock::time_point deadline,
                   bool& carrier)
{
    constexpr int kCarrierPollMs = 10;
    if (interfaceName.empty() || interfaceName.size() >= IFNAMSIZ)
        return ENODEV;
    const CFileDescriptor flags(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!flags.IsOpen())
        return errno;
    for (;;)
    {
        ifreq request{};
        if (const int error = InterfaceRequest(flags.Get(), interfaceName, SIOCGIFFLAGS, request))
            return error;
        carrier = (request.ifr_flags & IFF_RUNNING) != 0;
        if (carrier || std::chrono::steady_clock::now() >= deadline)
            return 0;
        poll(nullptr, 0, kCarrierPollMs);
    }
}

int InterfaceLinkLocal(const std::string& interfaceName, Ipv6Address& address)
{
    ifaddrs* first = nullptr;
    if (getifaddrs(&first) != 0)
        return errno;
    int error = ENOENT;
    for (const ifaddrs* entry = first; entry != nullptr && error != 0; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET6 ||
            interfaceName != entry->ifa_name)
            continue;
        sockaddr_in6 candidate{};
        std::memcpy(&candidate, entry->ifa_addr, sizeof candidate);
        if (IN6_IS_ADDR_LINKLOCAL(&candidate.sin6_addr))
        {
            std::memcpy(address.data(), &candidate.sin6_addr, address.size());
            error = 0;
        }
    }
    freeifaddrs(first);
    return error;
}
