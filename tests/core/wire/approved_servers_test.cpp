#include "core/wire/approved_servers.h"

#include <gtest/gtest.h>

namespace
{
constexpr HardwareAddress kMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};

TEST(ApprovedServers, ReadsAnEntry)
{
    // A good entry reads back as its shortest form; nullptr marks a bad one.
    const struct
    {
        const char* text;
        const char* shortest;
        ApprovedKind kind;
    } cases[] = {
        {"10.77.0.1", "10.77.0.1", ApprovedKind::Dhcpv4},
        {"10.77.0.1@02:00:00:77:00:01", "10.77.0.1@02:00:00:77:00:01", ApprovedKind::Dhcpv4},
        {"10.77.0.1@02-00-00-77-00-01%10", "10.77.0.1@02:00:00:77:00:01%10", ApprovedKind::Dhcpv4},
        {"255.255.255.255%4094", "255.255.255.255%4094", ApprovedKind::Dhcpv4},
        {"duid:00030001020000770001", "duid:00030001020000770001", ApprovedKind::Dhcpv6},
        {"duid:00:03:00:01:02:00:00:77:00:01%7", "duid:00030001020000770001%7",
         ApprovedKind::Dhcpv6},
        {"duid:00:0900", "duid:000900", ApprovedKind::Dhcpv6}, // an unknown type, still a DUID
        {"fe80::1", "fe80::1", ApprovedKind::Router},
        {"FE80:0:0:0:0:0:0:1%1", "fe80::1%1", ApprovedKind::Router},
        {"febf::1", "febf::1", ApprovedKind::Router},
        {"02:00:00:77:00:01", "02:00:00:77:00:01", ApprovedKind::Router},
        {"02-00-00-77-00-01%20", "02:00:00:77:00:01%20", ApprovedKind::Router},
        {"10.77.0", nullptr, {}},
        {"10.77.0.256", nullptr, {}},
        {"10.77.0.1.2", nullptr, {}},
        {"0010.77.0.1", nullptr, {}},
        {"10.77.0.1@", nullptr, {}},
        {"10.77.0.1@02:00:00:77:00", nullptr, {}},
        {"10.77.0.1@02:00:00:77:00:0g", nullptr, {}},
        {"10.77.0.1@02:00:00:77:00:01@x", nullptr, {}},
        {"@02:00:00:77:00:01", nullptr, {}},
        {" 10.77.0.1", nullptr, {}},
        {"", nullptr, {}},
        {"10.77.0.1%", nullptr, {}},
        {"10.77.0.1%0", nullptr, {}},
        {"10.77.0.1%4095", nullptr, {}},
        {"10.77.0.1%010", nullptr, {}},
        {"10.77.0.1%10%10", nullptr, {}},
        {"10.77.0.1%99999999999", nullptr, {}},
        {"%10", nullptr, {}},
        {"duid:", nullptr, {}},
        {"duid:00", nullptr, {}},      // shorter than a type
        {"duid:0003000", nullptr, {}}, // half a byte
        {"duid:00:03:", nullptr, {}},  // a colon at the end
        {"duid:00::03", nullptr, {}},  // two colons
        {"duid:0003zz", nullptr, {}},
        {"duid:00030001020000770001 ", nullptr, {}},
        {"DUID:000300", nullptr, {}},
        {"2001:db8::1", nullptr, {}}, // a router speaks from its link-local address
        {"fe80::1::2", nullptr, {}},
        {"fe80::1%eth0", nullptr, {}},
    };
    for (const auto& test : cases)
    {
        const std::optional<ApprovedEntry> entry = ParseApprovedEntry(test.text);
        ASSERT_EQ(entry.has_value(), test.shortest != nullptr) << test.text;
        if (!entry)
            continue;
        EXPECT_EQ(entry->kind, test.kind) << test.text;
        EXPECT_EQ(ApprovedEntryText(*entry), test.shortest) << test.text;
    }
    // Longest DUID: 2 bytes of type and 128 more.
    EXPECT_TRUE(ParseApprovedEntry("duid:0002" + std::string(256, 'a')));
    EXPECT_FALSE(ParseApprovedEntry("duid:0002" + std::string(258, 'a')));
}

