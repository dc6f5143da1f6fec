#include "linux/netlink_snapshot.h"

#include "core/wire/byte_order.h"
#include "platform/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/ipv6.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

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

std::optional<std::uint32_t> OptionalU32(const std::uint8_t* p, std::size_t n)
{
    if (n != sizeof(std::uint32_t))
        return std::nullopt;
    return Read<std::uint32_t>(p);
}

std::optional<std::uint8_t> OptionalU8(const std::uint8_t* p, std::size_t n)
{
    if (n != 1)
        return std::nullopt;
    return *p;
}

std::optional<Ipv6Address> Ipv6(const std::uint8_t* p, std::size_t n)
{
    Ipv6Address address;
    if (n != address.size())
        return std::nullopt;
    std::memcpy(address.data(), p, address.size());
    return address;
}

// An address lifetime of IFA_CACHEINFO: empty for INFINITY_LIFE_TIME.
std::optional<std::uint32_t> AddressLifetime(std::uint32_t nSeconds)
{
    constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
    if (nSeconds == kInfinite)
        return std::nullopt;
    return nSeconds;
}

// RTA_CACHEINFO's expiry in clock ticks as seconds left: empty for a route
// that never expires, 0 for one past its time that is still listed.
std::optional<std::uint32_t> RouteExpiry(std::int32_t nTicks)
{
    if (nTicks == 0)
        return std::nullopt;
    if (nTicks < 0)
        return 0;
    static const long nTicksPerSecond = sysconf(_SC_CLK_TCK);
    return static_cast<std::uint32_t>(nTicks / (nTicksPerSecond > 0 ? nTicksPerSecond : 100));
}

