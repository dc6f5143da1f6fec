#include "linux/dhcp_inform.h"
#include "testing/fake_dhcp_server.h"
#include "tests/core/wire/lease_test_helpers.h"
#include "tests/linux/netns_pair_test.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// Longer than any test takes: where the server answers, no retry comes of a
// slow machine, so each read sends exactly once.
constexpr milliseconds kPatient(20000);

// Options a careless server adds to an inform's answer, and one that tells
// which answer was taken.
OptionMap AnswerOptions(const std::string& strLabel)
{
    return {
        {3, {10, 77, 0, 1}},
        {6, {10, 77, 0, 1, 10, 77, 0, 2}},
        {15, TextBytes(strLabel)},
        {kOptionRequestedAddress, {10, 77, 0, 2}},
        {kOptionLeaseTime, {0, 0, 0x0E, 0x10}},
        {kOptionRenewalTime, {0, 0, 0x07, 0x08}},
        {kOptionRebindingTime, {0, 0, 0x0C, 0x4E}},
    };
}

std::vector<FakeAnswer> Silence(const BootpMessage&, int)
{
    return {};
}

class InformExchange : public NetnsPairTest
{
protected:
    void SetUp() override
    {
        NetnsPairTest::SetUp();
        m_iface.m_strName = CNetnsPair::kClientInterface;
        m_iface.m_IpAddresses = {CNetnsPair::kClientAddress};
        m_settings.m_Waits = {kPatient, kPatient};
    }

    std::unique_ptr<CFakeDhcpServer> Serve(CFakeDhcpServer::Script script)
    {
        auto pServer =
            std::make_unique<CFakeDhcpServer>(m_pair->ServerNamespace(), std::move(script));
        EXPECT_TRUE(pServer->Listening());
        return pServer;
    }

    int ReadInClient(Lease& lease)
    {
        const CNetnsScope scope(m_pair->ClientNamespace());
        EXPECT_TRUE(scope.Entered());
        return MakeInformLeaseSource(m_settings)->Read(m_iface, lease);
    }

    LeaseInterface m_iface;
    InformSettings m_settings;
};

TEST_F(InformExchange, TakesOnlyItsOwnAckAndDropsLeaseTimes)
{
    const auto pServer = Serve(
        [](const BootpMessage& request, int)
        {
            BootpMessage otherXid = request;
            ++otherXid.m_nTransactionId;
            BootpMessage otherClient = request;
            otherClient.m_ClientHardware[5] ^= 0xFF;
            return std::vector<FakeAnswer>{
                {FakeReply(otherXid, kDhcpAck, AnswerOptions("other xid"))},
                {FakeReply(otherClient, kDhcpAck, AnswerOptions("other chaddr"))},
                {FakeReply(request, kDhcpNak, AnswerOptions("nak"))},
                {Bytes(40, 0x35)},
                {FakeReply(request, kDhcpAck, AnswerOptions("other port")), true},
                {FakeReply(request, kDhcpAck, AnswerOptions("right"))},
            };
        });

    Lease lease;
    ASSERT_EQ(ReadInClient(lease), 0);
    const OptionMap& options = lease.m_mapOptions;
    EXPECT_EQ(options.at(15), TextBytes("right"));
    EXPECT_EQ(options.at(kOptionServerId), (OptionBytes{10, 77, 0, 1}));
    EXPECT_EQ(options.at(6), (OptionBytes{10, 77, 0, 1, 10, 77, 0, 2}));
    for (const std::uint8_t nCode :
         {kOptionRequestedAddress, kOptionLeaseTime, kOptionRenewalTime, kOptionRebindingTime})
        EXPECT_EQ(options.count(nCode), 0u) << int{nCode};
    EXPECT_FALSE(lease.m_nYourAddress);
    EXPECT_FALSE(lease.m_tExpires);

    // One request, from the interface's address and the client port.
    const std::vector<FakeRequest> requests = pServer->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].m_nSourceAddress, CNetnsPair::kClientAddress);
    EXPECT_EQ(requests[0].m_nSourcePort, 68);
    const auto request = ParseBootpMessage(requests[0].m_Bytes.data(), requests[0].m_Bytes.size());
    ASSERT_TRUE(request);
    EXPECT_EQ(request->m_nOp, kBootRequest);
    EXPECT_EQ(MessageType(*request), kDhcpInform);
    EXPECT_EQ(request->m_nClientAddress, CNetnsPair::kClientAddress);
    EXPECT_TRUE(std::equal(std::begin(CNetnsPair::kClientMac), std::end(CNetnsPair::kClientMac),
                           request->m_ClientHardware.begin()));
    EXPECT_EQ(request->m_mapOptions.at(kOptionClientId),
              (OptionBytes{1, 0x02, 0x00, 0x00, 0x77, 0x00, 0x02}));
    EXPECT_EQ(request->m_mapOptions.at(kOptionMaxMessageSize), (OptionBytes{0x05, 0xDC}));
    const OptionBytes& asked = request->m_mapOptions.at(kOptionParameterList);
    const auto Asks = [&asked](int nCode)
    { return std::find(asked.begin(), asked.end(), nCode) != asked.end(); };
    for (const int nCode : {1, 3, 6, 15, 44, 54, 66, 67})
        EXPECT_TRUE(Asks(nCode)) << nCode;
    for (const int nCode : {50, 51, 52, 55, 58, 59, 61})
        EXPECT_FALSE(Asks(nCode)) << nCode;
}

