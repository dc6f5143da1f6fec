#include "core/wire/census.h"

#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/udp_datagram.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kClient = {0x02, 0x00, 0x00, 0x55, 0x00, 0x02};
constexpr std::uint16_t kIpv4 = 0x0800;
constexpr std::uint16_t kIpv6 = 0x86DD;
constexpr Ipv6Address kServer6 = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x47};
constexpr Ipv6Address kClient6 = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2a};
// The plan: the untagged link, VLAN 10 and VLAN 20, one client address.
constexpr std::array<std::optional<std::uint16_t>, 3> kVlans = {std::nullopt, 10, 20};

std::uint32_t Xid(std::size_t probe)
{
    return 0x5EED0000 + static_cast<std::uint32_t>(probe);
}

CensusPlan Plan(unsigned families = kCensusAll)
{
    CensusPlan plan;
    plan.families = families;
    for (std::size_t probe = 0; probe < kVlans.size(); ++probe)
    {
        VlanProbe vlan;
        vlan.vlan = kVlans[probe];
        vlan.clientMac = kClient;
        vlan.transactionId = Xid(probe);
        vlan.transactionId6 = Xid(probe) & 0xFFFFFF;
        vlan.clientDuid = MakeDuidLl(kClient);
        plan.probes.push_back(vlan);
    }
    return plan;
}

// An offer from server 10.0.0.<server> to the probe's xid.
Bytes Offer(std::size_t probe, std::uint8_t server)
{
    BootpMessage message;
    message.m_nOp = kBootReply;
    message.m_nHardwareType = 1;
    message.m_nHardwareLength = 6;
    message.m_nTransactionId = Xid(probe);
    std::copy(kClient.begin(), kClient.end(), message.m_ClientHardware.begin());
    message.m_mapOptions = {{kOptionMessageType, {kDhcpOffer}},
                            {kOptionServerId, {10, 0, 0, server}}};
    return BuildUdpPacket(UdpEndpoints{0x0A000000U | server, 0xFFFFFFFF, 67, 68},
                          SerializeBootpMessage(message));
}

// An Advertise from one DHCPv6 server to the probe's Solicit.
Bytes Advertise(std::size_t probe)
{
    Dhcpv6Message message;
    message.type = kDhcpv6Advertise;
    message.transactionId = Xid(probe) & 0xFFFFFF;
    message.options = {{1, MakeDuidLl(kClient)}, {2, {0, 3, 0, 1, 0x52, 0x54, 0, 0, 0, 0x47}}};
    return BuildUdp6Packet({kServer6, kClient6, 547, 546}, WriteDhcpv6Message(message));
}

// A router's advertisement: hop limit 64, lifetime 1800 s, no options.
Bytes RouterAdvertisement()
{
    return BuildIcmpv6Packet(kServer6, kClient6,
                             {134, 0, 0, 0, 64, 0, 0x07, 0x08, 0, 0, 0, 0, 0, 0, 0, 0});
}

// An ICMPv6 error (type 1, code 4: port unreachable) quoting our Solicit.
Bytes Icmpv6Error()
{
    Bytes message = {1, 4, 0, 0, 0, 0, 0, 0};
    const Bytes solicit = BuildSolicitPacket(SolicitRequest{1, MakeDuidLl(kClient), 1}, kClient6);
    message.insert(message.end(), solicit.begin(), solicit.end());
    return BuildIcmpv6Packet(kServer6, kClient6, message);
}

// Port unreachable (RFC 792) about our DHCPDISCOVER: its IP header and more.
Bytes IcmpError()
{
    DiscoverRequest request;
    request.clientMac = kClient;
    const Bytes discover = BuildDiscoverPacket(request);
    const Bytes header = {0x45, 0, 0,  0, 0, 0, 0, 0, 64, 1, 0, 0, 10, 0,
                          0,    1, 10, 0, 0, 2, 3, 3, 0,  0, 0, 0, 0,  0};
    Bytes packet(discover.begin(), discover.begin() + 28);
    packet.insert(packet.begin(), header.begin(), header.end());
    return packet;
}

struct Sent
{
    std::optional<std::uint16_t> vlan;
    std::uint16_t etherType;
    Bytes packet;
};

// Per VLAN: frames, ICMP errors, answers meant for it seen elsewhere, and
// the DHCPv4 servers, DHCPv6 servers and routers it found.
using Seen = std::array<std::size_t, 6>;

struct DispatchCase
{
    const char* name;
    std::vector<Sent> frames;
    std::array<Seen, 3> vlans;
    std::size_t unplanned;
    unsigned families = kCensusAll;
};

