#include "core/wire/dhcp_discovery.h"

#include "core/wire/udp_datagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kXid = 0x5EED1234;
constexpr HardwareAddress kClient = {0x02, 0x00, 0x00, 0x77, 0x00, 0x02};
constexpr HardwareAddress kServerMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};
constexpr HardwareAddress kRelayMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0xFE};
constexpr std::uint32_t kServer = 0x0A4D0001; // 10.77.0.1
constexpr std::uint32_t kRelay = 0x0A4D00FE;  // 10.77.0.254

// What a test changes in an otherwise good offer to our request.
struct Offer
{
    std::uint8_t m_nOp = kBootReply;
    std::uint32_t m_nXid = kXid;
    HardwareAddress m_ClientMac = kClient;
    std::uint8_t m_nType = kDhcpOffer;
    OptionBytes m_ServerId = {10, 77, 0, 1};
    std::uint32_t m_nFrom = kServer;
    std::uint16_t m_nSourcePort = 67;
    std::uint16_t m_nDestinationPort = 68;
    OptionMap m_mapOptions = {{1, {255, 255, 255, 0}}, {3, {10, 77, 0, 1}}};
};

Bytes Packet(const Offer& offer)
{
    BootpMessage message;
    message.m_nOp = offer.m_nOp;
    message.m_nHardwareType = 1;
    message.m_nHardwareLength = 6;
    message.m_nTransactionId = offer.m_nXid;
    message.m_nYourAddress = 0x0A4D0064;
    std::copy(offer.m_ClientMac.begin(), offer.m_ClientMac.end(), message.m_ClientHardware.begin());
    message.m_mapOptions = offer.m_mapOptions;
    message.m_mapOptions[kOptionMessageType] = {offer.m_nType};
    if (!offer.m_ServerId.empty())
        message.m_mapOptions[kOptionServerId] = offer.m_ServerId;
    UdpEndpoints endpoints;
    endpoints.m_nSourceAddress = offer.m_nFrom;
    endpoints.m_nDestinationAddress = 0xFFFFFFFF;
    endpoints.m_nSourcePort = offer.m_nSourcePort;
    endpoints.m_nDestinationPort = offer.m_nDestinationPort;
    return BuildUdpPacket(endpoints, SerializeBootpMessage(message));
}

PacketVerdict TakeOne(ServerDiscovery& discovery, const Bytes& packet,
                      const HardwareAddress& from = kServerMac)
{
    return discovery.Take(packet.data(), packet.size(), from);
}

// The packet as IP would fragment it: flags and fragment offset rewritten,
// the header checksum left as it was (a fragment is known before it is read).
Bytes Fragment(std::uint16_t nFlagsAndOffset, std::size_t nKeep = 0)
{
    Bytes packet = Packet(Offer());
    packet[6] = static_cast<std::uint8_t>(nFlagsAndOffset >> 8);
    packet[7] = static_cast<std::uint8_t>(nFlagsAndOffset);
    if (nKeep != 0)
        packet.resize(nKeep);
    return packet;
}

std::size_t CountOf(const DiscoveryCounts& counts, PacketVerdict verdict)
{
    switch (verdict)
    {
    case PacketVerdict::Offer:
        return 0;
    case PacketVerdict::Fragment:
        return counts.fragments;
    case PacketVerdict::OtherXid:
        return counts.otherXid;
    case PacketVerdict::OtherClient:
        return counts.otherClient;
    case PacketVerdict::Nak:
        return counts.naks;
    case PacketVerdict::Ignored:
        return counts.ignored;
    case PacketVerdict::Malformed:
        return counts.malformed;
    case PacketVerdict::Dropped:
        return counts.dropped;
    }
    return 0;
}

std::size_t AllCounted(const DiscoveryCounts& counts)
{
    return counts.fragments + counts.otherXid + counts.otherClient + counts.naks + counts.ignored +
           counts.malformed + counts.dropped;
}

struct Case
{
    const char* pszName;
    Bytes m_Packet;
    PacketVerdict m_verdict;
    unsigned m_nFlags = 0; // of the server an offer makes
};

Case Changed(const char* pszName, PacketVerdict verdict, void (*change)(Offer&),
             unsigned nFlags = 0)
{
    Offer offer;
    change(offer);
    return {pszName, Packet(offer), verdict, nFlags};
}

std::string CaseName(const testing::TestParamInfo<Case>& param)
{
    std::string strName = param.param.pszName;
    std::replace_if(
        strName.begin(), strName.end(), [](char c) { return !std::isalnum(c); }, '_');
    return strName;
}

class OfferSorting : public testing::TestWithParam<Case>
{
};

