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

PacketVerdict TakeOne(CServerDiscovery& discovery, const Bytes& packet,
                      const HardwareAddress& from = kServerMac)
{
    return discovery.Take(packet.data(), packet.size(), from);
}

struct Case
{
    const char* pszName;
    Bytes m_Packet;
    PacketVerdict m_verdict;
};

Case Changed(const char* pszName, PacketVerdict verdict, void (*change)(Offer&))
{
    Offer offer;
    change(offer);
    return {pszName, Packet(offer), verdict};
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

TEST_P(OfferSorting, CountsEachPacketOnce)
{
    const Case& test = GetParam();
    CServerDiscovery discovery(kXid, kClient);
    EXPECT_EQ(TakeOne(discovery, test.m_Packet), test.m_verdict);
    const bool bOffer = test.m_verdict == PacketVerdict::Offer;
    EXPECT_EQ(discovery.Servers().size(), bOffer ? 1u : 0u);
    EXPECT_EQ(discovery.Counts().m_nIgnored, test.m_verdict == PacketVerdict::Ignored ? 1u : 0u);
    EXPECT_EQ(discovery.Counts().m_nMalformed, test.m_verdict == PacketVerdict::Malformed ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ServerDiscovery, OfferSorting,
    testing::Values(
        Changed("our offer", PacketVerdict::Offer, [](Offer&) {}),
        Changed("another transaction", PacketVerdict::Ignored, [](Offer& o) { o.m_nXid ^= 1; }),
        Changed("another client", PacketVerdict::Ignored,
                [](Offer& o) { o.m_ClientMac[5] = 0x03; }),
        Changed("a request, as our own DISCOVER seen again", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nOp = kBootRequest; }),
        Changed("a NAK", PacketVerdict::Ignored, [](Offer& o) { o.m_nType = kDhcpNak; }),
        Changed("an ACK", PacketVerdict::Ignored, [](Offer& o) { o.m_nType = kDhcpAck; }),
        Changed("from another port", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nSourcePort = 6767; }),
        Changed("to another port", PacketVerdict::Ignored,
                [](Offer& o) { o.m_nDestinationPort = 69; }),
        Changed("without server identifier", PacketVerdict::Malformed,
                [](Offer& o) { o.m_ServerId.clear(); }),
        Changed("with a short server identifier", PacketVerdict::Malformed,
                [](Offer& o) {
                    o.m_ServerId = {10, 77, 0};
                }),
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
    CServerDiscovery discovery(kXid, kClient);
    EXPECT_EQ(TakeOne(discovery, packet), PacketVerdict::Malformed);
    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kServerMac, true), PacketVerdict::Offer);
}

TEST(ServerDiscovery, MergesOneServersOffersByPath)
{
    CServerDiscovery discovery(kXid, kClient);
    Offer direct;
    Offer relayed;
    relayed.m_nFrom = kRelay;
    relayed.m_mapOptions[3] = {10, 77, 0, 254}; // a later copy does not replace the first
    TakeOne(discovery, Packet(direct));
    TakeOne(discovery, Packet(relayed), kRelayMac);
    TakeOne(discovery, Packet(direct));
    Offer other;
    other.m_ServerId = {10, 77, 0, 9};
    TakeOne(discovery, Packet(other));

    ASSERT_EQ(discovery.Servers().size(), 2u);
    const DiscoveredServer& first = discovery.Servers()[0];
    EXPECT_EQ(first.m_nServerId, kServer);
    EXPECT_EQ(first.m_nOffers, 3u);
    ASSERT_EQ(first.m_Paths.size(), 2u);
    EXPECT_EQ(first.m_Paths[0].m_nSourceAddress, kServer);
    EXPECT_EQ(first.m_Paths[0].m_SourceMac, kServerMac);
    EXPECT_EQ(first.m_Paths[1].m_nSourceAddress, kRelay);
    EXPECT_EQ(first.m_Paths[1].m_SourceMac, kRelayMac);
    EXPECT_EQ(first.m_nYourAddress, 0x0A4D0064u);
    EXPECT_EQ(first.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 1}));
    EXPECT_EQ(discovery.Servers()[1].m_nServerId, 0x0A4D0009u);
}

TEST(ServerDiscovery, AFloodOfServersStopsAtTheServerBound)
{
    DiscoveryLimits limits;
    limits.m_nMaxServers = 4;
    CServerDiscovery discovery(kXid, kClient, limits);
    for (std::uint8_t n = 0; n < 10; ++n)
    {
        Offer offer;
        offer.m_ServerId = {10, 77, 1, n};
        TakeOne(discovery, Packet(offer));
    }
    EXPECT_EQ(discovery.Servers().size(), 4u);
    EXPECT_EQ(discovery.Counts().m_nDropped, 6u);
    // A server already kept still merges.
    Offer again;
    again.m_ServerId = {10, 77, 1, 0};
    EXPECT_EQ(TakeOne(discovery, Packet(again)), PacketVerdict::Offer);
    EXPECT_EQ(discovery.Servers()[0].m_nOffers, 2u);
}

TEST(ServerDiscovery, OptionBytesStopAtTheirBound)
{
    Offer big;
    big.m_mapOptions = {{43, OptionBytes(250, 7)}};
    const std::size_t nOneServer = 250 + 1 + 4; // 43, the message type and 54
    DiscoveryLimits limits;
    limits.m_nMaxOptionBytes = 2 * nOneServer;
    CServerDiscovery discovery(kXid, kClient, limits);
    for (std::uint8_t n = 0; n < 3; ++n)
    {
        big.m_ServerId = {10, 77, 2, n};
        TakeOne(discovery, Packet(big));
    }
    EXPECT_EQ(discovery.Servers().size(), 2u);
    EXPECT_EQ(discovery.KeptOptionBytes(), 2 * nOneServer);
    EXPECT_EQ(discovery.Counts().m_nDropped, 1u);
}

TEST(ServerDiscovery, PathsStopAtTheirBound)
{
    DiscoveryLimits limits;
    limits.m_nMaxPathsPerServer = 2;
    CServerDiscovery discovery(kXid, kClient, limits);
    for (std::uint8_t n = 0; n < 5; ++n)
    {
        Offer relayed;
        relayed.m_nFrom = kRelay + n;
        TakeOne(discovery, Packet(relayed));
    }
    ASSERT_EQ(discovery.Servers().size(), 1u);
    EXPECT_EQ(discovery.Servers()[0].m_Paths.size(), 2u);
    EXPECT_EQ(discovery.Servers()[0].m_nOffers, 5u);
}

TEST(DiscoverRequest, AsksEveryServerForAnOfferWithoutALease)
{
    DiscoverRequest request;
    request.m_ClientMac = kClient;
    request.m_nTransactionId = kXid;
    request.m_RequestedOptions = {1, 3, 6};
    request.m_nMaxMessageSize = 1400;
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
