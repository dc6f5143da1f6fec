// CNetlinkSnapshot: the kernel's view of the network interfaces, taken in one
// round of rtnetlink dumps (links, IPv4 and IPv6 addresses, and the IPv4
// default routes or the IPv6 routes).
#pragma once

#include "core/model/router_advertisements.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct NetlinkAddress
{
    std::uint32_t m_nAddress = 0; // host byte order: 10.99.0.146 is 0x0A630092
    unsigned m_nPrefixLength = 0;
};

struct NetlinkAddress6
{
    Ipv6Address address{};
    unsigned prefixLength = 0;
    std::uint32_t flags = 0;            // IFA_F_*: IFA_FLAGS, else the header's 8 bits
    std::optional<std::uint8_t> origin; // IFA_PROTO (IFAPROT_*), from Linux 6.3 on
    // Seconds left (IFA_CACHEINFO); empty when infinite.
    std::optional<std::uint32_t> validLifetime;
    std::optional<std::uint32_t> preferredLifetime;
};

// A route of the main table through one interface, as the IPv6 dump has it.
struct NetlinkRoute6
{
    Ipv6Address destination{};
    unsigned destinationLength = 0;
    std::optional<Ipv6Address> gateway;
    std::uint8_t protocol = 0; // RTPROT_*: RTPROT_RA for a router's default route
    std::uint32_t flags = 0;   // RTM_F_*: RTM_F_PREFIX for a prefix of an advertisement
    std::optional<std::uint8_t> preference; // RTA_PREF (ICMPV6_ROUTER_PREF_*)
    std::optional<std::uint32_t> expires;   // seconds left (RTA_CACHEINFO); empty when never
    std::uint32_t metric = 0;
};

struct NetlinkInterface
{
    unsigned m_nIndex = 0;
    std::string m_strName;
    unsigned m_nArpType = 0; // ARPHRD_*
    std::vector<std::uint8_t> m_HardwareAddress;
    std::string m_strAlias; // IFLA_IFALIAS
    std::string m_strKind;  // IFLA_INFO_KIND: "veth", "dummy", ...
    // Whether the interface sits on a device (IFLA_PARENT_DEV_NAME), which
    // sysfs shows as its device link. Kernels before 5.19 leave it unknown:
    // the absence of the name says nothing without IFLA_GRO_MAX_SIZE, which
    // every link message carries since.
    std::optional<bool> m_bParentDevice;
    std::vector<NetlinkAddress> m_Addresses; // in the kernel's order
    // Gateways of the main table's IPv4 default routes through the interface,
    // host byte order, in the kernel's order.
    std::vector<std::uint32_t> m_Gateways;
    std::vector<NetlinkAddress6> ipv6Addresses; // in the kernel's order
    // Main-table unicast routes, each once; taken only in a snapshot of IPv6
    // routes.
    std::vector<NetlinkRoute6> ipv6Routes;
    std::uint32_t mtu = 0; // IFLA_MTU
    // IFLA_AF_SPEC's AF_INET6 part: IFLA_INET6_FLAGS (IF_RA_*), DEVCONF_MTU6
    // of IFLA_INET6_CONF, and IFLA_INET6_RA_MTU (from Linux 5.17 on).
    std::optional<std::uint32_t> inet6Flags;
    std::optional<std::uint32_t> mtu6;
    std::optional<std::uint32_t> raMtu;
};

// By ifindex, so in ifindex order.
using NetlinkInterfaces = std::map<unsigned, NetlinkInterface>;

// One datagram as received: its length, who sent it (the kernel is port 0),
// and whether it was longer than the buffer.
struct NetlinkDatagram
{
    std::size_t m_nLength = 0;
    std::uint32_t m_nSender = 0;
    bool m_bTruncated = false;
};

// The rtnetlink socket a snapshot talks over: the kernel's, unless a test
// hands in its own.
class CNetlinkSocket
{
public:
    virtual ~CNetlinkSocket() = default;
    // A fresh socket for a round: 0 or errno.
    virtual int Open() = 0;
    // Sends one request to the kernel: 0 or errno.
    virtual int Send(const void* pRequest, std::size_t nSize) = 0;
    // Waits for one datagram: 0, ETIMEDOUT when none came in time, or the
    // errno of the failure.
    virtual int Receive(std::uint8_t* pBuffer, std::size_t nCapacity,
                        NetlinkDatagram& datagram) = 0;
};

class CNetlinkSnapshot
{
public:
    enum class Dump
    {
        Links,
        Addresses,
        Routes,
        // The IPv6 routes the kernel made of advertised prefixes: a route
        // dump filtered with RTM_F_PREFIX (whose replies do not carry it).
        PrefixRoutes
    };

    // The routes a snapshot takes: the IPv4 default routes of the adapter
    // list, or the IPv6 routes (of router advertisements among them), which
    // take one more dump for the advertised prefixes.
    enum class RouteFamily
    {
        Ipv4,
        Ipv6
    };

    // Replaces the snapshot with one taken in the calling thread's network
    // namespace: 0, or the errno of the failure with the snapshot left empty:
    // EAGAIN when every round was disturbed by a change, E2BIG for a dump of
    // more than kMaxDatagramsPerDump datagrams, EMSGSIZE for a datagram
    // larger than kReceiveBufferSize, ETIMEDOUT when the kernel fell silent.
    // Datagrams from senders other than the kernel are skipped.
    int Take(RouteFamily routes = RouteFamily::Ipv4);
    int Take(CNetlinkSocket& socket, RouteFamily routes = RouteFamily::Ipv4);

    // Adds one datagram of a dump's reply to the snapshot. Every length in it
    // is checked against the datagram; messages of other requests are
    // skipped. Sets bDone at the dump's end. Answers 0, the kernel's errno
    // for a refused request, EAGAIN when the kernel says the dump was
    // disturbed by a change, or EBADMSG for a message cut short.
    int AddReply(Dump dump, std::uint32_t nSeq, const std::uint8_t* pData, std::size_t nLength,
                 bool& bDone);

    const NetlinkInterfaces& Interfaces() const { return m_Interfaces; }

    // The buffer one datagram is received into: the kernel fits its dump
    // messages to the reader's buffer, up to this size.
    static constexpr std::size_t kReceiveBufferSize = 32 * 1024;
    // Fresh rounds when the interfaces change in the middle of one.
    static constexpr int kMaxRounds = 3;
    // No interface table needs more; a socket that never ends a dump is not
    // read without end.
    static constexpr std::size_t kMaxDatagramsPerDump = 65536;

private:
    int TakeRound(CNetlinkSocket& socket, RouteFamily routes);
    void Add(Dump dump, const std::uint8_t* pBody, std::size_t nLength);
    void AddLink(const std::uint8_t* pBody, std::size_t nLength);
    void AddAddress(const std::uint8_t* pBody, std::size_t nLength);
    void AddAddress6(const std::uint8_t* pBody, std::size_t nLength);
    void AddRoute(const std::uint8_t* pBody, std::size_t nLength);
    void AddRoute6(const std::uint8_t* pBody, std::size_t nLength, bool bPrefix);

    NetlinkInterfaces m_Interfaces;
};
