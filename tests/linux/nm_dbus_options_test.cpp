#include "linux/nm_dbus_options.h"
#include "linux/nm_lease_source.h"

#include "testing/fake_network_manager.h"
#include "testing/scratch_directory.h"
#include "testing/test_buses.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace
{
using Options = std::map<std::string, std::string>;

// What NetworkManager's own DHCP client publishes for the captured lease of
// vcli (10.99.0.146 from dnsmasq at 10.99.0.1, 600 s), with the names and
// text forms it uses.
FakeOptions CapturedLease()
{
    return {
        {"broadcast_address", std::string("10.99.0.255")},
        {"dhcp_client_identifier", std::string("01:02:00:00:99:00:02")},
        {"dhcp_lease_time", std::string("600")},
        {"dhcp_rebinding_time", std::string("525")},
        {"dhcp_renewal_time", std::string("300")},
        {"dhcp_server_identifier", std::string("10.99.0.1")},
        {"domain_name", std::string("lab.test")},
        {"domain_name_servers", std::string("10.99.0.1 10.99.0.2")},
        {"domain_search", std::string("lab.test corp.test")},
        {"expiry", std::string("1796795354")},
        {"host_name", std::string("ignored-by-clients")},
        {"interface_mtu", std::string("1400")},
        {"ip_address", std::string("10.99.0.146")},
        {"log_servers", std::string("10.99.0.1")},
        {"netbios_name_servers", std::string("10.99.0.1")},
        {"netbios_node_type", std::string("8")},
        {"netbios_scope", std::string("scope1")},
        {"next_server", std::string("10.99.0.1")},
        {"nis_domain", std::string("nisdom")},
        {"nis_servers", std::string("10.99.0.1")},
        {"ntp_servers", std::string("10.99.0.1")},
        {"requested_domain_name_servers", std::string("1")},
        {"requested_routers", std::string("1")},
        {"requested_subnet_mask", std::string("1")},
        {"routers", std::string("10.99.0.1")},
        {"static_routes", std::string("10.99.5.0 10.99.0.1")},
        {"subnet_mask", std::string("255.255.255.0")},
        {"time_offset", std::string("3600")},
    };
}

FakeOptions ManyOptions(std::size_t nCount)
{
    FakeOptions options;
    for (std::size_t n = 0; n < nCount; ++n)
        options.emplace_back("private_" + std::to_string(n), std::string("1"));
    return options;
}

// Where the fake answers at once, a bound no machine comes near; where it
// never answers, a short one: no outcome depends on the machine's speed.
constexpr std::chrono::milliseconds kPatient = std::chrono::seconds(30);
constexpr std::chrono::milliseconds kImpatient = std::chrono::milliseconds(300);

// A private system bus for each test; a test puts a fake NetworkManager on it.
class NmDbusOptionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string strWhyNot;
        bool bInstalled = true;
        if (!m_bus.Start(strWhyNot, bInstalled))
        {
            if (!bInstalled)
                GTEST_SKIP() << strWhyNot;
            FAIL() << strWhyNot;
        }
        m_address.emplace(m_bus.Address());
    }

    void Serve(FakeNetworkManagerSetup setup)
    {
        m_pNetworkManager =
            std::make_unique<CFakeNetworkManager>(m_bus.Address(), std::move(setup));
        ASSERT_TRUE(m_pNetworkManager->Ready());
    }

    void ServeOptions(FakeOptions options)
    {
        FakeNetworkManagerSetup setup;
        setup.m_Options = std::move(options);
        Serve(std::move(setup));
    }

    // Starts from a map with something in it: a failure must leave it empty.
    int Fetch(const std::string& strInterface = "vcli", std::chrono::milliseconds bound = kPatient)
    {
        m_options = {{"left", "over"}};
        CSystemBus bus(bound);
        if (const int nOpened = bus.Open())
            return nOpened;
        return FetchNetworkManagerOptions(bus, strInterface, m_options);
    }

    CPrivateSystemBus m_bus;
    std::optional<CSystemBusAddress> m_address;
    std::unique_ptr<CFakeNetworkManager> m_pNetworkManager;
    Options m_options;
};

TEST_F(NmDbusOptionsTest, ReadsEveryOptionOfTheDevice)
{
    ServeOptions(CapturedLease());
    ASSERT_EQ(Fetch(), 0);
    Options expected;
    for (const auto& [strName, value] : CapturedLease())
        expected.emplace(strName, std::get<std::string>(value));
    EXPECT_EQ(m_options, expected);
}

