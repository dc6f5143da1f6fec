#include "core/wire/dhcpv6_discovery.h"

#include "core/options/dhcpv6_options.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/router_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kClientMac = {0x02, 0, 0x5e, 0x10, 0, 0x2a};

// The codes the Information-request has always left out of its Option
// Request: moving them into the table's marks must not change it.
TEST(SolicitRequestedOptions, LeaveOutWhatRfc8415ForbidsInAnOptionRequest)
{
    const std::uint16_t forbidden[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13,
                                       14, 15, 16, 18, 19, 20, 25, 26, 37, 38, 43, 44,
                                       45, 46, 47, 48, 53, 61, 62, 66, 68, 79, 80};
    std::vector<std::uint16_t> expected;
    for (const Dhcpv6Row& row : kDhcpv6Options)
    {
        if (std::find(std::begin(forbidden), std::end(forbidden), row.nCode) == std::end(forbidden))
            expected.push_back(row.nCode);
    }
    EXPECT_EQ(SolicitRequestedOptions(), expected);
    EXPECT_EQ(expected.size(), kDhcpv6Options.size() - std::size(forbidden));
}

TEST(Solicit, AsksWithDuidIdentityAssociationsAndOptionRequest)
{
    SolicitRequest request;
    request.transactionId = 0x12abcdef; // only 24 bits are sent
    request.clientDuid = MakeDuidLl(kClientMac);
    request.iaid = 7;
    const Bytes bytes = BuildSolicit(request);
    const std::optional<Dhcpv6Message> message = ParseDhcpv6Message(bytes.data(), bytes.size());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type, kDhcpv6Solicit);
    EXPECT_EQ(message->transactionId, 0xabcdefu);
    const Bytes association = {0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0}; // IAID, T1, T2
    std::vector<std::uint16_t> codes;
    for (const Dhcpv6Option& option : message->options)
        codes.push_back(option.code);
    EXPECT_EQ(codes, (std::vector<std::uint16_t>{1, 8, 3, 25, 6})); // no Rapid Commit
    EXPECT_EQ(message->options[0].data, (Bytes{0, 3, 0, 1, 0x02, 0, 0x5e, 0x10, 0, 0x2a}));
    EXPECT_EQ(message->options[1].data, (Bytes{0, 0}));
    EXPECT_EQ(message->options[2].data, association);
    EXPECT_EQ(message->options[3].data, association);
    EXPECT_EQ(message->options[4].data.size(), 2 * SolicitRequestedOptions().size());
}

constexpr std::uint32_t kXid = 0x00abcdef;
constexpr HardwareAddress kServerMac = {0x52, 0x54, 0, 0x11, 0x22, 0x33};
constexpr HardwareAddress kRogueMac = {0x52, 0x54, 0, 0x11, 0x22, 0x34};
constexpr Ipv6Address kServer = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x47};
constexpr Ipv6Address kClient = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2a};
const Bytes kServerDuid = {0, 3, 0, 1, 0x52, 0x54, 0, 0x11, 0x22, 0x33};

struct AdvertiseParts
{
    std::uint8_t type = kDhcpv6Advertise;
    std::uint32_t transactionId = kXid;
    std::optional<Bytes> clientDuid = MakeDuidLl(kClientMac);
    std::optional<Bytes> serverDuid = kServerDuid;
    std::uint16_t sourcePort = 547;
    std::uint8_t preference = 0;
};

Bytes AdvertisePacket(const AdvertiseParts& parts)
{
    Dhcpv6Message message;
    message.type = parts.type;
    message.transactionId = parts.transactionId;
    if (parts.clientDuid)
        message.options.push_back({1, *parts.clientDuid});
    if (parts.serverDuid)
        message.options.push_back({2, *parts.serverDuid});
    if (parts.preference != 0)
        message.options.push_back({7, {parts.preference}});
    message.options.push_back({23, Bytes(16, 0x53)}); // a DNS server
    return BuildUdp6Packet({kServer, kClient, parts.sourcePort, 546}, WriteDhcpv6Message(message));
}

struct VerdictCase
{
    const char* name;
    Bytes packet;
    PacketVerdict verdict;
    std::size_t Dhcpv6DiscoveryCounts::*count;
};

