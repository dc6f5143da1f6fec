// Replies of the rtnetlink dumps, written as datagrams by hand: the fields
// the snapshot keeps, and every length a hostile reply can get wrong.
#include "linux/netlink_snapshot.h"
#include "testing/faulty_netlink_socket.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <linux/if_addr.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/ipv6.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using Dump = CNetlinkSnapshot::Dump;

constexpr std::uint32_t kSeq = 7;

template <typename T> Bytes Raw(const T& value)
{
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

void Pad(Bytes& bytes)
{
    bytes.resize((bytes.size() + 3) & ~std::size_t{3});
}

Bytes Attribute(std::uint16_t nType, const Bytes& payload)
{
    rtattr header{static_cast<std::uint16_t>(sizeof(rtattr) + payload.size()), nType};
    Bytes bytes = Join({Raw(header), payload});
    Pad(bytes);
    return bytes;
}

Bytes Text(const char* psz)
{
    return Bytes(psz, psz + std::strlen(psz) + 1);
}

Bytes Message(std::uint16_t nType, const Bytes& body, std::uint32_t nSeq = kSeq,
              std::uint16_t nFlags = NLM_F_MULTI)
{
    nlmsghdr header{static_cast<std::uint32_t>(sizeof(nlmsghdr) + body.size()), nType, nFlags, nSeq,
                    0};
    Bytes bytes = Join({Raw(header), body});
    Pad(bytes);
    return bytes;
}

Bytes Link(int nIndex, std::uint16_t nArpType, const Bytes& attributes)
{
    ifinfomsg info{};
    info.ifi_index = nIndex;
    info.ifi_type = nArpType;
    return Message(RTM_NEWLINK, Join({Raw(info), attributes}));
}

Bytes Address(int nIndex, std::uint8_t nPrefix, const Bytes& attributes)
{
    ifaddrmsg info{};
    info.ifa_family = AF_INET;
    info.ifa_prefixlen = nPrefix;
    info.ifa_index = static_cast<std::uint32_t>(nIndex);
    return Message(RTM_NEWADDR, Join({Raw(info), attributes}));
}

Bytes Route(std::uint8_t nTable, std::uint8_t nDstLength, const Bytes& attributes)
{
    rtmsg info{};
    info.rtm_family = AF_INET;
    info.rtm_dst_len = nDstLength;
    info.rtm_table = nTable;
    info.rtm_type = RTN_UNICAST;
    return Message(RTM_NEWROUTE, Join({Raw(info), attributes}));
}

Bytes U32(std::uint32_t n)
{
    return Raw(n);
}

Bytes Address6(int nIndex, std::uint8_t nPrefix, std::uint8_t nFlags, const Bytes& attributes)
{
    ifaddrmsg info{};
    info.ifa_family = AF_INET6;
    info.ifa_prefixlen = nPrefix;
    info.ifa_flags = nFlags;
    info.ifa_index = static_cast<std::uint32_t>(nIndex);
    return Message(RTM_NEWADDR, Join({Raw(info), attributes}));
}

Bytes Route6(std::uint8_t nTable, std::uint8_t nDstLength, std::uint8_t nProtocol,
             const Bytes& attributes)
{
    rtmsg info{};
    info.rtm_family = AF_INET6;
    info.rtm_dst_len = nDstLength;
    info.rtm_table = nTable;
    info.rtm_protocol = nProtocol;
    info.rtm_type = RTN_UNICAST;
    return Message(RTM_NEWROUTE, Join({Raw(info), attributes}));
}

// 2001:db8::N and fe80::N.
Bytes Global(std::uint8_t n)
{
    return {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, n};
}
Bytes LinkLocal(std::uint8_t n)
{
    return {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, n};
}
Ipv6Address Ipv6(const Bytes& bytes)
{
    Ipv6Address address{};
    std::copy(bytes.begin(), bytes.end(), address.begin());
    return address;
}

Bytes AddressCache(std::uint32_t nPreferred, std::uint32_t nValid)
{
    ifa_cacheinfo cache{};
    cache.ifa_prefered = nPreferred;
    cache.ifa_valid = nValid;
    return Attribute(IFA_CACHEINFO, Raw(cache));
}

Bytes Done()
{
    return Message(NLMSG_DONE, U32(0));
}

class NetlinkReplyTest : public testing::Test
{
protected:
    int Add(Dump dump, const Bytes& datagram)
    {
        return m_snapshot.AddReply(dump, kSeq, datagram.data(), datagram.size(), m_bDone);
    }

    // Two links: eth0 (index 2) with addresses and a gateway, veth0 (index 5).
    void AddTwoLinks()
    {
        ASSERT_EQ(
            Add(Dump::Links,
                Join({Link(5, ARPHRD_ETHER,
                           Join({Attribute(IFLA_IFNAME, Text("veth0")),
                                 Attribute(IFLA_LINKINFO,
                                           Attribute(IFLA_INFO_KIND, Text("veth")))})),
                      Link(2, ARPHRD_ETHER,
                           Join({Attribute(IFLA_IFNAME, Text("eth0")),
                                 Attribute(IFLA_ADDRESS, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}),
                                 Attribute(IFLA_IFALIAS, Text("Uplink"))})),
                      Done()})),
            0);
        ASSERT_TRUE(m_bDone);
        m_bDone = false;
    }

    const NetlinkInterface& At(unsigned nIndex) { return m_snapshot.Interfaces().at(nIndex); }

    CNetlinkSnapshot m_snapshot;
    bool m_bDone = false;
};

