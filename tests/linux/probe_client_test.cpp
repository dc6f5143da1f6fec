#include "linux/probe_client.h"

#include "core/wire/udp_datagram.h"
#include "testing/fake_dhcp_server.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kXid = 0x12345678;
const HardwareAddress kClientMac = {0x02, 0, 0, 0x66, 0, 0x02};
const HardwareAddress kServerMac = {0x02, 0, 0, 0x66, 0, 0x01};

std::string Line(const ProbeMessage& message)
{
    std::string strLine = FormatProbeMessage(message);
    strLine.pop_back();
    return strLine;
}

std::string Opened(bool bDiscovery)
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Opened;
    message.m_strStatus = "CapEff:\t0000000000000000\n";
    if (bDiscovery)
    {
        message.m_nTransactionId = kXid;
        message.m_ClientMac = kClientMac;
    }
    return Line(message);
}

// A server's offer to our DHCPDISCOVER, as the packet socket receives it.
std::string Offer(std::uint64_t nMicroseconds)
{
    DiscoverRequest request;
    request.clientMac = kClientMac;
    request.transactionId = kXid;
    const std::vector<std::uint8_t> discover = BuildDiscoverRequest(request);
    const std::optional<BootpMessage> parsed = ParseBootpMessage(discover.data(), discover.size());
    ProbeMessage message;
    message.m_event = ProbeEvent::Packet;
    message.m_Packet = BuildUdpPacket(UdpEndpoints{0x0A4D0001, 0xFFFFFFFF, 67, 68},
                                      FakeReply(*parsed, kDhcpOffer, {}));
    message.m_SourceMac = kServerMac;
    message.m_nMicroseconds = nMicroseconds;
    return Line(message);
}

std::string Options()
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Options;
    message.m_mapOptions = {{1, {255, 255, 255, 0}}};
    return Line(message);
}

std::string Options6()
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Options6;
    message.options6 = {{23, {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}};
    return Line(message);
}

std::string End(int nError, std::uint64_t nUnrelayed = 0)
{
    ProbeMessage message;
    message.m_nError = nError;
    message.m_nUnrelayed = nUnrelayed;
    return Line(message);
}

std::string CensusLine(bool carrier)
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Census;
    message.families = kCensusDhcpv4;
    message.carrier = carrier;
    return Line(message);
}

std::string Probe(std::optional<std::uint16_t> vlan)
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Probe;
    message.probe.vlan = vlan;
    message.probe.clientMac = kClientMac;
    message.probe.transactionId = kXid;
    return Line(message);
}

// Offer()'s packet as a census frame on a VLAN.
std::string Frame(std::optional<std::uint16_t> vlan, std::uint64_t microseconds)
{
    ProbeMessage message = *ParseProbeMessage(Offer(microseconds));
    message.m_event = ProbeEvent::Frame;
    message.vlan = vlan;
    message.etherType = 0x0800;
    return Line(message);
}

struct CensusCase
{
    const char* name;
    std::vector<std::string> lines;
    std::size_t taken; // lines taken before one is refused
    int census;        // Finish(CensusResult&)
    std::size_t vlans;
};

TEST(ProbeSession, ACensusIsItsPlanThenItsFrames)
{
    const CensusCase cases[] = {
        {"census", {Opened(false), CensusLine(true), Probe(10), Frame(10, 1), End(0)}, 5, 0, 1},
        {"no frames", {Opened(false), CensusLine(true), Probe({}), Probe(10), End(0)}, 5, 0, 2},
        {"no plan", {Opened(false), CensusLine(true), End(0)}, 3, 0, 0},
        {"failed", {Opened(false), End(ENODEV)}, 2, ENODEV, 0},
        {"not a census", {Opened(false), End(0)}, 2, EPROTO, 0},
        {"census before opened", {CensusLine(true), Opened(false), End(0)}, 0, EPROTO, 0},
        {"census twice", {Opened(false), CensusLine(true), CensusLine(true)}, 2, EPROTO, 0},
        {"census in a discovery", {Opened(true), CensusLine(true), End(0)}, 1, EPROTO, 0},
        {"probe before census", {Opened(false), Probe(10), End(0)}, 1, EPROTO, 0},
        {"a VLAN twice", {Opened(false), CensusLine(true), Probe(10), Probe(10)}, 3, EPROTO, 0},
        {"untagged twice", {Opened(false), CensusLine(true), Probe({}), Probe({})}, 3, EPROTO, 0},
        {"probe after a frame",
         {Opened(false), CensusLine(true), Probe(10), Frame(10, 1), Probe(20)},
         4,
         EPROTO,
         0},
        {"frame before census", {Opened(false), Frame(10, 1), End(0)}, 1, EPROTO, 0},
        {"packet in a census", {Opened(false), CensusLine(true), Offer(1), End(0)}, 2, EPROTO, 0},
        {"options in a census", {Opened(false), CensusLine(true), Options(), End(0)}, 2, EPROTO, 0},
    };
    for (const CensusCase& test : cases)
    {
        CProbeSession session{CensusLimits()};
        std::size_t taken = 0;
        for (const std::string& line : test.lines)
        {
            if (!session.Take(line))
                break;
            ++taken;
        }
        EXPECT_EQ(taken, test.taken) << test.name;
        CensusResult result;
        EXPECT_EQ(session.Finish(result), test.census) << test.name;
        EXPECT_EQ(result.vlans.size(), test.vlans) << test.name;
    }
}