TEST_F(InformExchange, RetriesKeepTheTransactionAndEachReadHasItsOwn)
{
    // The server withholds its answer until it has seen the resend, which
    // comes after a short first wait.
    m_settings.m_Waits = {milliseconds(50), kPatient};
    const auto pServer = Serve(
        [](const BootpMessage& request, int nRequest)
        {
            if (nRequest == 1)
                return std::vector<FakeAnswer>{};
            return std::vector<FakeAnswer>{{FakeReply(request, kDhcpAck, AnswerOptions("late"))}};
        });
    Lease first;
    ASSERT_EQ(ReadInClient(first), 0);
    EXPECT_EQ(first.m_mapOptions.at(15), TextBytes("late"));
    m_settings.m_Waits = {kPatient, kPatient}; // answered at once: one send
    Lease second;
    ASSERT_EQ(ReadInClient(second), 0);

    const std::vector<FakeRequest> requests = pServer->Requests();
    ASSERT_EQ(requests.size(), 3u);
    std::uint32_t nXids[3] = {};
    for (std::size_t i = 0; i < 3; ++i)
        nXids[i] = ParseBootpMessage(requests[i].m_Bytes.data(), requests[i].m_Bytes.size())
                       ->m_nTransactionId;
    EXPECT_EQ(nXids[0], nXids[1]);
    EXPECT_NE(nXids[1], nXids[2]);
}

TEST_F(InformExchange, SilenceEndsAfterTheLastAttempt)
{
    const auto pServer = Serve(Silence);
    m_settings.m_Waits = {milliseconds(10), milliseconds(20), milliseconds(40)};
    Lease lease;
    EXPECT_EQ(ReadInClient(lease), ETIMEDOUT);
    EXPECT_TRUE(lease.m_mapOptions.empty());
    // The last send may still be on its way to the server.
    EXPECT_EQ(pServer->WaitForRequests(3, kPatient).size(), 3u);
}

// A DHCP client holding port 68 keeps it: the request still goes from 68,
// and the answer reaches both the client's socket and the inform.
TEST_F(InformExchange, TakenClientPortStaysWithItsClient)
{
    const auto pServer = Serve(
        [](const BootpMessage& request, int) {
            return std::vector<FakeAnswer>{{FakeReply(request, kDhcpAck, AnswerOptions("shared"))}};
        });
    // Another DHCP client's socket on the port, without SO_REUSEADDR.
    const CNetnsScope scope(m_pair->ClientNamespace());
    const CFileDescriptor holder = HoldClientPort();
    ASSERT_TRUE(holder.IsOpen());

    Lease lease;
    EXPECT_EQ(ReadInClient(lease), 0);
    EXPECT_EQ(lease.m_mapOptions.at(15), TextBytes("shared"));
    const std::vector<FakeRequest> requests = pServer->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].m_nSourcePort, 68);
    pollfd ready{holder.Get(), POLLIN, 0};
    EXPECT_EQ(poll(&ready, 1, static_cast<int>(kPatient.count())), 1);
}

// A child that gives up root may not open the packet socket.
TEST_F(InformExchange, WithoutPrivilegesTheErrorSaysSo)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        const uid_t nobody = 65534;
        const CNetnsScope scope(m_pair->ClientNamespace());
        if (!scope.Entered() || setresgid(nobody, nobody, nobody) != 0 ||
            setresuid(nobody, nobody, nobody) != 0)
            _exit(255);
        Lease lease;
        _exit(MakeInformLeaseSource(m_settings)->Read(m_iface, lease));
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(child, &nStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(nStatus));
    const int nResult = WEXITSTATUS(nStatus);
    EXPECT_TRUE(nResult == EACCES || nResult == EPERM) << nResult;
}

TEST(InformInterface, OnlyAnAddressedEthernetInterfaceIsAsked)
{
    const auto source = MakeInformLeaseSource(InformSettings());
    EXPECT_STREQ(source->Name(), "inform");
    Lease lease;
    LeaseInterface iface;
    iface.m_strName = "lo";
    EXPECT_EQ(source->Read(iface, lease), ENOENT); // no IPv4 address
    iface.m_IpAddresses = {0};
    EXPECT_EQ(source->Read(iface, lease), ENOENT);
    iface.m_IpAddresses = {0x7F000001};
    EXPECT_EQ(source->Read(iface, lease), ENOENT); // loopback is not Ethernet
    iface.m_strName = "vyb-absent";
    EXPECT_EQ(source->Read(iface, lease), ENODEV);
    iface.m_strName = "vyb-sixteen-char"; // one past IFNAMSIZ - 1
    EXPECT_EQ(source->Read(iface, lease), ENODEV);
    EXPECT_TRUE(lease.m_mapOptions.empty());
}
} // namespace
