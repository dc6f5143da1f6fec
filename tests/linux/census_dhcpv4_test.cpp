// The census's DHCPv4 side on a real packet socket, untagged, against the
// scripted server in a network namespace pair (root; skipped otherwise).
#include "linux/dhcp_census.h"
#include "testing/fake_dhcp_server.h"
#include "tests/linux/netns_pair_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sys/resource.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// Longer than any test takes: each test ends on the event it waits for.
constexpr milliseconds kPatient(20000);
constexpr HardwareAddress kClientMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x02};
constexpr HardwareAddress kServerMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};

FakeAnswer Broadcast(Bytes bytes, bool bFromOtherPort = false)
{
    FakeAnswer answer;
    answer.m_Bytes = std::move(bytes);
    answer.m_bFromOtherPort = bFromOtherPort;
    answer.m_bBroadcast = true;
    return answer;
}

TEST(DiscoverRequest, AsksForTheNetworkNotForItsOwnMessage)
{
    const std::vector<std::uint8_t> codes = DiscoveryRequestedOptions();
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    for (const int nCode : {1, 3, 6, 15, 51, 54, 58, 59, 121})
        EXPECT_NE(std::find(codes.begin(), codes.end(), nCode), codes.end()) << nCode;
    for (const int nCode : {0, 50, 52, 53, 55, 57, 61, 255})
        EXPECT_EQ(std::find(codes.begin(), codes.end(), nCode), codes.end()) << nCode;
}

class CensusDhcpv4 : public NetnsPairTest
{
protected:
    void SetUp() override
    {
        NetnsPairTest::SetUp();
        m_settings.interfaceName = CNetnsPair::kClientInterface;
        m_settings.wait = kPatient;
        m_settings.families = kCensusDhcpv4;
    }

    std::unique_ptr<CFakeDhcpServer> Serve(CFakeDhcpServer::Script script)
    {
        auto pServer =
            std::make_unique<CFakeDhcpServer>(m_pair->ServerNamespace(), std::move(script));
        EXPECT_TRUE(pServer->Listening());
        return pServer;
    }

    // Waits until nPackets of DHCPv4 have come, or for the patient limit;
    // vlan is the untagged link's census.
    int DiscoverInClient(std::size_t nPackets, VlanCensus& vlan)
    {
        const CNetnsScope scope(m_pair->ClientNamespace());
        EXPECT_TRUE(scope.Entered());
        m_settings.done = [nPackets](const Census& census)
        { return census.Result().vlans[0].counts.packets >= nPackets; };
        CensusResult result;
        const int error = RunCensus(m_settings, result);
        EXPECT_TRUE(result.carrier);
        if (error == 0 && result.vlans.size() == 1)
            vlan = std::move(result.vlans[0]);
        return error;
    }

    CensusSettings m_settings;
};

TEST_F(CensusDhcpv4, CountsOnlyOffersToItsOwnRequest)
{
    const auto pServer = Serve(
        [](const BootpMessage& request, int)
        {
            BootpMessage otherXid = request;
            ++otherXid.m_nTransactionId;
            BootpMessage otherClient = request;
            otherClient.m_ClientHardware[5] ^= 0xFF;
            const OptionMap rogue = {{kOptionServerId, {10, 77, 0, 66}}, {3, {10, 77, 0, 66}}};
            return std::vector<FakeAnswer>{
                Broadcast(FakeReply(otherXid, kDhcpOffer, {})),
                Broadcast(FakeReply(otherClient, kDhcpOffer, {})),
                Broadcast(FakeReply(request, kDhcpNak, {})),
                Broadcast(Bytes(40, 0x35)),
                Broadcast(FakeReply(request, kDhcpOffer, rogue), true),
                Broadcast(FakeReply(request, kDhcpOffer, {{3, {10, 77, 0, 1}}})),
            };
        });

    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(6, result), 0);
    ASSERT_EQ(result.servers.size(), 1u);
    const DiscoveredServer& server = result.servers[0];
    EXPECT_EQ(server.serverId, CNetnsPair::kServerAddress);
    EXPECT_EQ(server.offer.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 1}));
    EXPECT_EQ(server.path.address, CNetnsPair::kServerAddress);
    EXPECT_EQ(server.path.mac, kServerMac);
    EXPECT_EQ(server.flags, 0u);
    EXPECT_EQ(result.counts.otherXid, 1u);
    EXPECT_EQ(result.counts.otherClient, 1u);
    EXPECT_EQ(result.counts.naks, 1u);
    EXPECT_EQ(result.counts.ignored, 1u); // from port 6767
    EXPECT_EQ(result.counts.malformed, 1u);
    EXPECT_TRUE(result.firstOffer);
}