TEST_F(NmDbusOptionsTest, WhatNetworkManagerDoesNotHaveIsAbsent)
{
    ServeOptions(CapturedLease());
    EXPECT_EQ(Fetch("eth9"), ENOENT);
    EXPECT_TRUE(m_options.empty());
    // Names that cannot be sent as they are: cut at the NUL they would ask
    // about vcli, and D-Bus carries only UTF-8.
    EXPECT_EQ(Fetch(std::string("vcli\0x", 6)), ENOENT);
    EXPECT_TRUE(m_options.empty());
    EXPECT_EQ(Fetch("\xff\xfe"), ENOENT);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(NmDbusOptionsTest, DeviceWithoutDhcpIsAbsent)
{
    FakeNetworkManagerSetup setup;
    setup.m_strDhcp4Config = "/";
    Serve(std::move(setup));
    EXPECT_EQ(Fetch(), ENOENT);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(NmDbusOptionsTest, BusWithoutNetworkManagerIsAbsent)
{
    EXPECT_EQ(Fetch(), ENOENT);
    EXPECT_TRUE(m_options.empty());
    // Looking must not start it, although the bus knows how.
    EXPECT_FALSE(m_bus.Launched());
}

TEST_F(NmDbusOptionsTest, KeepsOnlyTextValues)
{
    ServeOptions({{"dhcp_lease_time", std::uint32_t{600}},
                  {"routers", std::string("10.99.0.1")},
                  {"interface_mtu", std::uint32_t{1400}}});
    ASSERT_EQ(Fetch(), 0);
    EXPECT_EQ(m_options, (Options{{"routers", "10.99.0.1"}}));
}

TEST_F(NmDbusOptionsTest, TakesValuesUpTo64KiB)
{
    const std::string strLongest(64 * 1024, 'a');
    ServeOptions({{"longest", strLongest}, {"too_long", strLongest + "a"}});
    ASSERT_EQ(Fetch(), 0);
    EXPECT_EQ(m_options, (Options{{"longest", strLongest}}));
}

TEST_F(NmDbusOptionsTest, TakesUpTo512Options)
{
    ServeOptions(ManyOptions(512));
    ASSERT_EQ(Fetch(), 0);
    EXPECT_EQ(m_options.size(), 512u);
}

TEST_F(NmDbusOptionsTest, RefusesMoreThan512Options)
{
    ServeOptions(ManyOptions(513));
    EXPECT_EQ(Fetch(), EIO);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(NmDbusOptionsTest, ConfigPathOfTheWrongTypeIsAnError)
{
    FakeNetworkManagerSetup setup;
    setup.m_bDhcp4ConfigAsText = true;
    setup.m_Options = CapturedLease();
    Serve(std::move(setup));
    EXPECT_EQ(Fetch(), EIO);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(NmDbusOptionsTest, GivesUpOnAnAnswerThatComesTooLate)
{
    // Never answered, which a call without a bound of its own would still
    // wait for. A bus slow to greet us times out too.
    FakeNetworkManagerSetup setup;
    setup.m_answerDelay = kNeverAnswer;
    setup.m_Options = CapturedLease();
    Serve(std::move(setup));
    EXPECT_EQ(Fetch("vcli", kImpatient), ETIMEDOUT);
    EXPECT_TRUE(m_options.empty());
}

// The source the Linux service chains: the fake's texts back as option bytes.
TEST_F(NmDbusOptionsTest, LeaseSourceTurnsTheOptionsIntoALease)
{
    ServeOptions(CapturedLease());
    const std::unique_ptr<CLeaseSource> source = MakeNetworkManagerLeaseSource(kPatient);
    EXPECT_STREQ(source->Name(), "NetworkManager");
    LeaseInterface iface;
    iface.m_strName = "vcli";
    Lease lease;
    ASSERT_EQ(source->Read(iface, lease), 0);
    EXPECT_EQ(lease.m_mapOptions.at(54), (OptionBytes{10, 99, 0, 1}));
    EXPECT_EQ(lease.m_mapOptions.at(6), (OptionBytes{10, 99, 0, 1, 10, 99, 0, 2}));
    EXPECT_EQ(lease.m_mapOptions.at(51), (OptionBytes{0x00, 0x00, 0x02, 0x58}));
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    EXPECT_EQ(lease.m_tExpires, 1796795354);
    EXPECT_EQ(lease.m_tObtained, 1796795354 - 600);

    iface.m_strName = "eth9";
    EXPECT_EQ(source->Read(iface, lease), ENOENT);
    EXPECT_EQ(m_pNetworkManager->Callers(), 1u) << "one bus connection for all the reads";
}

TEST_F(NmDbusOptionsTest, TheSourceKeepsAFailureToConnectForTheRun)
{
    ServeOptions(CapturedLease());
    LeaseInterface iface;
    iface.m_strName = "vcli";
    Lease lease;
    const std::unique_ptr<CLeaseSource> source = MakeNetworkManagerLeaseSource(kPatient);
    {
        const CScratchDirectory directory;
        ASSERT_FALSE(directory.Path().empty());
        const CSystemBusAddress nowhere("unix:path=" + directory.Path() + "/no_bus_here");
        EXPECT_EQ(source->Read(iface, lease), ENOENT);
    }
    EXPECT_EQ(source->Read(iface, lease), ENOENT) << "connected again";
    EXPECT_EQ(MakeNetworkManagerLeaseSource(kPatient)->Read(iface, lease), 0);
}

TEST_F(NmDbusOptionsTest, ABusThatIsNotOpenHasNothingToRead)
{
    ServeOptions(CapturedLease());
    CSystemBus bus(kPatient);
    Options options = {{"left", "over"}};
    EXPECT_EQ(FetchNetworkManagerOptions(bus, "vcli", options), ENOENT);
    EXPECT_TRUE(options.empty());
}

TEST_F(NmDbusOptionsTest, TheCallBoundIsTheCallers)
{
    // Answered later than the default bound allows: the caller's waits for it.
    FakeNetworkManagerSetup setup;
    setup.m_answerDelay = kDefaultBusTimeout + std::chrono::milliseconds(500);
    setup.m_Options = CapturedLease();
    Serve(std::move(setup));
    CSystemBus bus(kPatient);
    ASSERT_EQ(bus.Open(), 0);
    EXPECT_EQ(FetchNetworkManagerOptions(bus, "vcli", m_options), 0);
    EXPECT_EQ(m_options.at("routers"), "10.99.0.1");
}

struct ErrorCase
{
    const char* pszError;
    int nErrno;
};

// Names the case in the test's name, which ctest keeps from run to run.
void PrintTo(const ErrorCase& errorCase, std::ostream* pStream)
{
    *pStream << errorCase.pszError;
}

class NmDbusErrorTest : public NmDbusOptionsTest, public testing::WithParamInterface<ErrorCase>
{
};

TEST_P(NmDbusErrorTest, BusErrorBecomesErrno)
{
    FakeNetworkManagerSetup setup;
    setup.m_strError = GetParam().pszError;
    Serve(std::move(setup));
    EXPECT_EQ(Fetch(), GetParam().nErrno);
    EXPECT_TRUE(m_options.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, NmDbusErrorTest,
    testing::Values(ErrorCase{"org.freedesktop.DBus.Error.AccessDenied", EACCES},
                    ErrorCase{"org.freedesktop.DBus.Error.NoReply", ETIMEDOUT},
                    ErrorCase{"org.freedesktop.DBus.Error.UnknownObject", ENOENT},
                    ErrorCase{"org.freedesktop.NetworkManager.Failed", EIO},
                    ErrorCase{"org.freedesktop.DBus.Error.NoMemory", EIO}));

TEST(NmDbusBusTest, NoBusIsAbsent)
{
    const CScratchDirectory directory;
    ASSERT_FALSE(directory.Path().empty());
    const CSystemBusAddress address("unix:path=" + directory.Path() + "/no_bus_here");
    CSystemBus bus(kPatient);
    EXPECT_EQ(bus.Open(), ENOENT);
    EXPECT_EQ(bus.Get(), nullptr);
}

TEST(NmDbusBusTest, GivesUpOnABusThatNeverSpeaks)
{
    // The silent bus hangs up only long after the client's short bound; a
    // client that waited for that would see the connection fail instead.
    const CScratchDirectory directory;
    ASSERT_FALSE(directory.Path().empty());
    const CSilentBus bus(directory.Path() + "/silent_bus");
    ASSERT_TRUE(bus.Listening());
    const CSystemBusAddress address(bus.Address());
    CSystemBus systemBus(kImpatient);
    EXPECT_EQ(systemBus.Open(), ETIMEDOUT);
    EXPECT_EQ(systemBus.Get(), nullptr);
}
} // namespace