TEST_F(NetlinkReplyTest, LinksKeepTheirFieldsInIndexOrder)
{
    AddTwoLinks();
    ASSERT_EQ(m_snapshot.Interfaces().size(), 2u);
    EXPECT_EQ(m_snapshot.Interfaces().begin()->first, 2u);
    const NetlinkInterface& eth0 = At(2);
    EXPECT_EQ(eth0.m_strName, "eth0");
    EXPECT_EQ(eth0.m_nArpType, unsigned{ARPHRD_ETHER});
    EXPECT_EQ(eth0.m_HardwareAddress, (Bytes{0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(eth0.m_strAlias, "Uplink");
    EXPECT_EQ(At(5).m_strKind, "veth");
    EXPECT_TRUE(At(5).m_HardwareAddress.empty());
}

TEST_F(NetlinkReplyTest, AParentDeviceIsKnownOnlyFromKernelsThatNameIt)
{
    const Bytes gro = Attribute(IFLA_GRO_MAX_SIZE, U32(65536));
    const Bytes parent = Attribute(IFLA_PARENT_DEV_NAME, Text("0000:00:1f.6"));
    ASSERT_EQ(Add(Dump::Links,
                  Join({Link(2, ARPHRD_ETHER, Join({gro, parent})),
                        Link(3, ARPHRD_ETHER, Join({parent, gro})), Link(4, ARPHRD_ETHER, gro),
                        Link(5, ARPHRD_ETHER, Attribute(IFLA_IFNAME, Text("old0"))), Done()})),
              0);
    EXPECT_EQ(At(2).m_bParentDevice, true);
    EXPECT_EQ(At(3).m_bParentDevice, true);
    EXPECT_EQ(At(4).m_bParentDevice, false);
    EXPECT_EQ(At(5).m_bParentDevice, std::nullopt); // a kernel before 5.19
}

TEST_F(NetlinkReplyTest, AddressesInKernelOrderPreferringTheLocalAddress)
{
    AddTwoLinks();
    EXPECT_EQ(Add(Dump::Addresses,
                  Join({Address(2, 24, Attribute(IFA_ADDRESS, {10, 0, 0, 5})),
                        // point to point: IFA_ADDRESS is the peer
                        Address(2, 32,
                                Join({Attribute(IFA_ADDRESS, {10, 9, 9, 9}),
                                      Attribute(IFA_LOCAL, {10, 0, 0, 6})})),
                        Address(9, 24, Attribute(IFA_ADDRESS, {10, 0, 0, 7})), // no such link
                        Address(2, 8, Attribute(IFA_ADDRESS, {10, 0, 0})),     // short address
                        Done()})),
              0);
    const auto& addresses = At(2).m_Addresses;
    ASSERT_EQ(addresses.size(), 2u);
    EXPECT_EQ(addresses[0].m_nAddress, 0x0A000005u);
    EXPECT_EQ(addresses[0].m_nPrefixLength, 24u);
    EXPECT_EQ(addresses[1].m_nAddress, 0x0A000006u);
    EXPECT_EQ(addresses[1].m_nPrefixLength, 32u);
}

TEST_F(NetlinkReplyTest, OnlyMainTableDefaultRoutesGiveGateways)
{
    AddTwoLinks();
    rtnexthop hop{};
    hop.rtnh_len = sizeof hop + 8;
    hop.rtnh_ifindex = 5;
    EXPECT_EQ(
        Add(Dump::Routes,
            Join({Route(RT_TABLE_MAIN, 0,
                        Join({Attribute(RTA_GATEWAY, {10, 0, 0, 1}), Attribute(RTA_OIF, U32(2))})),
                  Route(RT_TABLE_MAIN, 24,
                        Join({Attribute(RTA_GATEWAY, {10, 0, 0, 2}), Attribute(RTA_OIF, U32(2))})),
                  Route(RT_TABLE_LOCAL, 0,
                        Join({Attribute(RTA_GATEWAY, {10, 0, 0, 3}), Attribute(RTA_OIF, U32(2))})),
                  // a table number beyond 8 bits travels as RTA_TABLE
                  Route(RT_TABLE_COMPAT, 0,
                        Join({Attribute(RTA_TABLE, U32(1000)),
                              Attribute(RTA_GATEWAY, {10, 0, 0, 4}), Attribute(RTA_OIF, U32(2))})),
                  Route(RT_TABLE_MAIN, 0,
                        Attribute(RTA_MULTIPATH,
                                  Join({Raw(hop), Attribute(RTA_GATEWAY, {10, 0, 0, 9})}))),
                  Done()})),
        0);
    EXPECT_EQ(At(2).m_Gateways, (std::vector<std::uint32_t>{0x0A000001}));
    EXPECT_EQ(At(5).m_Gateways, (std::vector<std::uint32_t>{0x0A000009}));
}

TEST_F(NetlinkReplyTest, TheEndAndTheKernelsErrorsAreReported)
{
    EXPECT_EQ(Add(Dump::Links, Done()), 0);
    EXPECT_TRUE(m_bDone);
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_ERROR, U32(static_cast<std::uint32_t>(-EPERM)))),
              EPERM);
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_DONE, U32(static_cast<std::uint32_t>(-ENOBUFS)))),
              ENOBUFS);
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_ERROR, Bytes{1, 2})), EBADMSG);
    // A code that is no errno, the most negative one included.
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_ERROR, U32(0x80000000))), EPROTO);
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_ERROR, U32(5))), EPROTO);
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_ERROR, U32(0))), 0); // an acknowledgement
    EXPECT_EQ(Add(Dump::Links, Message(NLMSG_DONE, U32(0), kSeq, NLM_F_MULTI | NLM_F_DUMP_INTR)),
              EAGAIN);
}