TEST_P(OfferSorting, CountsEachPacketOnceInItsOwnCount)
{
    const Case& test = GetParam();
    ServerDiscovery discovery(kXid, kClient);
    EXPECT_EQ(TakeOne(discovery, test.m_Packet), test.m_verdict);
    const bool bOffer = test.m_verdict == PacketVerdict::Offer;
    ASSERT_EQ(discovery.Servers().size(), bOffer ? 1u : 0u);
    EXPECT_EQ(AllCounted(discovery.Counts()), bOffer ? 0u : 1u);
    if (!bOffer)
        EXPECT_EQ(CountOf(discovery.Counts(), test.m_verdict), 1u);
    else
        EXPECT_EQ(discovery.Servers()[0].flags, test.m_nFlags);
    EXPECT_EQ(discovery.Counts().noServerId, (test.m_nFlags & kServerNoId) != 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ServerDiscovery, OfferSorting,
    testing::Values(
        Changed("our offer", PacketVerdict::Offer, [](Offer&) {}),
        Changed("another transaction", PacketVerdict::OtherXid, [](Offer& o) { o.m_nXid ^= 1; }),
        Changed("another transaction and client", PacketVerdict::OtherXid,
                [](Offer& o)
                {
                    o.m_nXid ^= 1;
                    o.m_ClientMac[5] = 0x03;
                }),
        Changed("our transaction to another client", PacketVerdict::OtherClient,
                [](Offer& o) { o.m_ClientMac[5] = 0x03; }),
        Changed("a request, as our own DISCOVER seen again", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nOp = kBootRequest; }),
        Changed("a NAK", PacketVerdict::Nak, [](Offer& o) { o.m_nType = kDhcpNak; }),
        Changed("a NAK to another transaction", PacketVerdict::OtherXid,
                [](Offer& o)
                {
                    o.m_nType = kDhcpNak;
                    o.m_nXid ^= 1;
                }),
        Changed("an ACK", PacketVerdict::Ignored, [](Offer& o) { o.m_nType = kDhcpAck; }),
        Changed("from another port", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nSourcePort = 6767; }),
        Changed("to another port", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nDestinationPort = 69; }),
        Changed(
            "without server identifier", PacketVerdict::Offer,
            [](Offer& o) { o.m_ServerId.clear(); }, kServerNoId),
        Changed(
            "with a short server identifier", PacketVerdict::Offer,
            [](Offer& o) {
                o.m_ServerId = {10, 77, 0};
            },
            kServerNoId),
        Case{"first fragment", Fragment(0x2000, 1300), PacketVerdict::Fragment},
        Case{"middle fragment without UDP header", Fragment(0x20B9, 60), PacketVerdict::Fragment},
        Case{"last fragment", Fragment(0x00B9), PacketVerdict::Fragment},
        Case{"only don't fragment set", Fragment(0x4000), PacketVerdict::Malformed},
        Case{"garbage in UDP",
             BuildUdpPacket(UdpEndpoints{kServer, 0xFFFFFFFF, 67, 68}, Bytes(300, 0xA5)),
             PacketVerdict::Malformed},
        Case{"not IPv4", Bytes(300, 0x60), PacketVerdict::Malformed},
        Case{"empty", Bytes(), PacketVerdict::Malformed}),
    CaseName);

TEST(ServerDiscovery, ChecksTheUdpChecksumUnlessItIsPending)
{
    Bytes packet = Packet(Offer());
    packet[26] ^= 0xFF;
    ServerDiscovery discovery(kXid, kClient);
    EXPECT_EQ(TakeOne(discovery, packet), PacketVerdict::Malformed);
    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kServerMac, true), PacketVerdict::Offer);
}

// One offer as a server sends it: what is changed in the good one, and the
// Ethernet address it comes from.
struct Sent
{
    void (*m_change)(Offer&);
    HardwareAddress m_from = kServerMac;
};

void Same(Offer&) {}
void RogueRouter(Offer& o)
{
    o.m_mapOptions[3] = {10, 77, 0, 66};
}