TEST(Census, SortsEachFrameByItsVlanAndCountsAnswersMeantForAnother)
{
    const DispatchCase cases[] = {
        {"its own VLAN", {{10, kIpv4, Offer(1, 1)}}, {{{}, {1, 0, 0, 1, 0, 0}, {}}}, 0},
        {"untagged", {{std::nullopt, kIpv4, Offer(0, 1)}}, {{{1, 0, 0, 1, 0, 0}, {}, {}}}, 0},
        {"VLAN 10's offer on VLAN 20",
         {{20, kIpv4, Offer(1, 1)}},
         {{{}, {0, 0, 1, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}},
         0},
        {"VLAN 10's offer untagged",
         {{std::nullopt, kIpv4, Offer(1, 1)}},
         {{{1, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0}, {}}},
         0},
        {"untagged offer on a VLAN not asked",
         {{30, kIpv4, Offer(0, 1)}},
         {{{0, 0, 1, 0, 0, 0}, {}, {}}},
         1},
        {"past the largest VLAN id",
         {{4095, kIpv4, Offer(0, 1)}},
         {{{0, 0, 1, 0, 0, 0}, {}, {}}},
         1},
        {"an ICMP error about a probe",
         {{20, kIpv4, IcmpError()}},
         {{{}, {}, {1, 1, 0, 0, 0, 0}}},
         0},
        {"not IP", {{10, 0x0806, Offer(1, 1)}}, {{{}, {1, 0, 0, 0, 0, 0}, {}}}, 0},
        {"IPv4 bytes said to be IPv6",
         {{10, kIpv6, Offer(1, 1)}},
         {{{}, {1, 0, 0, 0, 0, 0}, {}}},
         0},
        {"truncated", {{10, kIpv4, Bytes(30, 0x45)}}, {{{}, {1, 0, 0, 0, 0, 0}, {}}}, 0},
        {"two servers, two VLANs",
         {{10, kIpv4, Offer(1, 1)}, {20, kIpv4, Offer(2, 2)}, {10, kIpv4, Offer(1, 1)}},
         {{{}, {2, 0, 0, 1, 0, 0}, {1, 0, 0, 1, 0, 0}}},
         0},
        {"an Advertise", {{10, kIpv6, Advertise(1)}}, {{{}, {1, 0, 0, 0, 1, 0}, {}}}, 0},
        {"VLAN 10's Advertise on VLAN 20",
         {{20, kIpv6, Advertise(1)}},
         {{{}, {0, 0, 1, 0, 0, 0}, {1, 0, 0, 0, 0, 0}}},
         0},
        {"a router",
         {{std::nullopt, kIpv6, RouterAdvertisement()}},
         {{{1, 0, 0, 0, 0, 1}, {}, {}}},
         0},
        {"an ICMPv6 error about a Solicit",
         {{20, kIpv6, Icmpv6Error()}},
         {{{}, {}, {1, 1, 0, 0, 0, 0}}},
         0},
        {"families not asked are only seen",
         {{10, kIpv6, Advertise(1)}, {10, kIpv6, RouterAdvertisement()}},
         {{{}, {2, 0, 0, 0, 0, 0}, {}}},
         0,
         kCensusDhcpv4},
        {"IPv4 not asked",
         {{10, kIpv4, Offer(1, 1)}},
         {{{}, {1, 0, 0, 0, 0, 0}, {}}},
         0,
         kCensusDhcpv6 | kCensusRouters},
    };
    for (const DispatchCase& test : cases)
    {
        Census census(Plan(test.families));
        for (const Sent& sent : test.frames)
        {
            CensusFrame frame;
            frame.vlan = sent.vlan;
            frame.etherType = sent.etherType;
            census.Take(frame, sent.packet.data(), sent.packet.size());
        }
        const CensusResult result = census.TakeResult();
        ASSERT_EQ(result.vlans.size(), kVlans.size()) << test.name;
        for (std::size_t probe = 0; probe < kVlans.size(); ++probe)
        {
            const VlanCensus& vlan = result.vlans[probe];
            EXPECT_EQ(vlan.probe.vlan, kVlans[probe]) << test.name;
            const Seen seen = {vlan.seen.frames,           vlan.seen.icmpErrors,
                               vlan.seen.otherVlanAnswers, vlan.servers.size(),
                               vlan.servers6.size(),       vlan.routers.size()};
            EXPECT_EQ(seen, test.vlans[probe]) << test.name << " " << probe;
        }
        EXPECT_EQ(result.unplannedFrames, test.unplanned) << test.name;
    }
}

TEST(Census, RecordsTheFirstAnswerTimePerVlan)
{
    Census census(Plan());
    for (const auto& [vlan, at] : {std::pair<std::uint16_t, int>{20, 4000}, {10, 3100}, {10, 3200}})
    {
        CensusFrame frame;
        frame.vlan = vlan;
        frame.etherType = kIpv4;
        frame.at = std::chrono::microseconds(at);
        const Bytes offer = Offer(vlan / 10, static_cast<std::uint8_t>(vlan));
        census.Take(frame, offer.data(), offer.size());
    }
    const CensusResult result = census.TakeResult();
    EXPECT_FALSE(result.vlans[0].firstOffer);
    EXPECT_EQ(result.vlans[1].firstOffer, std::chrono::microseconds(3100));
    EXPECT_EQ(result.vlans[2].firstOffer, std::chrono::microseconds(4000));
}

TEST(Census, FindsEachPlannedVlanAndNoOther)
{
    CensusPlan plan = Plan();
    plan.probes.push_back(plan.probes[1]); // VLAN 10 again: the first stays
    const Census census(plan);
    const std::pair<std::optional<std::uint16_t>, std::optional<std::size_t>> cases[] = {
        {std::nullopt, 0},      {10, 1}, {20, 2}, {30, std::nullopt}, {0, 0}, {4095, std::nullopt},
        {0xFFFF, std::nullopt},
    };
    for (const auto& [vlan, slot] : cases)
        EXPECT_EQ(census.Find(vlan), slot) << vlan.value_or(0);
}

TEST(Census, RecordsTheFirstAdvertiseAndRouterPerVlan)
{
    Census census(Plan());
    const std::tuple<std::uint16_t, Bytes, int> frames[] = {
        {10, RouterAdvertisement(), 900}, {10, Advertise(1), 1200}, {10, Advertise(1), 1300}};
    for (const auto& [vlan, packet, at] : frames)
    {
        CensusFrame frame;
        frame.vlan = vlan;
        frame.etherType = kIpv6;
        frame.at = std::chrono::microseconds(at);
        census.Take(frame, packet.data(), packet.size());
    }
    const CensusResult result = census.TakeResult();
    EXPECT_EQ(result.vlans[1].firstRouter, std::chrono::microseconds(900));
    EXPECT_EQ(result.vlans[1].firstAdvertise, std::chrono::microseconds(1200));
    EXPECT_EQ(result.vlans[1].counts6.advertises, 2U);
    EXPECT_FALSE(result.vlans[2].firstAdvertise);
}

struct LimitCase
{
    const char* name;
    CensusLimits limits;
    std::array<std::size_t, 3> servers;
    std::size_t dropped; // by the census's own bounds
};

// Three servers on each VLAN, each sending its offer twice.
TEST(Census, KeepsTheWholeCensusWithinItsLimits)
{
    const LimitCase cases[] = {
        {"unbounded", CensusLimits(), {3, 3, 3}, 0},
        {"two per VLAN and family", CensusLimits{2, 8192, 1 << 20}, {2, 2, 2}, 0},
        // Copies of a server kept are counted as dropped once the census is full.
        {"four in all", CensusLimits{64, 4, 1 << 20}, {3, 1, 0}, 11},
        {"the bytes of one", CensusLimits{64, 8192, 1}, {1, 0, 0}, 17},
    };
    for (const LimitCase& test : cases)
    {
        Census census(Plan(), test.limits);
        for (std::size_t probe = 0; probe < kVlans.size(); ++probe)
        {
            for (const int server : {1, 2, 3, 1, 2, 3})
            {
                CensusFrame frame;
                frame.vlan = kVlans[probe];
                frame.etherType = kIpv4;
                const Bytes offer = Offer(probe, static_cast<std::uint8_t>(server));
                census.Take(frame, offer.data(), offer.size());
            }
        }
        EXPECT_LE(census.Responders(), test.limits.maxResponders) << test.name;
        const CensusResult result = census.TakeResult();
        std::size_t dropped = 0;
        for (std::size_t probe = 0; probe < kVlans.size(); ++probe)
        {
            EXPECT_EQ(result.vlans[probe].servers.size(), test.servers[probe])
                << test.name << " " << probe;
            EXPECT_EQ(result.vlans[probe].counts.packets, 6U) << test.name << " " << probe;
            dropped += result.vlans[probe].counts.dropped;
        }
        EXPECT_EQ(result.dropped, test.dropped) << test.name;
        EXPECT_GE(dropped, test.dropped) << test.name;
    }
}
} // namespace