TEST_F(NetlinkReplyTest, MessagesOfOtherRequestsAndDumpsAreSkipped)
{
    m_bDone = false;
    EXPECT_EQ(Add(Dump::Links,
                  Join({Message(NLMSG_DONE, U32(0), kSeq - 1),
                        Message(NLMSG_ERROR, U32(static_cast<std::uint32_t>(-EPERM)), kSeq + 1)})),
              0);
    EXPECT_FALSE(m_bDone);
    EXPECT_EQ(Add(Dump::Addresses, Link(2, ARPHRD_ETHER, Attribute(IFLA_IFNAME, Text("eth0")))), 0);
    EXPECT_TRUE(m_snapshot.Interfaces().empty());
}

TEST_F(NetlinkReplyTest, LengthsBeyondTheDatagramAreRefused)
{
    Bytes datagram = Link(2, ARPHRD_ETHER, Attribute(IFLA_IFNAME, Text("eth0")));
    datagram[0] = static_cast<std::uint8_t>(datagram.size() + 4); // nlmsg_len past the end
    EXPECT_EQ(Add(Dump::Links, datagram), EBADMSG);
    datagram[0] = 8; // shorter than its own header
    EXPECT_EQ(Add(Dump::Links, datagram), EBADMSG);
    // A body too short for its fixed part.
    EXPECT_EQ(Add(Dump::Links, Message(RTM_NEWLINK, Bytes{1, 2, 3})), EBADMSG);
    EXPECT_EQ(Add(Dump::Routes, Message(RTM_NEWROUTE, Bytes{AF_INET})), EBADMSG);
    // Bytes too few for a header are left alone.
    EXPECT_EQ(Add(Dump::Links, Bytes{1, 2, 3}), 0);
    EXPECT_TRUE(m_snapshot.Interfaces().empty());
}