TEST(ProbeSession, CensusFramesAreSortedByVlan)
{
    CProbeSession session{CensusLimits()};
    for (const std::string& line : {Opened(false), CensusLine(false), Probe({}), Probe(10),
                                    Frame(10, 2500), Frame(10, 2600), Frame({}, 2700), End(0, 5)})
        ASSERT_TRUE(session.Take(line)) << line;
    CensusResult result;
    ASSERT_EQ(session.Finish(result), 0);
    EXPECT_EQ(result.families, unsigned{kCensusDhcpv4});
    EXPECT_FALSE(result.carrier);
    ASSERT_EQ(result.vlans.size(), 2U);
    EXPECT_EQ(result.vlans[1].probe.vlan, 10);
    ASSERT_EQ(result.vlans[1].servers.size(), 1U);
    EXPECT_EQ(result.vlans[1].servers[0].offers, 2U);
    EXPECT_EQ(result.vlans[1].firstOffer, std::chrono::microseconds(2500));
    // Both probes share the xid here, so the untagged copy is the untagged probe's.
    EXPECT_EQ(result.vlans[0].servers.size(), 1U);
    EXPECT_EQ(result.dropped, 5U);
}

TEST(ProbeSession, CensusRelaysPastTheBoundAreRefused)
{
    CProbeSession session{CensusLimits()};
    for (const std::string& line : {Opened(false), CensusLine(true), Probe(10)})
        ASSERT_TRUE(session.Take(line));
    const std::string frame = Frame(10, 1);
    for (std::size_t n = 0; n < kMaxProbeFrames; ++n)
        ASSERT_TRUE(session.Take(frame)) << n;
    EXPECT_FALSE(session.Take(frame));
    CensusResult result;
    EXPECT_EQ(session.Finish(result), EPROTO);
}

struct ConversationCase
{
    const char* m_pszName;
    std::vector<std::string> m_lines;
    std::size_t m_nTaken; // lines taken before one is refused
    int m_nDiscovery;     // Finish(DiscoveryResult&)
    int m_nInform;        // Finish(Lease&)
    int inform6;          // Finish(Lease6&)
};

TEST(ProbeSession, OnlyAWholeConversationInOrderCounts)
{
    const ConversationCase cases[] = {
        {"discovery", {Opened(true), Offer(900), End(0)}, 3, 0, EPROTO, EPROTO},
        {"inform", {Opened(false), Options(), End(0)}, 3, EPROTO, 0, EPROTO},
        {"helper's failure", {End(EPERM)}, 1, EPERM, EPERM, EPERM},
        {"no end", {Opened(true), Offer(900)}, 2, EPROTO, EPROTO, EPROTO},
        {"nothing", {}, 0, EPROTO, EPROTO, EPROTO},
        {"packet before opened", {Offer(900), Opened(true), End(0)}, 0, EPROTO, EPROTO, EPROTO},
        {"opened twice", {Opened(true), Opened(true), End(0)}, 1, EPROTO, EPROTO, EPROTO},
        {"options in a discovery", {Opened(true), Options(), End(0)}, 1, EPROTO, EPROTO, EPROTO},
        {"packet in an inform", {Opened(false), Offer(1), End(0)}, 1, EPROTO, EPROTO, EPROTO},
        {"options twice", {Opened(false), Options(), Options(), End(0)}, 2, EPROTO, EPROTO, EPROTO},
        {"line after the end",
         {Opened(false), Options(), End(0), End(0)},
         3,
         EPROTO,
         EPROTO,
         EPROTO},
        {"malformed line",
         {Opened(true), "{\"event\":\"packet\"}", End(0)},
         1,
         EPROTO,
         EPROTO,
         EPROTO},
        {"inform6", {Opened(false), Options6(), End(0)}, 3, EPROTO, EPROTO, 0},
        {"inform6 that failed",
         {Opened(false), End(ETIMEDOUT)},
         2,
         ETIMEDOUT,
         ETIMEDOUT,
         ETIMEDOUT},
        {"options6 in a discovery", {Opened(true), Options6(), End(0)}, 1, EPROTO, EPROTO, EPROTO},
        {"options6 before opened", {Options6(), Opened(false), End(0)}, 0, EPROTO, EPROTO, EPROTO},
        {"options6 twice",
         {Opened(false), Options6(), Options6(), End(0)},
         2,
         EPROTO,
         EPROTO,
         EPROTO},
        {"options and options6",
         {Opened(false), Options(), Options6(), End(0)},
         2,
         EPROTO,
         EPROTO,
         EPROTO},
    };
    for (const ConversationCase& test : cases)
    {
        CProbeSession session;
        std::size_t nTaken = 0;
        for (const std::string& strLine : test.m_lines)
        {
            if (!session.Take(strLine))
                break;
            ++nTaken;
        }
        EXPECT_EQ(nTaken, test.m_nTaken) << test.m_pszName;
        DiscoveryResult result;
        EXPECT_EQ(session.Finish(result), test.m_nDiscovery) << test.m_pszName;
        Lease lease;
        EXPECT_EQ(session.Finish(lease), test.m_nInform) << test.m_pszName;
        Lease6 lease6;
        EXPECT_EQ(session.Finish(lease6), test.inform6) << test.m_pszName;
        EXPECT_EQ(lease6.options.size(), test.inform6 == 0 ? 1u : 0u) << test.m_pszName;
    }
}