// IFLA_AF_SPEC's AF_INET6 part.
void ReadInet6Attributes(NetlinkInterface& link, const std::uint8_t* p, std::size_t n)
{
    ForEachAttribute(p, n,
                     [&link](unsigned nType, const std::uint8_t* pValue, std::size_t nValue)
                     {
                         switch (nType)
                         {
                         case IFLA_INET6_FLAGS:
                             link.inet6Flags = OptionalU32(pValue, nValue);
                             break;
                         case IFLA_INET6_CONF:
                             // An array of s32 by DEVCONF_* index.
                             if (nValue >= (DEVCONF_MTU6 + 1) * sizeof(std::int32_t))
                                 link.mtu6 = Read<std::uint32_t>(pValue + DEVCONF_MTU6 *
                                                                              sizeof(std::int32_t));
                             break;
                         case IFLA_INET6_RA_MTU:
                             link.raMtu = OptionalU32(pValue, nValue);
                             break;
                         default:
                             break;
                         }
                     });
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
    case IFLA_MTU:
        link.mtu = U32(p, n, 0);
        break;
    case IFLA_AF_SPEC:
        ForEachAttribute(p, n,
                         [&link](unsigned nFamily, const std::uint8_t* pSpec, std::size_t nSpec)
                         {
                             if (nFamily == AF_INET6)
                                 ReadInet6Attributes(link, pSpec, nSpec);
                         });
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
    case CNetlinkSnapshot::Dump::PrefixRoutes:
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
    case CNetlinkSnapshot::Dump::PrefixRoutes:
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

int SendDump(CNetlinkSocket& socket, CNetlinkSnapshot::Dump dump, std::uint32_t nSeq,
             CNetlinkSnapshot::RouteFamily routes)
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
        // Both families in one dump.
        Frame(address, RTM_GETADDR, nSeq);
        address.body.ifa_family = AF_UNSPEC;
        pRequest = &address;
        nSize = sizeof address;
        break;
    case CNetlinkSnapshot::Dump::Routes:
        Frame(route, RTM_GETROUTE, nSeq);
        route.body.rtm_family = routes == CNetlinkSnapshot::RouteFamily::Ipv4 ? AF_INET : AF_INET6;
        pRequest = &route;
        nSize = sizeof route;
        break;
    case CNetlinkSnapshot::Dump::PrefixRoutes:
        Frame(route, RTM_GETROUTE, nSeq);
        route.body.rtm_family = AF_INET6;
        route.body.rtm_flags = RTM_F_PREFIX;
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

int CNetlinkSnapshot::Take(RouteFamily routes)
{
    CSystemNetlinkSocket socket;
    return Take(socket, routes);
}

int CNetlinkSnapshot::Take(CNetlinkSocket& socket, RouteFamily routes)
{
    int nError = EAGAIN;
    for (int nRound = 0; nRound < kMaxRounds && nError == EAGAIN; ++nRound)
        nError = TakeRound(socket, routes);
    if (nError != 0)
        m_Interfaces.clear();
    return nError;
}

int CNetlinkSnapshot::TakeRound(CNetlinkSocket& socket, RouteFamily routes)
{
    m_Interfaces.clear();
    if (const int nError = socket.Open())
        return nError;

    const auto buffer = std::make_unique<std::uint8_t[]>(kReceiveBufferSize);
    std::uint32_t nSeq = 0;
    // The prefix routes come first: the full dump then skips them.
    std::vector<Dump> dumps = {Dump::Links, Dump::Addresses, Dump::Routes};
    if (routes == RouteFamily::Ipv6)
        dumps.insert(dumps.begin() + 2, Dump::PrefixRoutes);
    for (const Dump dump : dumps)
    {
        if (const int nError = SendDump(socket, dump, ++nSeq, routes))
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
    case Dump::PrefixRoutes:
        if (Read<rtmsg>(pBody).rtm_family == AF_INET6)
            AddRoute6(pBody, nLength, true);
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
    if (info.ifa_family == AF_INET6)
        return AddAddress6(pBody, nLength);
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

void CNetlinkSnapshot::AddAddress6(const std::uint8_t* pBody, std::size_t nLength)
{
    const auto info = Read<ifaddrmsg>(pBody);
    const auto it = m_Interfaces.find(info.ifa_index);
    if (it == m_Interfaces.end() || info.ifa_prefixlen > 128)
        return;
    NetlinkAddress6 address;
    address.prefixLength = info.ifa_prefixlen;
    address.flags = info.ifa_flags;
    std::optional<Ipv6Address> local;
    std::optional<Ipv6Address> peer;
    const std::size_t nFixed = Align4(sizeof info);
    if (nLength > nFixed)
        ForEachAttribute(pBody + nFixed, nLength - nFixed,
                         [&](unsigned nType, const std::uint8_t* p, std::size_t n)
                         {
                             switch (nType)
                             {
                             case IFA_LOCAL:
                                 local = Ipv6(p, n);
                                 break;
                             case IFA_ADDRESS:
                                 peer = Ipv6(p, n);
                                 break;
                             case IFA_FLAGS:
                                 address.flags = U32(p, n, address.flags);
                                 break;
                             case IFA_PROTO:
                                 address.origin = OptionalU8(p, n);
                                 break;
                             case IFA_CACHEINFO:
                                 if (n == sizeof(ifa_cacheinfo))
                                 {
                                     const auto cache = Read<ifa_cacheinfo>(p);
                                     address.validLifetime = AddressLifetime(cache.ifa_valid);
                                     address.preferredLifetime =
                                         AddressLifetime(cache.ifa_prefered);
                                 }
                                 break;
                             default:
                                 break;
                             }
                         });
    // With a peer, IFA_ADDRESS is the peer's and IFA_LOCAL ours.
    if (!local && !peer)
        return;
    address.address = local ? *local : *peer;
    it->second.ipv6Addresses.push_back(address);
}

void CNetlinkSnapshot::AddRoute(const std::uint8_t* pBody, std::size_t nLength)
{
    const auto info = Read<rtmsg>(pBody);
    if (info.rtm_family == AF_INET6)
        return AddRoute6(pBody, nLength, false);
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

void CNetlinkSnapshot::AddRoute6(const std::uint8_t* pBody, std::size_t nLength, bool bPrefix)
{
    const auto info = Read<rtmsg>(pBody);
    if (info.rtm_type != RTN_UNICAST || info.rtm_dst_len > 128)
        return;
    NetlinkRoute6 route;
    route.destinationLength = info.rtm_dst_len;
    route.protocol = info.rtm_protocol;
    route.flags = info.rtm_flags | (bPrefix ? RTM_F_PREFIX : 0u);
    std::uint32_t nTable = info.rtm_table;
    std::uint32_t nOutput = 0;
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
                             case RTA_DST:
                                 route.destination = Ipv6(p, n).value_or(Ipv6Address{});
                                 break;
                             case RTA_GATEWAY:
                                 route.gateway = Ipv6(p, n);
                                 break;
                             case RTA_OIF:
                                 nOutput = U32(p, n, 0);
                                 break;
                             case RTA_PRIORITY:
                                 route.metric = U32(p, n, 0);
                                 break;
                             case RTA_PREF:
                                 route.preference = OptionalU8(p, n);
                                 break;
                             case RTA_CACHEINFO:
                                 if (n == sizeof(rta_cacheinfo))
                                     route.expires =
                                         RouteExpiry(Read<rta_cacheinfo>(p).rta_expires);
                                 break;
                             default:
                                 break;
                             }
                         });
    const auto it = m_Interfaces.find(nOutput);
    if (nTable != RT_TABLE_MAIN || it == m_Interfaces.end())
        return;
    std::vector<NetlinkRoute6>& known = it->second.ipv6Routes;
    // The full dump lists the prefix routes again, unmarked.
    const bool bListed =
        !bPrefix && !route.gateway &&
        std::any_of(known.begin(), known.end(),
                    [&route](const NetlinkRoute6& prefix)
                    {
                        return (prefix.flags & RTM_F_PREFIX) != 0 &&
                               prefix.destination == route.destination &&
                               prefix.destinationLength == route.destinationLength &&
                               prefix.metric == route.metric;
                    });
    if (!bListed)
        known.push_back(route);
}