TEST_F(NetlinkReplyTest, AnAttributePastItsMessageEndsTheAttributes)
{
    Bytes attributes =
        Join({Attribute(IFLA_IFNAME, Text("eth0")), Attribute(IFLA_IFALIAS, Text("Uplink"))});
    attributes[12] = 200; // the alias claims 200 bytes
    // A name without its terminating zero, and one in a wrong-sized multipath hop.
    EXPECT_EQ(
        Add(Dump::Links, Join({Link(2, ARPHRD_ETHER, attributes),
                               Link(3, ARPHRD_ETHER, Attribute(IFLA_IFNAME, Bytes{'a', 'b'}))})),
        0);
    EXPECT_EQ(At(2).m_strName, "eth0");
    EXPECT_EQ(At(2).m_strAlias, "");
    EXPECT_EQ(At(3).m_strName, "ab");

    rtnexthop hop{};
    hop.rtnh_len = 200;
    hop.rtnh_ifindex = 2;
    EXPECT_EQ(Add(Dump::Routes,
                  Route(RT_TABLE_MAIN, 0,
                        Attribute(RTA_MULTIPATH,
                                  Join({Raw(hop), Attribute(RTA_GATEWAY, {10, 0, 0, 9})})))),
              0);
    EXPECT_TRUE(At(2).m_Gateways.empty());
}

