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

std::string Opened()
{
    ProbeMessage message;
    message.m_event = ProbeEvent::Opened;
    message.m_strStatus = "CapEff:\t0000000000000000\n";
    return Line(message);
}

// What the helper's DHCPv4-only discovery relayed: no event of today's helper.
const std::string kPacketLine =
    R"({"event":"packet","data":"45","source":"02:00:00:66:00:01","pending":false,"us":1})";

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

// A server's offer to Probe()'s DHCPDISCOVER as a census frame on a VLAN.
std::string Frame(std::optional<std::uint16_t> vlan, std::uint64_t microseconds)
{
    DiscoverRequest request;
    request.clientMac = kClientMac;
    request.transactionId = kXid;
    const std::vector<std::uint8_t> discover = BuildDiscoverRequest(request);
    const std::optional<BootpMessage> parsed = ParseBootpMessage(discover.data(), discover.size());
    ProbeMessage message;
    message.m_event = ProbeEvent::Frame;
    message.vlan = vlan;
    message.etherType = 0x0800;
    message.m_Packet = BuildUdpPacket(UdpEndpoints{0x0A4D0001, 0xFFFFFFFF, 67, 68},
                                      FakeReply(*parsed, kDhcpOffer, {}));
    message.m_SourceMac = kServerMac;
    message.m_nMicroseconds = microseconds;
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
        {"census", {Opened(), CensusLine(true), Probe(10), Frame(10, 1), End(0)}, 5, 0, 1},
        {"no frames", {Opened(), CensusLine(true), Probe({}), Probe(10), End(0)}, 5, 0, 2},
        {"no plan", {Opened(), CensusLine(true), End(0)}, 3, 0, 0},
        {"failed", {Opened(), End(ENODEV)}, 2, ENODEV, 0},
        {"not a census", {Opened(), End(0)}, 2, EPROTO, 0},
        {"census before opened", {CensusLine(true), Opened(), End(0)}, 0, EPROTO, 0},
        {"census twice", {Opened(), CensusLine(true), CensusLine(true)}, 2, EPROTO, 0},
        {"probe before census", {Opened(), Probe(10), End(0)}, 1, EPROTO, 0},
        {"a VLAN twice", {Opened(), CensusLine(true), Probe(10), Probe(10)}, 3, EPROTO, 0},
        {"untagged twice", {Opened(), CensusLine(true), Probe({}), Probe({})}, 3, EPROTO, 0},
        {"probe after a frame",
         {Opened(), CensusLine(true), Probe(10), Frame(10, 1), Probe(20)},
         4,
         EPROTO,
         0},
        {"frame before census", {Opened(), Frame(10, 1), End(0)}, 1, EPROTO, 0},
        {"packet in a census", {Opened(), CensusLine(true), kPacketLine, End(0)}, 2, EPROTO, 0},
        {"options in a census", {Opened(), CensusLine(true), Options(), End(0)}, 2, EPROTO, 0},
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
    for (const std::string& line : {Opened(), CensusLine(false), Probe({}), Probe(10),
                                    Frame(10, 2500), Frame(10, 2600), Frame({}, 2700), End(0, 5)})
        ASSERT_TRUE(session.Take(line)) << line;
    EXPECT_EQ(session.Status(), "CapEff:\t0000000000000000\n");
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
    for (const std::string& line : {Opened(), CensusLine(true), Probe(10)})
        ASSERT_TRUE(session.Take(line));
    const std::string frame = Frame(10, 1);
    for (std::size_t n = 0; n < kMaxProbeFrames; ++n)
        ASSERT_TRUE(session.Take(frame)) << n;
    EXPECT_FALSE(session.Take(frame));
    EXPECT_FALSE(session.Take(End(0)));
    CensusResult result;
    EXPECT_EQ(session.Finish(result), EPROTO);
}

struct ConversationCase
{
    const char* name;
    std::vector<std::string> lines;
    std::size_t taken; // lines taken before one is refused
    int inform;        // Finish(Lease&)
    int inform6;       // Finish(Lease6&)
};

TEST(ProbeSession, OnlyAWholeConversationInOrderCounts)
{
    const ConversationCase cases[] = {
        {"inform", {Opened(), Options(), End(0)}, 3, 0, EPROTO},
        {"helper's failure", {End(EPERM)}, 1, EPERM, EPERM},
        {"no end", {Opened(), Options()}, 2, EPROTO, EPROTO},
        {"nothing", {}, 0, EPROTO, EPROTO},
        {"options before opened", {Options(), Opened(), End(0)}, 0, EPROTO, EPROTO},
        {"opened twice", {Opened(), Opened(), End(0)}, 1, EPROTO, EPROTO},
        {"frame in an inform", {Opened(), Frame(10, 1), End(0)}, 1, EPROTO, EPROTO},
        {"packet in an inform", {Opened(), kPacketLine, End(0)}, 1, EPROTO, EPROTO},
        {"options twice", {Opened(), Options(), Options(), End(0)}, 2, EPROTO, EPROTO},
        {"line after the end", {Opened(), Options(), End(0), End(0)}, 3, EPROTO, EPROTO},
        {"malformed line", {Opened(), "{\"event\":\"options\"}", End(0)}, 1, EPROTO, EPROTO},
        {"inform6", {Opened(), Options6(), End(0)}, 3, EPROTO, 0},
        {"inform6 that failed", {Opened(), End(ETIMEDOUT)}, 2, ETIMEDOUT, ETIMEDOUT},
        {"options6 before opened", {Options6(), Opened(), End(0)}, 0, EPROTO, EPROTO},
        {"options6 twice", {Opened(), Options6(), Options6(), End(0)}, 2, EPROTO, EPROTO},
        {"options and options6", {Opened(), Options(), Options6(), End(0)}, 2, EPROTO, EPROTO},
    };
    for (const ConversationCase& test : cases)
    {
        CProbeSession session;
        std::size_t taken = 0;
        for (const std::string& line : test.lines)
        {
            if (!session.Take(line))
                break;
            ++taken;
        }
        EXPECT_EQ(taken, test.taken) << test.name;
        Lease lease;
        EXPECT_EQ(session.Finish(lease), test.inform) << test.name;
        Lease6 lease6;
        EXPECT_EQ(session.Finish(lease6), test.inform6) << test.name;
        EXPECT_EQ(lease6.options.size(), test.inform6 == 0 ? 1u : 0u) << test.name;
    }
}

TEST(ProbeArguments, NameTheInterface)
{
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
