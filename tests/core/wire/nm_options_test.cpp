#include "core/wire/nm_options.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

namespace
{
// DHCP4Config.Options of vcli's device as NetworkManager's own DHCP client
// fills it for the captured lease: dhclient's names with '_', bare texts,
// blank-separated lists, and names of its own.
const std::map<std::string, std::string> kSampleOptions = {
    {"broadcast_address", "10.99.0.255"},
    {"dhcp_lease_time", "600"},
    {"dhcp_server_identifier", "10.99.0.1"},
    {"domain_name", "lab.test"},
    {"domain_name_servers", "10.99.0.1 10.99.0.2"},
    {"expiry", "1796795526"},
    {"host_name", "ignored-by-clients"},
    {"ip_address", "10.99.0.146"},
    {"next_server", "10.99.0.1"},
    {"nis_servers", "10.99.0.1"},
    {"ntp_servers", "10.99.0.1"},
    {"requested_broadcast_address", "1"},
    {"requested_domain_name_servers", "1"},
    {"requested_static_routes", "1"},
    {"requested_wpad", "1"},
    {"routers", "10.99.0.1"},
    {"static_routes", "10.99.5.0 10.99.0.1"},
    {"subnet_mask", "255.255.255.0"},
    {"time_offset", "3600"},
    {"vendor_encapsulated_options", "01:04:de:ad:be:ef:02:03:61:62:63"},
};

TEST(NetworkManagerOptions, CapturedLeaseAsNetworkManagerPublishesIt)
{
    Lease lease;
    ASSERT_TRUE(LeaseFromNetworkManager(kSampleOptions, lease));
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    EXPECT_EQ(lease.m_tExpires, 1796795526);
    EXPECT_EQ(lease.m_tObtained, 1796795526 - 600);
    const OptionMap expected = {
        {1, {255, 255, 255, 0}},
        {2, {0x00, 0x00, 0x0E, 0x10}},
        {3, {10, 99, 0, 1}},
        {6, {10, 99, 0, 1, 10, 99, 0, 2}},
        {12, TextBytes("ignored-by-clients")},
        {15, TextBytes("lab.test")},
        {28, {10, 99, 0, 255}},
        {33, {10, 99, 5, 0, 10, 99, 0, 1}},
        {41, {10, 99, 0, 1}},
        {42, {10, 99, 0, 1}},
        {43, {0x01, 0x04, 0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x03, 0x61, 0x62, 0x63}},
        {51, {0x00, 0x00, 0x02, 0x58}},
        {54, {10, 99, 0, 1}},
    };
    EXPECT_EQ(lease.m_mapOptions, expected);
}

TEST(NetworkManagerOptions, PrivateAndUnknownCodes)
{
    Lease lease;
    ASSERT_TRUE(LeaseFromNetworkManager({{"private_224", "0a:0b"},
                                         {"unknown_245", "01"},
                                         {"private_255", "01"},
                                         {"private_", "01"},
                                         {"domain_search", "lab.test corp.test"},
                                         {"classless_static_routes", "10.99.5.0/24 10.99.0.1"}},
                                        lease));
    const OptionMap expected = {
        {119, {3,   'l', 'a', 'b', 4, 't', 'e', 's', 't', 0, 4,
               'c', 'o', 'r', 'p', 4, 't', 'e', 's', 't', 0}},
        {121, {24, 10, 99, 5, 10, 99, 0, 1}},
        {224, {0x0A, 0x0B}},
        {245, {0x01}},
    };
    EXPECT_EQ(lease.m_mapOptions, expected);
}

TEST(NetworkManagerOptions, ValuesThatDoNotParseAreSkipped)
{
    Lease lease;
    EXPECT_FALSE(LeaseFromNetworkManager({{"ip_address", "10.99.0.300"},
                                          {"expiry", "-5"},
                                          {"routers", "gateway"},
                                          {"requested_subnet_mask", "1"},
                                          {"next_server", "10.99.0.1"},
                                          {"filename", "pxelinux.0"}},
                                         lease));
    EXPECT_FALSE(lease.m_nYourAddress);
    EXPECT_FALSE(lease.m_tExpires);
    EXPECT_TRUE(lease.m_mapOptions.empty());

    // An expiry past year 9999 is no time; the address still counts.
    Lease late;
    EXPECT_TRUE(LeaseFromNetworkManager(
        {{"ip_address", "10.99.0.146"}, {"expiry", "99999999999999999999"}}, late));
    EXPECT_FALSE(late.m_tExpires);
    Lease empty;
    EXPECT_FALSE(LeaseFromNetworkManager({}, empty));
}
} // namespace