TEST_F(NetlinkReplyTest, Ipv6AddressesKeepFlagsOriginAndLifetimes)
{
    AddTwoLinks();
    Bytes cutCache = AddressCache(10, 20);
    cutCache.resize(cutCache.size() - 4);
    cutCache[0] = static_cast<std::uint8_t>(cutCache.size()); // 12 bytes of 16
    EXPECT_EQ(
        Add(Dump::Addresses,
            Join({Address6(2, 64, IFA_F_PERMANENT,
                           Join({Attribute(IFA_ADDRESS, LinkLocal(1)),
                                 AddressCache(0xFFFFFFFF, 0xFFFFFFFF)})),
                  // IFA_FLAGS has the bits past the header's eight
                  Address6(
                      2, 64, 0,
                      Join({Attribute(IFA_ADDRESS, Global(5)),
                            Attribute(IFA_FLAGS, U32(IFA_F_MANAGETEMPADDR)),
                            Attribute(IFA_PROTO, {IFAPROT_KERNEL_RA}), AddressCache(3600, 7200)})),
                  // a peer: IFA_LOCAL is ours; a repeated attribute, the last counts
                  Address6(2, 128, 0,
                           Join({Attribute(IFA_LOCAL, Global(6)), Attribute(IFA_ADDRESS, Global(9)),
                                 Attribute(IFA_LOCAL, Global(7)), cutCache})),
                  Address6(2, 64, 0, Attribute(IFA_ADDRESS, Bytes(15, 1))), // cut address
                  Address6(2, 129, 0, Attribute(IFA_ADDRESS, Global(8))),   // prefix too long
                  Address6(9, 64, 0, Attribute(IFA_ADDRESS, Global(8))),    // no such link
                  Address6(2, 64, 0, Attribute(IFA_PROTO, {1, 2})),         // no address
                  Done()})),
        0);
    const auto& addresses = At(2).ipv6Addresses;
    ASSERT_EQ(addresses.size(), 3u);
    EXPECT_EQ(addresses[0].address, Ipv6(LinkLocal(1)));
    EXPECT_EQ(addresses[0].flags, unsigned{IFA_F_PERMANENT});
    EXPECT_FALSE(addresses[0].origin);
    EXPECT_FALSE(addresses[0].validLifetime); // infinite
    EXPECT_FALSE(addresses[0].preferredLifetime);
    EXPECT_EQ(addresses[1].address, Ipv6(Global(5)));
    EXPECT_EQ(addresses[1].prefixLength, 64u);
    EXPECT_EQ(addresses[1].flags, unsigned{IFA_F_MANAGETEMPADDR});
    EXPECT_EQ(addresses[1].origin, IFAPROT_KERNEL_RA);
    EXPECT_EQ(addresses[1].validLifetime, 7200u);
    EXPECT_EQ(addresses[1].preferredLifetime, 3600u);
    EXPECT_EQ(addresses[2].address, Ipv6(Global(7)));
    EXPECT_EQ(addresses[2].prefixLength, 128u);
    EXPECT_FALSE(addresses[2].validLifetime); // the cut cache is not read
    EXPECT_TRUE(At(2).m_Addresses.empty());   // no IPv6 address among the IPv4 ones
}