constexpr HardwareAddress kRogueMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x66};
constexpr std::uint32_t kRogueAddress = 0x0A4D0042; // 10.77.0.66

// The offer as a rogue host beside the server sends it.
FakeAnswer FromRogue(Bytes bytes)
{
    FakeAnswer answer;
    answer.m_Bytes = std::move(bytes);
    answer.m_forgedSource = OfferPath{kRogueAddress, kRogueMac};
    return answer;
}

Bytes OfferWithoutId(const BootpMessage& request)
{
    const Bytes bytes = FakeReply(request, kDhcpOffer, {{3, {10, 77, 0, 66}}});
    std::optional<BootpMessage> offer = ParseBootpMessage(bytes.data(), bytes.size());
    offer->m_mapOptions.erase(kOptionServerId);
    return SerializeBootpMessage(*offer);
}

const OptionMap kRealSettings = {{1, {255, 255, 255, 0}}, {3, {10, 77, 0, 1}}};
const OptionMap kRogueSettings = {{1, {255, 255, 255, 0}}, {3, {10, 77, 0, 66}}};

const struct
{
    const char* pszName;
    std::vector<FakeAnswer> (*m_answer)(const BootpMessage&);
    std::size_t m_nPackets;
    std::vector<unsigned> m_flags; // per server, in the order offered
    std::size_t m_nNoServerId;
} kRogueCases[] = {
    {"a rogue host with the real server id and its own router",
     [](const BootpMessage& request)
     {
         return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, kRealSettings)),
                                        FromRogue(FakeReply(request, kDhcpOffer, kRogueSettings))};
     },
     2,
     {kServerConflict, kServerConflict},
     0},
    {"the real server id and MAC with other routers",
     [](const BootpMessage& request)
     {
         return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, kRealSettings)),
                                        Broadcast(FakeReply(request, kDhcpOffer, kRogueSettings))};
     },
     2,
     {kServerConflict, kServerConflict},
     0},
    {"one offer twice from the same source",
     [](const BootpMessage& request)
     {
         const Bytes offer = FakeReply(request, kDhcpOffer, kRealSettings);
         return std::vector<FakeAnswer>{Broadcast(offer), Broadcast(offer)};
     },
     2,
     {0},
     0},
    {"an offer without server id",
     [](const BootpMessage& request)
     { return std::vector<FakeAnswer>{FromRogue(OfferWithoutId(request))}; },
     1,
     {kServerNoId},
     1},
};

TEST_F(CensusDhcpv4, TellsARogueFromTheServerWhoseIdItCopies)
{
    for (const auto& test : kRogueCases)
    {
        const auto pServer =
            Serve([&test](const BootpMessage& request, int) { return test.m_answer(request); });
        VlanCensus result;
        ASSERT_EQ(DiscoverInClient(test.m_nPackets, result), 0) << test.pszName;
        std::vector<unsigned> flags;
        for (const DiscoveredServer& server : result.servers)
            flags.push_back(server.flags);
        EXPECT_EQ(flags, test.m_flags) << test.pszName;
        EXPECT_EQ(result.counts.noServerId, test.m_nNoServerId) << test.pszName;
        EXPECT_EQ(result.counts.offers, test.m_nPackets) << test.pszName;
    }
}

TEST_F(CensusDhcpv4, TheRogueIsListedWithItsOwnSourceAndRouter)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int) { return kRogueCases[0].m_answer(request); });
    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(2, result), 0);
    ASSERT_EQ(result.servers.size(), 2u);
    const DiscoveredServer& rogue = result.servers[1];
    EXPECT_EQ(rogue.serverId, CNetnsPair::kServerAddress);
    EXPECT_EQ(rogue.path.address, kRogueAddress);
    EXPECT_EQ(rogue.path.mac, kRogueMac);
    EXPECT_EQ(rogue.offer.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 66}));
}