TEST(ProbeSession, PacketsAreSortedAsTheDiscoveryWould)
{
    CProbeSession session;
    for (const std::string& strLine : {Opened(true), Offer(1500), Offer(2500), End(0, 7)})
        ASSERT_TRUE(session.Take(strLine));
    EXPECT_EQ(session.Status(), "CapEff:\t0000000000000000\n");
    DiscoveryResult result;
    ASSERT_EQ(session.Finish(result), 0);
    EXPECT_EQ(result.m_nTransactionId, kXid);
    EXPECT_EQ(result.m_ClientMac, kClientMac);
    ASSERT_EQ(result.m_servers.size(), 1u);
    EXPECT_EQ(result.m_servers[0].offers, 2u);
    EXPECT_EQ(result.m_firstOffer, std::chrono::microseconds(1500));
    // What the helper did not relay past its bounds counts as dropped.
    EXPECT_EQ(result.m_counts.dropped, 7u);
    EXPECT_EQ(result.m_counts.packets, 9u);
}

TEST(ProbeSession, RelaysPastTheBoundAreRefused)
{
    CProbeSession session;
    ASSERT_TRUE(session.Take(Opened(true)));
    const std::string strOffer = Offer(1);
    for (std::size_t n = 0; n < kMaxProbePackets; ++n)
        ASSERT_TRUE(session.Take(strOffer)) << n;
    EXPECT_FALSE(session.Take(strOffer));
    EXPECT_FALSE(session.Take(End(0)));
    DiscoveryResult result;
    EXPECT_EQ(session.Finish(result), EPROTO);
}

TEST(ProbeArguments, NameTheInterfaceWaitAndAddress)
{
    DiscoverySettings settings;
    settings.m_strInterface = "eth0";
    settings.m_wait = std::chrono::milliseconds(2500);
    EXPECT_EQ(DiscoverProbeArguments(settings),
              (std::vector<std::string>{"discover", "eth0", "2500"}));
    settings.m_ClientMac = kClientMac;
    EXPECT_EQ(DiscoverProbeArguments(settings),
              (std::vector<std::string>{"discover", "eth0", "2500", "02:00:00:66:00:02"}));
    EXPECT_EQ(InformProbeArguments("eth0"), (std::vector<std::string>{"inform", "eth0"}));
    EXPECT_EQ(Inform6ProbeArguments("eth0"), (std::vector<std::string>{"inform6", "eth0"}));
}

TEST(ProbeArguments, CensusNamesItsPlan)
{
    CensusSettings settings;
    settings.interfaceName = "trunk0";
    EXPECT_EQ(CensusProbeArguments(settings),
              (std::vector<std::string>{"census", "trunk0", "5000", "7", "-", "-", "0"}));
    settings.wait = std::chrono::milliseconds(800);
    settings.families = kCensusDhcpv6;
    settings.vlans = {30, 10, 11, 12};
    settings.clientMac = kClientMac;
    settings.promiscuous = true;
    EXPECT_EQ(CensusProbeArguments(settings),
              (std::vector<std::string>{"census", "trunk0", "800", "2", "10-12,30",
                                        "02:00:00:66:00:02", "1"}));
    settings.randomClientMac = true;
    EXPECT_EQ(CensusProbeArguments(settings)[5], "random");
}
} // namespace