TEST_F(NetlinkReplyTest, Ipv6RoutesOfTheMainTableWithPreferenceExpiryAndMetric)
{
    AddTwoLinks();
    rta_cacheinfo cache{};
    cache.rta_expires = static_cast<std::int32_t>(1800 * sysconf(_SC_CLK_TCK));
    rta_cacheinfo expired{};
    expired.rta_expires = -5;
    const Bytes oif = Attribute(RTA_OIF, U32(2));
    // The kernel's prefix route, first in its own filtered dump.
    EXPECT_EQ(Add(Dump::PrefixRoutes, Join({Route6(RT_TABLE_MAIN, 64, RTPROT_KERNEL,
                                                   Join({Attribute(RTA_DST, Global(0)), oif,
                                                         Attribute(RTA_PRIORITY, U32(256))})),
                                            Done()})),
              0);
    m_bDone = false;
    EXPECT_EQ(
        Add(Dump::Routes,
            Join({Route6(RT_TABLE_MAIN, 0, RTPROT_RA,
                         Join({Attribute(RTA_GATEWAY, LinkLocal(1)), oif,
                               Attribute(RTA_PRIORITY, U32(1024)), Attribute(RTA_PREF, {1}),
                               Attribute(RTA_CACHEINFO, Raw(cache))})),
                  // listed again by the full dump: kept once, marked
                  Route6(RT_TABLE_MAIN, 64, RTPROT_KERNEL,
                         Join({Attribute(RTA_DST, Global(0)), oif,
                               Attribute(RTA_PRIORITY, U32(256))})),
                  Route6(RT_TABLE_MAIN, 0, RTPROT_RA,
                         Join({Attribute(RTA_GATEWAY, LinkLocal(2)), oif,
                               Attribute(RTA_CACHEINFO, Raw(expired))})),
                  Route6(RT_TABLE_LOCAL, 128, RTPROT_KERNEL,
                         Join({Attribute(RTA_DST, Global(5)), oif})),
                  Route6(RT_TABLE_MAIN, 0, RTPROT_RA,
                         Join({Attribute(RTA_GATEWAY, LinkLocal(3)),
                               Attribute(RTA_OIF, U32(9))})), // no such link
                  Route6(RT_TABLE_MAIN, 200, RTPROT_RA, oif), // prefix too long
                  // a cut gateway, preference and cache are not read
                  Route6(RT_TABLE_MAIN, 0, RTPROT_RA,
                         Join({Attribute(RTA_GATEWAY, Bytes(4, 1)), oif,
                               Attribute(RTA_PREF, {1, 0}), Attribute(RTA_CACHEINFO, U32(7))})),
                  Done()})),
        0);
    const auto& routes = At(2).ipv6Routes;
    ASSERT_EQ(routes.size(), 4u);
    EXPECT_EQ(routes[0].destination, Ipv6(Global(0)));
    EXPECT_EQ(routes[0].destinationLength, 64u);
    EXPECT_EQ(routes[0].flags, unsigned{RTM_F_PREFIX});
    EXPECT_FALSE(routes[0].expires);
    EXPECT_EQ(routes[1].gateway, Ipv6(LinkLocal(1)));
    EXPECT_EQ(routes[1].protocol, RTPROT_RA);
    EXPECT_EQ(routes[1].preference, 1);
    EXPECT_EQ(routes[1].expires, 1800u);
    EXPECT_EQ(routes[1].metric, 1024u);
    EXPECT_EQ(routes[1].flags, 0u);
    EXPECT_EQ(routes[2].expires, 0u); // past its time, still listed
    EXPECT_FALSE(routes[3].gateway);
    EXPECT_FALSE(routes[3].preference);
    EXPECT_FALSE(routes[3].expires);
}

TEST_F(NetlinkReplyTest, TheLinksIpv6FlagsAndMtus)
{
    std::vector<std::int32_t> conf(DEVCONF_MTU6 + 1, 0);
    conf[DEVCONF_MTU6] = 1400;
    Bytes confBytes(conf.size() * sizeof(std::int32_t));
    std::memcpy(confBytes.data(), conf.data(), confBytes.size());
    Bytes cutConf = confBytes;
    cutConf.pop_back();
    const auto inet6 = [](const Bytes& attributes)
    { return Attribute(IFLA_AF_SPEC, Attribute(AF_INET6, attributes)); };
    EXPECT_EQ(
        Add(Dump::Links, Join({Link(2, ARPHRD_ETHER,
                                    Join({Attribute(IFLA_MTU, U32(1500)),
                                          Attribute(IFLA_AF_SPEC, Attribute(AF_INET, U32(0))),
                                          inet6(Join({Attribute(IFLA_INET6_FLAGS, U32(0x800000E0)),
                                                      Attribute(IFLA_INET6_CONF, confBytes),
                                                      Attribute(IFLA_INET6_RA_MTU, U32(1280))}))})),
                               Link(3, ARPHRD_ETHER,
                                    inet6(Join({Attribute(IFLA_INET6_FLAGS, Bytes{1, 2}),
                                                Attribute(IFLA_INET6_CONF, cutConf)}))),
                               Done()})),
        0);
    EXPECT_EQ(At(2).mtu, 1500u);
    EXPECT_EQ(At(2).inet6Flags, 0x800000E0u);
    EXPECT_EQ(At(2).mtu6, 1400u);
    EXPECT_EQ(At(2).raMtu, 1280u);
    EXPECT_FALSE(At(3).inet6Flags);
    EXPECT_FALSE(At(3).mtu6);
    EXPECT_FALSE(At(3).raMtu);
}