const struct
{
    const char* pszName;
    std::vector<Sent> m_sent;
    std::vector<unsigned> m_flags; // one per server expected
    std::size_t m_nFirstOffers;
} kServerCases[] = {
    {"one server's offer twice by the same way", {{Same}, {Same}}, {0}, 2},
    {"two server ids",
     {{Same}, {[](Offer& o) {
          o.m_ServerId = {10, 77, 0, 9};
      }}},
     {0, 0},
     1},
    {"a rogue with the real id and its own router from another MAC",
     {{Same}, {RogueRouter, kRelayMac}},
     {kServerConflict, kServerConflict},
     1},
    {"the real id and the same settings from another MAC",
     {{Same}, {Same, kRelayMac}},
     {kServerConflict, kServerConflict},
     1},
    {"the real id from another source address",
     {{Same}, {[](Offer& o) { o.m_nFrom = kRelay; }}},
     {kServerConflict, kServerConflict},
     1},
    {"same id and MAC, other routers",
     {{Same}, {RogueRouter}},
     {kServerConflict, kServerConflict},
     1},
    {"same id and MAC, other DNS servers",
     {{Same}, {[](Offer& o) {
          o.m_mapOptions[6] = {10, 77, 0, 66};
      }}},
     {kServerConflict, kServerConflict},
     1},
    {"same id and MAC, other subnet mask",
     {{Same}, {[](Offer& o) { o.m_mapOptions.erase(1); }}},
     {kServerConflict, kServerConflict},
     1},
    {"same id and MAC, another lease time only",
     {{Same}, {[](Offer& o) {
          o.m_mapOptions[51] = {0, 0, 1, 0};
      }}},
     {0},
     2},
    {"an offer without server id beside the real one",
     {{Same}, {[](Offer& o) { o.m_ServerId.clear(); }, kRelayMac}},
     {0, kServerNoId},
     1},
};

TEST(ServerDiscovery, TellsServersApartBySourceAndSettings)
{
    for (const auto& test : kServerCases)
    {
        ServerDiscovery discovery(kXid, kClient);
        for (const Sent& sent : test.m_sent)
        {
            Offer offer;
            sent.m_change(offer);
            EXPECT_EQ(TakeOne(discovery, Packet(offer), sent.m_from), PacketVerdict::Offer)
                << test.pszName;
        }
        std::vector<unsigned> flags;
        for (const DiscoveredServer& server : discovery.Servers())
            flags.push_back(server.flags);
        EXPECT_EQ(flags, test.m_flags) << test.pszName;
        ASSERT_FALSE(discovery.Servers().empty());
        const DiscoveredServer& first = discovery.Servers()[0];
        EXPECT_EQ(first.offers, test.m_nFirstOffers) << test.pszName;
        EXPECT_EQ(first.serverId, kServer) << test.pszName;
        EXPECT_EQ(first.path.address, kServer) << test.pszName;
        EXPECT_EQ(first.path.mac, kServerMac) << test.pszName;
        EXPECT_EQ(first.offer.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 1})) << test.pszName;
    }
}

TEST(ServerDiscovery, ARogueKeepsItsOwnOffer)
{
    ServerDiscovery discovery(kXid, kClient);
    Offer real;
    Offer rogue;
    RogueRouter(rogue);
    rogue.m_nFrom = kRelay;
    TakeOne(discovery, Packet(real));
    TakeOne(discovery, Packet(rogue), kRelayMac);
    ASSERT_EQ(discovery.Servers().size(), 2u);
    const DiscoveredServer& kept = discovery.Servers()[1];
    EXPECT_EQ(kept.serverId, kServer);
    EXPECT_EQ(kept.path.address, kRelay);
    EXPECT_EQ(kept.path.mac, kRelayMac);
    EXPECT_EQ(kept.offer.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 66}));
}

TEST(ServerDiscovery, KeepsTheOfferAsTheLeaseItProposes)
{
    ServerDiscovery discovery(kXid, kClient);
    TakeOne(discovery, Packet(Offer()));
    const std::vector<DiscoveredServer> servers = discovery.TakeServers();
    ASSERT_EQ(servers.size(), 1u);
    const Lease& offer = servers[0].offer;
    EXPECT_EQ(offer.m_nYourAddress, 0x0A4D0064u);
    const std::map<std::uint8_t, std::string> sources = {
        {1, kOfferSource}, {3, kOfferSource}, {53, kOfferSource}, {54, kOfferSource}};
    EXPECT_EQ(offer.m_mapSources, sources);
    EXPECT_TRUE(discovery.Servers().empty());
}

TEST(ServerDiscovery, AFloodOfServersStopsAtTheServerBound)
{
    DiscoveryLimits limits;
    limits.maxServers = 4;
    ServerDiscovery discovery(kXid, kClient, limits);
    for (std::uint8_t n = 0; n < 10; ++n)
    {
        Offer offer;
        offer.m_ServerId = {10, 77, 1, n};
        TakeOne(discovery, Packet(offer));
    }
    EXPECT_EQ(discovery.Servers().size(), 4u);
    EXPECT_EQ(discovery.Counts().dropped, 6u);
    // A server already kept still merges.
    Offer again;
    again.m_ServerId = {10, 77, 1, 0};
    EXPECT_EQ(TakeOne(discovery, Packet(again)), PacketVerdict::Offer);
    EXPECT_EQ(discovery.Servers()[0].offers, 2u);
}

