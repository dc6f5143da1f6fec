// DHCPINFORM against a real server: dnsmasq in the server's namespace.
#include "core/wire/bootp_message.h"
#include "linux/dhcp_inform.h"
#include "tests/core/wire/lease_test_helpers.h"
#include "tests/linux/netns_pair_test.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
// dnsmasq on the server's end of the pair, in the foreground, ended with the test.
class CDnsmasq
{
public:
    explicit CDnsmasq(const std::string& strNamespace)
        : m_strLeases("/tmp/vyb-dnsmasq-" + std::to_string(getpid()) + ".leases")
    {
        const std::vector<std::string> args = {
            "dnsmasq",
            "--no-daemon",
            "--conf-file=/dev/null",
            "--port=0", // no DNS
            "--user=root",
            "--pid-file",
            "--log-facility=-",
            "--dhcp-leasefile=" + m_strLeases,
            std::string("--interface=") + CNetnsPair::kServerInterface,
            "--dhcp-range=10.77.0.100,10.77.0.150,255.255.255.0,10m",
            "--dhcp-option=3,10.77.0.1",
            "--dhcp-option=6,10.77.0.1,10.77.0.2",
            "--dhcp-option=15,lab.test",
            "--dhcp-option=2,3600",
        };
        m_child = fork();
        if (m_child == 0)
        {
            const CNetnsScope scope(strNamespace);
            std::vector<char*> argv;
            for (const std::string& strArg : args)
                argv.push_back(const_cast<char*>(strArg.c_str()));
            argv.push_back(nullptr);
            if (scope.Entered())
                execvp(argv[0], argv.data());
            _exit(127);
        }
    }

    ~CDnsmasq()
    {
        if (m_child > 0)
        {
            kill(m_child, SIGTERM);
            waitpid(m_child, nullptr, 0);
        }
        std::remove(m_strLeases.c_str());
    }

    CDnsmasq(const CDnsmasq&) = delete;
    CDnsmasq& operator=(const CDnsmasq&) = delete;

    // Waits until dnsmasq holds port 67 (0043 in its namespace's socket table).
    // Until the child has become dnsmasq, its table may still be the host's.
    bool WaitUntilListening() const
    {
        if (m_child <= 0)
            return false;
        const std::string strProcess = "/proc/" + std::to_string(m_child);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline)
        {
            std::string strName;
            std::getline(std::ifstream(strProcess + "/comm"), strName);
            std::ifstream table(strProcess + "/net/udp");
            for (std::string strLine; strName == "dnsmasq" && std::getline(table, strLine);)
            {
                if (strLine.find(":0043 ") != std::string::npos)
                    return true;
            }
            if (waitpid(m_child, nullptr, WNOHANG) != 0)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    std::string m_strLeases;
    pid_t m_child = -1;
};

class DnsmasqInform : public NetnsPairTest
{
protected:
    void SetUp() override
    {
        if (!ProgramOnPath("dnsmasq"))
            GTEST_SKIP() << "dnsmasq is not installed";
        NetnsPairTest::SetUp();
        if (IsSkipped())
            return;
        m_pServer = std::make_unique<CDnsmasq>(m_pair->ServerNamespace());
        ASSERT_TRUE(m_pServer->WaitUntilListening());
        m_iface.m_strName = CNetnsPair::kClientInterface;
        m_iface.m_IpAddresses = {CNetnsPair::kClientAddress};
    }

    void TearDown() override
    {
        m_pServer.reset();
        m_pair.reset();
    }

    int ReadInClient(Lease& lease)
    {
        const CNetnsScope scope(m_pair->ClientNamespace());
        EXPECT_TRUE(scope.Entered());
        // dnsmasq answers: a wait no machine comes near, so no retry is
        // needed however slow the machine.
        InformSettings settings;
        settings.m_Waits = {std::chrono::seconds(20), std::chrono::seconds(20)};
        return MakeInformLeaseSource(settings)->Read(m_iface, lease);
    }

    void ExpectTheServersOptions(const Lease& lease)
    {
        const OptionMap& options = lease.m_mapOptions;
        EXPECT_EQ(options.at(kOptionServerId), (OptionBytes{10, 77, 0, 1}));
        EXPECT_EQ(options.at(1), (OptionBytes{255, 255, 255, 0}));
        EXPECT_EQ(options.at(2), (OptionBytes{0, 0, 0x0E, 0x10}));
        EXPECT_EQ(options.at(3), (OptionBytes{10, 77, 0, 1}));
        EXPECT_EQ(options.at(6), (OptionBytes{10, 77, 0, 1, 10, 77, 0, 2}));
        EXPECT_EQ(options.at(15), TextBytes("lab.test"));
        // dnsmasq sends what is left of the lease it would give; it is not ours.
        for (const std::uint8_t nCode :
             {kOptionLeaseTime, kOptionRenewalTime, kOptionRebindingTime, kOptionRequestedAddress})
            EXPECT_EQ(options.count(nCode), 0u) << int{nCode};
    }

    std::unique_ptr<CDnsmasq> m_pServer;
    LeaseInterface m_iface;
};

TEST_F(DnsmasqInform, AnswersWithTheNetworksOptionsAndNoLease)
{
    Lease lease;
    ASSERT_EQ(ReadInClient(lease), 0);
    ExpectTheServersOptions(lease);
}

// A client holding port 68 does not stand in the way: the inform binds none.
TEST_F(DnsmasqInform, AnswersWhileAClientHoldsThePort)
{
    const CNetnsScope scope(m_pair->ClientNamespace());
    const CFileDescriptor holder = HoldClientPort();
    ASSERT_TRUE(holder.IsOpen());

    Lease lease;
    EXPECT_EQ(ReadInClient(lease), 0);
    ExpectTheServersOptions(lease);
}
} // namespace