struct SocketFaultCase
{
    const char* pszFault;
    std::vector<NetlinkFault> script;
    int nError;
    int nRounds;
};

void PrintTo(const SocketFaultCase& fault, std::ostream* pStream)
{
    *pStream << fault.pszFault;
}

class NetlinkSocketFaultTest : public testing::TestWithParam<SocketFaultCase>
{
};

TEST_P(NetlinkSocketFaultTest, EachFaultEndsAsItShould)
{
    const SocketFaultCase& fault = GetParam();
    CFaultyNetlinkSocket socket(fault.script);
    CNetlinkSnapshot snapshot;
    EXPECT_EQ(snapshot.Take(socket), fault.nError);
    EXPECT_EQ(socket.Rounds(), fault.nRounds);
    // Whole or nothing: a failed round leaves no half snapshot behind.
    EXPECT_EQ(snapshot.Interfaces().size(), fault.nError == 0 ? 1u : 0u);
    if (fault.nError == 0)
    {
        EXPECT_EQ(snapshot.Interfaces().at(1).m_strName, "lo");
    }
}

using F = NetlinkFault;
INSTANTIATE_TEST_SUITE_P(
    Faults, NetlinkSocketFaultTest,
    testing::Values(
        SocketFaultCase{
            "an interrupted links dump, clean in the next round", {F::Interrupted}, 0, 2},
        SocketFaultCase{"an interrupted route dump starts the round again",
                        {F::None, F::None, F::Interrupted},
                        0,
                        2},
        SocketFaultCase{"interrupted in every round gives up after the last",
                        {F::Interrupted, F::Interrupted, F::Interrupted},
                        EAGAIN,
                        CNetlinkSnapshot::kMaxRounds},
        SocketFaultCase{"a dump that never closes", {F::Flood}, E2BIG, 1},
        SocketFaultCase{"a datagram larger than the buffer", {F::Truncated}, EMSGSIZE, 1},
        SocketFaultCase{"a cut datagram from another process", {F::ForeignTruncated}, 0, 1},
        SocketFaultCase{"a refusal forged by another process", {F::ForeignError}, 0, 1},
        SocketFaultCase{"a kernel silent from the start", {F::Silence}, ETIMEDOUT, 1},
        SocketFaultCase{"silence after the links dump", {F::None, F::Silence}, ETIMEDOUT, 1}),
    [](const testing::TestParamInfo<SocketFaultCase>& test)
    {
        std::string strName;
        for (const char* p = test.param.pszFault; *p != '\0'; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                strName +=
                    strName.empty() || p[-1] != ' ' ? *p : static_cast<char>(std::toupper(*p));
        return strName;
    });

// A snapshot of IPv6 routes sends four requests a round, the prefix routes third.
TEST(NetlinkSnapshot, AnInterruptedPrefixDumpStartsTheIpv6RoundAgain)
{
    CFaultyNetlinkSocket socket(
        {F::None, F::None, F::Interrupted, F::None, F::None, F::None, F::None, F::Flood});
    CNetlinkSnapshot snapshot;
    EXPECT_EQ(snapshot.Take(socket, CNetlinkSnapshot::RouteFamily::Ipv6), 0);
    EXPECT_EQ(socket.Rounds(), 2);
    EXPECT_EQ(snapshot.Take(socket, CNetlinkSnapshot::RouteFamily::Ipv6), E2BIG);
    EXPECT_TRUE(snapshot.Interfaces().empty());
}

TEST(NetlinkSnapshot, TheMachinesLoopbackIsSeen)
{
    CNetlinkSnapshot snapshot;
    ASSERT_EQ(snapshot.Take(), 0);
    const auto it = snapshot.Interfaces().find(1);
    ASSERT_NE(it, snapshot.Interfaces().end());
    EXPECT_EQ(it->second.m_strName, "lo");
    EXPECT_EQ(it->second.m_nArpType, unsigned{ARPHRD_LOOPBACK});
}
} // namespace