TEST(ServerDiscovery, OptionBytesStopAtTheirBound)
{
    Offer big;
    big.m_mapOptions = {{43, OptionBytes(250, 7)}};
    const std::size_t nOneServer = 250 + 1 + 4; // 43, the message type and 54
    DiscoveryLimits limits;
    limits.maxOptionBytes = 2 * nOneServer;
    ServerDiscovery discovery(kXid, kClient, limits);
    for (std::uint8_t n = 0; n < 3; ++n)
    {
        big.m_ServerId = {10, 77, 2, n};
        TakeOne(discovery, Packet(big));
    }
    EXPECT_EQ(discovery.Servers().size(), 2u);
    EXPECT_EQ(discovery.KeptOptionBytes(), 2 * nOneServer);
    EXPECT_EQ(discovery.Counts().dropped, 1u);
}

TEST(DiscoverRequest, AsksEveryServerForAnOfferWithoutALease)
{
    DiscoverRequest request;
    request.clientMac = kClient;
    request.transactionId = kXid;
    request.requestedOptions = {1, 3, 6};
    request.maxMessageSize = 1400;
    const Bytes packet = BuildDiscoverPacket(request);

    const std::optional<UdpPacketView> udp = ParseUdpPacket(packet.data(), packet.size());
    ASSERT_TRUE(udp);
    EXPECT_EQ(udp->m_endpoints.m_nSourceAddress, 0u);
    EXPECT_EQ(udp->m_endpoints.m_nDestinationAddress, 0xFFFFFFFFu);
    EXPECT_EQ(udp->m_endpoints.m_nSourcePort, 68);
    EXPECT_EQ(udp->m_endpoints.m_nDestinationPort, 67);
    EXPECT_EQ(udp->m_pPayload[10], 0x80) << "broadcast flag";
    EXPECT_EQ(udp->m_pPayload[11], 0x00);

    const std::optional<BootpMessage> message =
        ParseBootpMessage(udp->m_pPayload, udp->m_nPayloadSize);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_nOp, kBootRequest);
    EXPECT_EQ(message->m_nHardwareType, 1);
    EXPECT_EQ(message->m_nHardwareLength, 6);
    EXPECT_EQ(message->m_nTransactionId, kXid);
    EXPECT_EQ(message->m_nClientAddress, 0u);
    EXPECT_TRUE(std::equal(kClient.begin(), kClient.end(), message->m_ClientHardware.begin()));
    const OptionMap expected = {
        {kOptionMessageType, {kDhcpDiscover}},
        {kOptionParameterList, {1, 3, 6}},
        {kOptionMaxMessageSize, {0x05, 0x78}},
        {kOptionClientId, {1, 0x02, 0x00, 0x00, 0x77, 0x00, 0x02}},
    };
    EXPECT_EQ(message->m_mapOptions, expected);
}

TEST(DiscoverRequest, IsTheSameMessageByteForByte)
{
    DiscoverRequest request;
    request.clientMac = kClient;
    request.transactionId = kXid;
    request.requestedOptions = {1, 3, 6};
    request.maxMessageSize = 1400;
    Bytes expected = {
        1,    1,    6,    0,          // BOOTREQUEST, Ethernet, 6-byte chaddr, no hops
        0x5E, 0xED, 0x12, 0x34,       // xid
        0,    0,    0x80, 0,          // secs, flags: broadcast
        0,    0,    0,    0,          // ciaddr
        0,    0,    0,    0,          // yiaddr
        0,    0,    0,    0,          // siaddr
        0,    0,    0,    0,          // giaddr
        2,    0,    0,    0x77, 0, 2, // chaddr, then 10 bytes of padding
    };
    expected.resize(236, 0); // the rest of chaddr, sname and file
    const Bytes options = {
        99,  130, 83, 99,                     // magic cookie
        53,  1,   1,                          // DHCPDISCOVER
        55,  3,   1,  3,    6,                // parameter request list
        57,  2,   5,  0x78,                   // maximum message size 1400
        61,  7,   1,  2,    0, 0, 0x77, 0, 2, // client id: Ethernet, chaddr
        255,                                  // end
    };
    expected.insert(expected.end(), options.begin(), options.end());
    expected.resize(300, 0); // RFC 951's shortest message
    EXPECT_EQ(BuildDiscoverRequest(request), expected);
}

TEST(DiscoverRequest, KnowsLocallyAdministeredUnicastAddresses)
{
    const struct
    {
        HardwareAddress m_address;
        bool m_bLocalUnicast;
    } cases[] = {
        {{0x02, 0, 0, 0, 0, 1}, true},
        {{0xFE, 1, 2, 3, 4, 5}, true},
        {{0x00, 0x1B, 0x21, 1, 2, 3}, false}, // vendor-assigned
        {{0x03, 0, 0, 0, 0, 1}, false},       // multicast
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false},
    };
    for (const auto& test : cases)
        EXPECT_EQ(IsLocallyAdministeredUnicast(test.m_address), test.m_bLocalUnicast)
            << int{test.m_address[0]};
}
} // namespace
