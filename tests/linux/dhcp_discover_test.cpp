// The discovery on a real packet socket, against the scripted server in a
// network namespace pair (root; skipped otherwise).
#include "linux/dhcp_discover.h"
#include "testing/fake_dhcp_server.h"
#include "testing/netns_pair.h"

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

std::size_t PacketsSeen(const CServerDiscovery& discovery)
{
    std::size_t nSeen = discovery.Counts().m_nIgnored + discovery.Counts().m_nMalformed +
                        discovery.Counts().m_nDropped;
    for (const DiscoveredServer& server : discovery.Servers())
        nSeen += server.m_nOffers;
    return nSeen;
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

class Discovery : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string strObstacle = NamespaceTestObstacle();
        if (!strObstacle.empty())
            GTEST_SKIP() << strObstacle;
        m_pPair = std::make_unique<CNetnsPair>();
        if (!m_pPair->Failure().empty())
            GTEST_SKIP() << m_pPair->Failure();
        m_settings.m_strInterface = CNetnsPair::kClientInterface;
        m_settings.m_wait = kPatient;
    }

    std::unique_ptr<CFakeDhcpServer> Serve(CFakeDhcpServer::Script script)
    {
        auto pServer =
            std::make_unique<CFakeDhcpServer>(m_pPair->ServerNamespace(), std::move(script));
        EXPECT_TRUE(pServer->Listening());
        return pServer;
    }

    // Waits until nPackets have come, or for the patient limit.
    int DiscoverInClient(std::size_t nPackets, DiscoveryResult& result)
    {
        const CNetnsScope scope(m_pPair->ClientNamespace());
        EXPECT_TRUE(scope.Entered());
        m_settings.m_fnDone = [nPackets](const CServerDiscovery& discovery)
        { return PacketsSeen(discovery) >= nPackets; };
        return DiscoverDhcpServers(m_settings, result);
    }

    std::unique_ptr<CNetnsPair> m_pPair;
    DiscoverySettings m_settings;
};

TEST_F(Discovery, CountsOnlyOffersToItsOwnRequest)
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

    DiscoveryResult result;
    ASSERT_EQ(DiscoverInClient(6, result), 0);
    ASSERT_EQ(result.m_servers.size(), 1u);
    const DiscoveredServer& server = result.m_servers[0];
    EXPECT_EQ(server.m_nServerId, CNetnsPair::kServerAddress);
    EXPECT_EQ(server.m_mapOptions.at(3), (OptionBytes{10, 77, 0, 1}));
    ASSERT_EQ(server.m_Paths.size(), 1u);
    EXPECT_EQ(server.m_Paths[0].m_nSourceAddress, CNetnsPair::kServerAddress);
    EXPECT_EQ(server.m_Paths[0].m_SourceMac, kServerMac);
    EXPECT_EQ(result.m_counts.m_nIgnored, 4u); // xid, chaddr, NAK, port
    EXPECT_EQ(result.m_counts.m_nMalformed, 1u);
    EXPECT_TRUE(result.m_firstOffer);
}

TEST_F(Discovery, SendsOneDiscoverFromNoAddressAndNoPort)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });

    DiscoveryResult result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.m_ClientMac, kClientMac);

    const std::vector<FakeRequest> requests = pServer->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].m_nSourceAddress, 0u);
    EXPECT_EQ(requests[0].m_nSourcePort, 68);
    const auto request = ParseBootpMessage(requests[0].m_Bytes.data(), requests[0].m_Bytes.size());
    ASSERT_TRUE(request);
    EXPECT_EQ(MessageType(*request), kDhcpDiscover);
    EXPECT_EQ(request->m_nTransactionId, result.m_nTransactionId);
    EXPECT_EQ(request->m_mapOptions.at(kOptionParameterList), DiscoveryRequestedOptions());
}

// A DHCP client holds port 68: the discovery neither needs it nor takes it.
TEST_F(Discovery, LeavesTheClientPortToItsOwner)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });
    const CNetnsScope scope(m_pPair->ClientNamespace());
    const CFileDescriptor holder = HoldClientPort();
    ASSERT_TRUE(holder.IsOpen());

    DiscoveryResult result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.m_servers.size(), 1u);
}

TEST_F(Discovery, AsksAsTheClientAddressGiven)
{
    const auto pServer =
        Serve([](const BootpMessage& request, int)
              { return std::vector<FakeAnswer>{Broadcast(FakeReply(request, kDhcpOffer, {}))}; });
    const HardwareAddress made = {0x06, 0x11, 0x22, 0x33, 0x44, 0x55};
    m_settings.m_ClientMac = made;

    DiscoveryResult result;
    ASSERT_EQ(DiscoverInClient(1, result), 0);
    EXPECT_EQ(result.m_ClientMac, made);
    ASSERT_EQ(result.m_servers.size(), 1u);
    const auto request = ParseBootpMessage(pServer->Requests().at(0).m_Bytes.data(),
                                           pServer->Requests().at(0).m_Bytes.size());
    ASSERT_TRUE(request);
    EXPECT_TRUE(std::equal(made.begin(), made.end(), request->m_ClientHardware.begin()));
}

// A thousand offers from forged server ids in one wait: the servers kept stop
// at the bound, the rest are counted.
TEST_F(Discovery, AFloodStaysWithinTheBound)
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

    DiscoveryResult result;
    ASSERT_EQ(DiscoverInClient(kFlood, result), 0);
    EXPECT_EQ(result.m_servers.size(), DiscoveryLimits().m_nMaxServers);
    EXPECT_EQ(result.m_counts.m_nDropped, kFlood - DiscoveryLimits().m_nMaxServers);
}

TEST_F(Discovery, TellsOfAnInterfaceThatIsNotThere)
{
    m_settings.m_strInterface = "vyb-none";
    DiscoveryResult result;
    EXPECT_EQ(DiscoverInClient(1, result), ENODEV);
}
} // namespace