// A reply larger than the link's MTU reaches us as IP fragments, which the
// packet filter passes so that each is counted.
TEST_F(CensusDhcpv4, CountsTheFragmentsOfAReplyTooLargeForTheLink)
{
    const auto pServer = Serve(
        [](const BootpMessage& request, int)
        {
            return std::vector<FakeAnswer>{Broadcast(Bytes(3000, 0)),
                                           Broadcast(FakeReply(request, kDhcpOffer, {}))};
        });
    VlanCensus result;
    // 3008 bytes of UDP in an MTU of 1500: 1480, 1480 and 48.
    ASSERT_EQ(DiscoverInClient(4, result), 0);
    EXPECT_EQ(result.counts.fragments, 3u);
    EXPECT_EQ(result.servers.size(), 1u);
    EXPECT_EQ(result.counts.malformed, 0u);
}

TEST_F(CensusDhcpv4, SendsOneDiscoverFromNoAddressAndNoPort)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });

    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.probe.clientMac, kClientMac);

    const std::vector<FakeRequest> requests = pServer->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].m_nSourceAddress, 0u);
    EXPECT_EQ(requests[0].m_nSourcePort, 68);
    const auto request = ParseBootpMessage(requests[0].m_Bytes.data(), requests[0].m_Bytes.size());
    ASSERT_TRUE(request);
    EXPECT_EQ(MessageType(*request), kDhcpDiscover);
    EXPECT_EQ(request->m_nTransactionId, result.probe.transactionId);
    EXPECT_EQ(request->m_mapOptions.at(kOptionParameterList), DiscoveryRequestedOptions());
}

// A DHCP client holds port 68: the discovery neither needs it nor takes it.
TEST_F(CensusDhcpv4, LeavesTheClientPortToItsOwner)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });
    const CNetnsScope scope(m_pair->ClientNamespace());
    const CFileDescriptor holder = HoldClientPort();
    ASSERT_TRUE(holder.IsOpen());

    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.servers.size(), 1u);
}

TEST_F(CensusDhcpv4, AsksAsTheClientAddressGiven)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });
    const HardwareAddress made = {0x06, 0x11, 0x22, 0x33, 0x44, 0x55};
    m_settings.clientMac = made;

    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.probe.clientMac, made);
    ASSERT_EQ(result.servers.size(), 1u);
    const auto request = ParseBootpMessage(pServer->Requests().at(0).m_Bytes.data(),
                                           pServer->Requests().at(0).m_Bytes.size());
    ASSERT_TRUE(request);
    EXPECT_TRUE(std::equal(made.begin(), made.end(), request->m_ClientHardware.begin()));
}

// A thousand offers from forged server ids in one wait: the servers kept stop
// at the bound, the rest are counted.
TEST_F(CensusDhcpv4, AFloodStaysWithinTheBound)
{
    constexpr int kFlood = 1000;
    const auto pServer = Serve(
        [](const BootpMessage& request, int)
        {
            std::vector<FakeAnswer> answers;
            for (int n = 0; n < kFlood; ++n)
            {
                const OptionMap forged = {
                    {kOptionServerId,
                     {10, 200, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)}},
                    {43, OptionBytes(200, 0xAB)}};
                answers.push_back(Broadcast(FakeReply(request, kDhcpOffer, forged)));
            }
            return answers;
        });

    VlanCensus result;
    ASSERT_EQ(DiscoverInClient(kFlood, result), 0);
    EXPECT_EQ(result.servers.size(), CensusLimits().maxRespondersPerFamily);
    EXPECT_EQ(result.counts.dropped, kFlood - CensusLimits().maxRespondersPerFamily);
}

TEST_F(CensusDhcpv4, TellsOfAnInterfaceThatIsNotThere)
{
    m_settings.interfaceName = "vyb-none";
    VlanCensus result;
    EXPECT_EQ(DiscoverInClient(1, result), ENODEV);
}
} // namespace
