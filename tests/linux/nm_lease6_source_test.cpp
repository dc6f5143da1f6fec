// NetworkManager's DHCPv6 lease over a private bus, from the fake's DHCP6Config.
#include "linux/nm_lease6_source.h"

#include "testing/fake_network_manager.h"
#include "testing/test_buses.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace
{
class NmLease6SourceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string whyNot;
        bool installed = true;
        if (!m_bus.Start(whyNot, installed))
        {
            if (!installed)
                GTEST_SKIP() << whyNot;
            FAIL() << whyNot;
        }
        m_address.emplace(m_bus.Address());
    }

    int Read(FakeNetworkManagerSetup setup, Lease6& lease)
    {
        const CFakeNetworkManager networkManager(m_bus.Address(), std::move(setup));
        EXPECT_TRUE(networkManager.Ready());
        LeaseInterface iface;
        iface.m_strName = "vcli";
        return MakeNetworkManagerLease6Source(std::chrono::seconds(30))->Read(iface, lease);
    }

    CPrivateSystemBus m_bus;
    std::optional<CSystemBusAddress> m_address;
};

TEST_F(NmLease6SourceTest, ReadsTheDevicesDhcp6Config)
{
    FakeNetworkManagerSetup setup;
    // The IPv4 options are not the DHCPv6 lease.
    setup.m_Options = {{"ip_address", std::string("10.99.0.146")}};
    setup.dhcp6Config = "/org/freedesktop/NetworkManager/DHCP6Config/7";
    setup.dhcp6Options = {
        {"dhcp6_name_servers", std::string("2001:db8::53")},
        {"iaid", std::string("00:00:00:01")},
        {"ip6_address", std::string("2001:db8::181")},
        {"dhcp6_unknown", std::uint32_t{5}}, // not a text: not read
    };
    Lease6 lease;
    ASSERT_EQ(Read(std::move(setup), lease), 0);
    ASSERT_EQ(lease.options.size(), 2u);
    EXPECT_EQ(lease.options[0].code, 3);
    EXPECT_EQ(lease.options[1].code, 23);
    EXPECT_TRUE(lease.unmapped.empty());
}

TEST_F(NmLease6SourceTest, ADeviceWithoutDhcp6HasNoLease)
{
    FakeNetworkManagerSetup setup;
    setup.m_Options = {{"ip_address", std::string("10.99.0.146")}};
    Lease6 lease;
    EXPECT_EQ(Read(std::move(setup), lease), ENOENT);
    EXPECT_TRUE(lease.options.empty());
}
} // namespace
