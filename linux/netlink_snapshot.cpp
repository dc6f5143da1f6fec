#include "linux/netlink_snapshot.h"

#include "core/wire/byte_order.h"
#include "platform/file_descriptor.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

namespace
{
// A kernel that never finishes a dump is not waited for without end.
constexpr int kReceiveTimeoutSeconds = 5;
// Longer attribute texts than the kernel ever sends are cut here.
constexpr std::size_t kMaxText = 256;
constexpr std::size_t kMaxHardwareAddress = 32; // MAX_ADDR_LEN

constexpr std::size_t Align4(std::size_t n)
{
    return (n + 3) & ~std::size_t{3};
}

// Reads a record that may lie unaligned in the datagram.
template <typename T> T Read(const std::uint8_t* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Calls visit(type, payload, payload length) for each attribute that lies
// wholly inside [p, p + n); stops at the first one that does not.
template <typename Visit> void ForEachAttribute(const std::uint8_t* p, std::size_t n, Visit visit)
{
    while (n >= sizeof(rtattr))
    {
        const auto attribute = Read<rtattr>(p);
        if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > n)
            return;
        visit(static_cast<unsigned>(attribute.rta_type & NLA_TYPE_MASK), p + sizeof(rtattr),
              std::size_t{attribute.rta_len} - sizeof(rtattr));
        const std::size_t nStep = Align4(attribute.rta_len);
        if (nStep >= n)
            return;
        p += nStep;
        n -= nStep;
    }
}

// An attribute's text: up to its first zero byte, at most kMaxText bytes.
std::string Text(const std::uint8_t* p, std::size_t n)
{
    const auto* pText = reinterpret_cast<const char*>(p);
    const std::size_t nLength = strnlen(pText, n < kMaxText ? n : kMaxText);
    return std::string(pText, nLength);
}

// An IPv4 address attribute in host byte order, or nothing if it is not 4 bytes.
bool Ipv4(const std::uint8_t* p, std::size_t n, std::uint32_t& nAddress)
{
    if (n != 4)
        return false;
    nAddress = ReadBe32(p);
    return true;
}

std::uint32_t U32(const std::uint8_t* p, std::size_t n, std::uint32_t nDefault)
{
    return n == sizeof(std::uint32_t) ? Read<std::uint32_t>(p) : nDefault;
}

// The errno of a kernel's negative error code.
int KernelError(int nCode)
{
    return nCode < 0 && nCode > -4096 ? -nCode : EPROTO;
}

// A gateway through an interface: (ifindex, gateway).
using NextHops = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

void ReadLinkAttribute(NetlinkInterface& link, unsigned nType, const std::uint8_t* p, std::size_t n)
{
    switch (nType)
    {
    case IFLA_IFNAME:
        link.m_strName = Text(p, n);
        break;
    case IFLA_IFALIAS:
        link.m_strAlias = Text(p, n);
        break;
    case IFLA_ADDRESS:
        link.m_HardwareAddress.assign(p, p + (n < kMaxHardwareAddress ? n : kMaxHardwareAddress));
        break;
    case IFLA_PARENT_DEV_NAME:
        link.m_bParentDevice = true;
        break;
    case IFLA_GRO_MAX_SIZE:
        if (!link.m_bParentDevice)
            link.m_bParentDevice = false;
        break;
    case IFLA_LINKINFO:
        ForEachAttribute(p, n,
                         [&link](unsigned nInfo, const std::uint8_t* pInfo, std::size_t nInfoLength)
                         {
                             if (nInfo == IFLA_INFO_KIND)
                                 link.m_strKind = Text(pInfo, nInfoLength);
                         });
        break;
    default:
        break;
    }
}

// The next hops of an RTA_MULTIPATH attribute that have a gateway.
void ReadNextHops(const std::uint8_t* p, std::size_t n, NextHops& hops)
{
    while (n >= sizeof(rtnexthop))
    {
        const auto hop = Read<rtnexthop>(p);
        if (hop.rtnh_len < sizeof hop || hop.rtnh_len > n)
            return;
        std::uint32_t nGateway = 0;
        bool bGateway = false;
        ForEachAttribute(p + sizeof hop, hop.rtnh_len - sizeof hop,
                         [&](unsigned nType, const std::uint8_t* pHop, std::size_t nHop)
                         {
                             if (nType == RTA_GATEWAY)
                                 bGateway = Ipv4(pHop, nHop, nGateway);
                         });
        if (bGateway && hop.rtnh_ifindex > 0)
            hops.emplace_back(static_cast<std::uint32_t>(hop.rtnh_ifindex), nGateway);
        const std::size_t nStep = Align4(hop.rtnh_len);
        if (nStep >= n)
            return;
        p += nStep;
        n -= nStep;
    }
}

// The message type a dump answers with, and the size of its fixed part.
std::uint16_t ReplyType(CNetlinkSnapshot::Dump dump)
{
    switch (dump)
    {
    case CNetlinkSnapshot::Dump::Links:
        return RTM_NEWLINK;
    case CNetlinkSnapshot::Dump::Addresses:
        return RTM_NEWADDR;
    case CNetlinkSnapshot::Dump::Routes:
        return RTM_NEWROUTE;
    }
    return NLMSG_NOOP;
}

std::size_t FixedSize(CNetlinkSnapshot::Dump dump)
{
    switch (dump)
    {
    case CNetlinkSnapshot::Dump::Links:
        return sizeof(ifinfomsg);
    case CNetlinkSnapshot::Dump::Addresses:
        return sizeof(ifaddrmsg);
    case CNetlinkSnapshot::Dump::Routes:
        return sizeof(rtmsg);
    }
    return 0;
}

struct LinkRequest
{
    nlmsghdr header;
    ifinfomsg body;
    rtattr extMask;
    std::uint32_t nExtMask;
};

struct AddressRequest
{
    nlmsghdr header;
    ifaddrmsg body;
};

struct RouteRequest
{
    nlmsghdr header;
    rtmsg body;
};

template <typename Request> void Frame(Request& request, std::uint16_t nType, std::uint32_t nSeq)
{
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = nType;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = nSeq;
}

int SendDump(CNetlinkSocket& socket, CNetlinkSnapshot::Dump dump, std::uint32_t nSeq)
{
    LinkRequest link{};
    AddressRequest address{};
    RouteRequest route{};
    const void* pRequest = nullptr;
    std::size_t nSize = 0;
    switch (dump)
    {
    case CNetlinkSnapshot::Dump::Links:
        Frame(link, RTM_GETLINK, nSeq);
        link.body.ifi_family = AF_UNSPEC;
        // The counters would make each link's message several times larger.
        link.extMask.rta_len = sizeof link.extMask + sizeof link.nExtMask;
        link.extMask.rta_type = IFLA_EXT_MASK;
        link.nExtMask = RTEXT_FILTER_SKIP_STATS;
        pRequest = &link;
        nSize = sizeof link;
        break;
    case CNetlinkSnapshot::Dump::Addresses:
        Frame(address, RTM_GETADDR, nSeq);
        address.body.ifa_family = AF_INET;
        pRequest = &address;
        nSize = sizeof address;
        break;
    case CNetlinkSnapshot::Dump::Routes:
        Frame(route, RTM_GETROUTE, nSeq);
        route.body.rtm_family = AF_INET;
        pRequest = &route;
        nSize = sizeof route;
        break;
    }
    return socket.Send(pRequest, nSize);
}

class CSystemNetlinkSocket final : public CNetlinkSocket
{
public:
    int Open() override
    {
        m_socket.Reset(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
        if (!m_socket.IsOpen())
            return errno;
        const timeval timeout{kReceiveTimeoutSeconds, 0};
        if (setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0)
            return errno;
        return 0;
    }

    int Send(const void* pRequest, std::size_t nSize) override
    {
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        const ssize_t nSent = sendto(m_socket.Get(), pRequest, nSize, 0,
                                     reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel);
        if (nSent < 0)
            return errno;
        return static_cast<std::size_t>(nSent) == nSize ? 0 : EIO;
    }

    int Receive(std::uint8_t* pBuffer, std::size_t nCapacity, NetlinkDatagram& datagram) override
    {
        for (;;)
        {
            sockaddr_nl sender{};
            iovec io{pBuffer, nCapacity};
            msghdr message{};
            message.msg_name = &sender;
            message.msg_namelen = sizeof sender;
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            const ssize_t nReceived = recvmsg(m_socket.Get(), &message, 0);
            if (nReceived < 0 && errno == EINTR)
                continue;
            if (nReceived < 0)
                return errno == EAGAIN || errno == EWOULDBLOCK ? ETIMEDOUT : errno;
            datagram.m_nLength = static_cast<std::size_t>(nReceived);
            datagram.m_nSender = sender.nl_pid;
            datagram.m_bTruncated = (message.msg_flags & MSG_TRUNC) != 0;
            return 0;
        }
    }

private:
    CFileDescriptor m_socket;
};
} // namespace

int CNetlinkSnapshot::Take()
{
    CSystemNetlinkSocket socket;
    return Take(socket);
}

int CNetlinkSnapshot::Take(CNetlinkSocket& socket)
{
    int nError = EAGAIN;
    for (int nRound = 0; nRound < kMaxRounds && nError == EAGAIN; ++nRound)
        nError = TakeRound(socket);
    if (nError != 0)
        m_Interfaces.clear();
    return nError;
}

int CNetlinkSnapshot::TakeRound(CNetlinkSocket& socket)
{
    m_Interfaces.clear();
    if (const int nError = socket.Open())
        return nError;

    const auto buffer = std::make_unique<std::uint8_t[]>(kReceiveBufferSize);
    std::uint32_t nSeq = 0;
    for (const Dump dump : {Dump::Links, Dump::Addresses, Dump::Routes})
    {
        if (const int nError = SendDump(socket, dump, ++nSeq))
            return nError;
        bool bDone = false;
        for (std::size_t nDatagrams = 0; !bDone; ++nDatagrams)
        {
            if (nDatagrams == kMaxDatagramsPerDump)
                return E2BIG;
            NetlinkDatagram datagram;
            if (const int nError = socket.Receive(buffer.get(), kReceiveBufferSize, datagram))
                return nError;
            // Any local process may write to our port; only the kernel's
            // datagrams count, a cut one of someone else's included.
            if (datagram.m_nSender != 0)
                continue;
            if (datagram.m_bTruncated || datagram.m_nLength > kReceiveBufferSize)
                return EMSGSIZE;
            if (const int nError = AddReply(dump, nSeq, buffer.get(), datagram.m_nLength, bDone))
                return nError;
        }
    }
    return 0;
}

int CNetlinkSnapshot::AddReply(Dump dump, std::uint32_t nSeq, const std::uint8_t* pData,
                               std::size_t nLength, bool& bDone)
{
    while (nLength >= sizeof(nlmsghdr))
    {
        const auto header = Read<nlmsghdr>(pData);
        if (header.nlmsg_len < sizeof header || header.nlmsg_len > nLength)
            return EBADMSG;
        const std::uint8_t* pBody = pData + sizeof header;
        const std::size_t nBody = header.nlmsg_len - sizeof header;
        if (header.nlmsg_seq == nSeq)
        {
            if ((header.nlmsg_flags & NLM_F_DUMP_INTR) != 0)
                return EAGAIN;
            if (header.nlmsg_type == NLMSG_DONE)
            {
                bDone = true;
                // A dump that failed part way says so in its closing message.
                if (nBody >= sizeof(int) && Read<int>(pBody) < 0)
                    return KernelError(Read<int>(pBody));
                return 0;
            }
            if (header.nlmsg_type == NLMSG_ERROR)
            {
                if (nBody < sizeof(int))
                    return EBADMSG;
                if (const int nCode = Read<int>(pBody)) // zero is an acknowledgement
                    return KernelError(nCode);
            }
            else if (header.nlmsg_type == ReplyType(dump))
            {
                if (nBody < FixedSize(dump))
                    return EBADMSG;
                Add(dump, pBody, nBody);
            }
        }
        const std::size_t nStep = Align4(header.nlmsg_len);
        if (nStep >= nLength)
            break;
        pData += nStep;
        nLength -= nStep;
    }
    return 0;
}

void CNetlinkSnapshot::Add(Dump dump, const std::uint8_t* pBody, std::size_t nLength)
{
    switch (dump)
    {
    case Dump::Links:
        AddLink(pBody, nLength);
        break;
    case Dump::Addresses:
        AddAddress(pBody, nLength);
        break;
    case Dump::Routes:
        AddRoute(pBody, nLength);
        break;
    }
}

void CNetlinkSnapshot::AddLink(const std::uint8_t* pBody, std::size_t nLength)
{
    const auto info = Read<ifinfomsg>(pBody);
    if (info.ifi_index <= 0)
        return;
    NetlinkInterface link;
    link.m_nIndex = static_cast<unsigned>(info.ifi_index);
    link.m_nArpType = info.ifi_type;
    const std::size_t nFixed = Align4(sizeof info);
    if (nLength > nFixed)
        ForEachAttribute(pBody + nFixed, nLength - nFixed,
                         [&link](unsigned nType, const std::uint8_t* p, std::size_t n)
                         { ReadLinkAttribute(link, nType, p, n); });
    m_Interfaces[link.m_nIndex] = std::move(link);
}

void CNetlinkSnapshot::AddAddress(const std::uint8_t* pBody, std::size_t nLength)
{
    const auto info = Read<ifaddrmsg>(pBody);
    const auto it = m_Interfaces.find(info.ifa_index);
    // An interface that appeared after the link dump waits for the next snapshot.
    if (info.ifa_family != AF_INET || it == m_Interfaces.end())
        return;
    std::uint32_t nLocal = 0;
    std::uint32_t nAddress = 0;
    bool bLocal = false;
    bool bAddress = false;
    const std::size_t nFixed = Align4(sizeof info);
    if (nLength > nFixed)
        ForEachAttribute(pBody + nFixed, nLength - nFixed,
                         [&](unsigned nType, const std::uint8_t* p, std::size_t n)
                         {
                             if (nType == IFA_LOCAL)
                                 bLocal = Ipv4(p, n, nLocal);
                             else if (nType == IFA_ADDRESS)
                                 bAddress = Ipv4(p, n, nAddress);
                         });
    // On a point-to-point link IFA_ADDRESS is the peer's; IFA_LOCAL is ours.
    if (bLocal || bAddress)
        it->second.m_Addresses.push_back({bLocal ? nLocal : nAddress, info.ifa_prefixlen});
}

void CNetlinkSnapshot::AddRoute(const std::uint8_t* pBody, std::size_t nLength)
{
    const auto info = Read<rtmsg>(pBody);
    if (info.rtm_family != AF_INET || info.rtm_dst_len != 0 || info.rtm_type != RTN_UNICAST)
        return;
    std::uint32_t nTable = info.rtm_table;
    std::uint32_t nGateway = 0;
    bool bGateway = false;
    std::uint32_t nOutput = 0;
    NextHops hops;
    const std::size_t nFixed = Align4(sizeof info);
    if (nLength > nFixed)
        ForEachAttribute(pBody + nFixed, nLength - nFixed,
                         [&](unsigned nType, const std::uint8_t* p, std::size_t n)
                         {
                             switch (nType)
                             {
                             case RTA_TABLE:
                                 nTable = U32(p, n, nTable);
                                 break;
                             case RTA_GATEWAY:
                                 bGateway = Ipv4(p, n, nGateway);
                                 break;
                             case RTA_OIF:
                                 nOutput = U32(p, n, 0);
                                 break;
                             case RTA_MULTIPATH:
                                 ReadNextHops(p, n, hops);
                                 break;
                             default:
                                 break;
                             }
                         });
    if (nTable != RT_TABLE_MAIN)
        return;
    if (bGateway)
        hops.emplace_back(nOutput, nGateway);
    for (const auto& [nIndex, nHopGateway] : hops)
    {
        const auto it = m_Interfaces.find(nIndex);
        if (it != m_Interfaces.end())
            it->second.m_Gateways.push_back(nHopGateway);
    }
}