TEST(ApprovedServers, ReadsAFileAndNamesItsFirstBadLine)
{
    const struct
    {
        const char* pszName;
        std::string m_strText;
        std::size_t m_nBadLine;
        std::size_t m_nEntries;
    } cases[] = {
        {"entries, comments and blanks",
         "# the link's servers\n10.77.0.1\n\n  10.77.0.2@02:00:00:77:00:01 # failover\r\n\t#\n"
         "duid:000300010200007700ff%10\nfe80::1 # the router\n",
         0, 4},
        {"no newline at the end", "10.77.0.1", 0, 1},
        {"empty", "", 0, 0},
        {"a bad line", "10.77.0.1\n# fine\n10.77.0.300\n10.77.0.2\n", 3, 1},
        {"two entries on one line", "10.77.0.1 10.77.0.2\n", 1, 0},
        {"a NUL in a line", std::string("10.77.0.1\0\n", 11), 1, 0},
        {"one entry past the bound",
         []
         {
             std::string strText;
             for (std::size_t i = 0; i <= kMaxApprovedServers; ++i)
                 strText += "10.77.0.1\n";
             return strText;
         }(),
         kMaxApprovedServers + 1, kMaxApprovedServers},
    };
    for (const auto& test : cases)
    {
        std::vector<ApprovedEntry> list;
        EXPECT_EQ(ParseApprovedServers(test.m_strText, list), test.m_nBadLine) << test.pszName;
        EXPECT_EQ(list.size(), test.m_nEntries) << test.pszName;
    }
}

std::vector<ApprovedEntry> List(const std::vector<const char*>& texts)
{
    std::vector<ApprovedEntry> list;
    for (const char* text : texts)
        list.push_back(ParseApprovedEntry(text).value());
    return list;
}

TEST(ApprovedServers, ApproveEachFamilyByItsOwnEntriesAndVlan)
{
    DiscoveredServer server;
    server.serverId = 0x0A4D0001;
    server.path.mac = kMac;
    DiscoveredServer rogue = server;
    rogue.path.mac[5] = 0x66;
    DiscoveredServer noId = server;
    noId.serverId.reset();
    DiscoveredServer6 server6;
    server6.duid = {0, 3, 0, 1, 2, 0, 0, 0x77, 0, 1};
    AdvertisedRouter router;
    router.address = {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    router.mac = kMac;

    const std::optional<std::uint16_t> untagged;
    const std::optional<std::uint16_t> vlan10 = 10;
    const struct
    {
        const char* name;
        bool approved;
        bool actual;
    } cases[] = {
        {"by id", true, IsApproved(server, untagged, List({"10.77.0.1"}))},
        {"by id, another MAC", true, IsApproved(rogue, untagged, List({"10.77.0.1"}))},
        {"by id and MAC", true,
         IsApproved(server, untagged, List({"10.77.0.9", "10.77.0.1@02:00:00:77:00:01"}))},
        {"by id, MAC not its", false,
         IsApproved(rogue, untagged, List({"10.77.0.1@02:00:00:77:00:01"}))},
        {"no id", false, IsApproved(noId, untagged, List({"10.77.0.1"}))},
        {"empty list", false, IsApproved(server, untagged, {})},
        {"on every VLAN", true, IsApproved(server, vlan10, List({"10.77.0.1"}))},
        {"on its VLAN", true, IsApproved(server, vlan10, List({"10.77.0.1%10"}))},
        {"on another VLAN", false, IsApproved(server, vlan10, List({"10.77.0.1%11"}))},
        {"a VLAN's entry untagged", false, IsApproved(server, untagged, List({"10.77.0.1%10"}))},
        {"a router's MAC is no DHCPv4 server", false,
         IsApproved(server, untagged, List({"02:00:00:77:00:01"}))},
        {"DUID", true, IsApproved(server6, vlan10, List({"duid:00030001020000770001%10"}))},
        {"another DUID", false, IsApproved(server6, vlan10, List({"duid:00030001020000770002"}))},
        {"a server id is no DUID", false, IsApproved(server6, untagged, List({"10.77.0.1"}))},
        {"router by address", true, IsApproved(router, untagged, List({"fe80::1"}))},
        {"router by MAC", true, IsApproved(router, vlan10, List({"02:00:00:77:00:01%10"}))},
        {"router, another address", false, IsApproved(router, untagged, List({"fe80::2"}))},
        {"router, another MAC", false,
         IsApproved(router, untagged, List({"02:00:00:77:00:02", "10.77.0.1@02:00:00:77:00:01"}))},
        {"router on another VLAN", false, IsApproved(router, vlan10, List({"fe80::1%20"}))},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.actual, test.approved) << test.name;
}
} // namespace