TEST(Dhcpv6ServerDiscovery, SortsEachPacketIntoOneVerdictAndCount)
{
    using C = Dhcpv6DiscoveryCounts;
    AdvertiseParts reply, otherXid, otherClient, noClient, noServer, fromPort;
    reply.type = kDhcpv6Reply;
    otherXid.transactionId = kXid + 1;
    otherClient.clientDuid = kServerDuid;
    noClient.clientDuid.reset();
    noServer.serverDuid.reset();
    fromPort.sourcePort = 546;
    Bytes badChecksum = AdvertisePacket({});
    badChecksum.back() ^= 1;
    const VerdictCase cases[] = {
        {"advertise", AdvertisePacket({}), PacketVerdict::Offer, &C::advertises},
        {"reply", AdvertisePacket(reply), PacketVerdict::Ignored, &C::ignored},
        {"other transaction", AdvertisePacket(otherXid), PacketVerdict::OtherXid,
         &C::otherTransaction},
        {"other client", AdvertisePacket(otherClient), PacketVerdict::OtherClient, &C::otherClient},
        {"no client id", AdvertisePacket(noClient), PacketVerdict::OtherClient, &C::otherClient},
        {"no server id", AdvertisePacket(noServer), PacketVerdict::Malformed, &C::noServerId},
        {"not from port 547", AdvertisePacket(fromPort), PacketVerdict::Ignored, &C::ignored},
        {"checksum", badChecksum, PacketVerdict::Malformed, &C::malformed},
        {"a router solicitation", BuildRouterSolicitation(kServer, kServerMac),
         PacketVerdict::Ignored, &C::ignored},
    };
    for (const VerdictCase& c : cases)
    {
        Dhcpv6ServerDiscovery discovery(kXid, MakeDuidLl(kClientMac));
        EXPECT_EQ(discovery.Take(c.packet.data(), c.packet.size(), kServerMac), c.verdict)
            << c.name;
        EXPECT_EQ(discovery.Counts().packets, 1u) << c.name;
        EXPECT_EQ(discovery.Counts().*c.count, 1u) << c.name;
        EXPECT_EQ(discovery.Servers().size(), c.verdict == PacketVerdict::Offer ? 1u : 0u)
            << c.name;
    }
}

TEST(Dhcpv6ServerDiscovery, KeepsTheFirstAdvertisePerDuidAndPathAndFlagsAnotherPath)
{
    AdvertiseParts preferred;
    preferred.preference = 255;
    const Bytes first = AdvertisePacket(preferred);
    const Bytes copy = AdvertisePacket({});
    Dhcpv6ServerDiscovery discovery(kXid, MakeDuidLl(kClientMac));
    EXPECT_EQ(discovery.Take(first.data(), first.size(), kServerMac), PacketVerdict::Offer);
    EXPECT_EQ(discovery.Take(copy.data(), copy.size(), kServerMac), PacketVerdict::Offer);
    ASSERT_EQ(discovery.Servers().size(), 1u);
    const DiscoveredServer6& server = discovery.Servers()[0];
    EXPECT_EQ(server.duid, kServerDuid);
    EXPECT_EQ(server.path.address, kServer);
    EXPECT_EQ(server.path.mac, kServerMac);
    EXPECT_EQ(server.advertises, 2u);
    EXPECT_EQ(server.preference, 255);
    EXPECT_EQ(server.options.size(), 4u);
    EXPECT_EQ(server.flags, 0u);
    EXPECT_EQ(discovery.KeptBytes(), 10u + 10u + 1u + 16u);

    EXPECT_EQ(discovery.Take(copy.data(), copy.size(), kRogueMac), PacketVerdict::Offer);
    const std::vector<DiscoveredServer6> servers = discovery.TakeServers();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(servers[0].flags, unsigned{kServer6Conflict});
    EXPECT_EQ(servers[1].flags, unsigned{kServer6Conflict});
    EXPECT_EQ(servers[1].preference, 0);
}

TEST(Dhcpv6ServerDiscovery, DropsPastItsLimits)
{
    const Bytes packet = AdvertisePacket({});
    Dhcpv6ServerDiscovery byCount(kXid, MakeDuidLl(kClientMac), DiscoveryLimits{1, 1024});
    EXPECT_EQ(byCount.Take(packet.data(), packet.size(), kServerMac), PacketVerdict::Offer);
    EXPECT_EQ(byCount.Take(packet.data(), packet.size(), kRogueMac), PacketVerdict::Dropped);
    Dhcpv6ServerDiscovery byBytes(kXid, MakeDuidLl(kClientMac), DiscoveryLimits{64, 35});
    EXPECT_EQ(byBytes.Take(packet.data(), packet.size(), kServerMac), PacketVerdict::Dropped);
    EXPECT_EQ(byBytes.Counts().dropped, 1u);
    EXPECT_EQ(byBytes.KeptBytes(), 0u);
}
} // namespace
