#include "core/wire/approved_servers.h"

#include <gtest/gtest.h>

namespace
{
constexpr HardwareAddress kMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};

TEST(ApprovedServers, ReadsAnEntry)
{
    const struct
    {
        const char* pszText;
        bool m_bGood;
        std::uint32_t m_nId;
        bool m_bMac;
    } cases[] = {
        {"10.77.0.1", true, 0x0A4D0001, false},
        {"10.77.0.1@02:00:00:77:00:01", true, 0x0A4D0001, true},
        {"10.77.0.1@02-00-00-77-00-01", true, 0x0A4D0001, true},
        {"255.255.255.255", true, 0xFFFFFFFF, false},
        {"10.77.0", false, 0, false},
        {"10.77.0.256", false, 0, false},
        {"10.77.0.1.2", false, 0, false},
        {"0010.77.0.1", false, 0, false},
        {"10.77.0.1@", false, 0, false},
        {"10.77.0.1@02:00:00:77:00", false, 0, false},
        {"10.77.0.1@02:00:00:77:00:0g", false, 0, false},
        {"10.77.0.1@02:00:00:77:00:01@x", false, 0, false},
        {"@02:00:00:77:00:01", false, 0, false},
        {" 10.77.0.1", false, 0, false},
        {"", false, 0, false},
    };
    for (const auto& test : cases)
    {
        const std::optional<ApprovedServer> server = ParseApprovedServer(test.pszText);
        ASSERT_EQ(server.has_value(), test.m_bGood) << test.pszText;
        if (!server)
            continue;
        EXPECT_EQ(server->m_nServerId, test.m_nId) << test.pszText;
        EXPECT_EQ(server->m_Mac.has_value(), test.m_bMac) << test.pszText;
        EXPECT_EQ(server->m_Mac.value_or(kMac), kMac) << test.pszText;
    }
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
         "# the link's servers\n10.77.0.1\n\n  10.77.0.2@02:00:00:77:00:01 # failover\r\n\t#\n", 0,
         2},
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
        std::vector<ApprovedServer> list;
        EXPECT_EQ(ParseApprovedServers(test.m_strText, list), test.m_nBadLine) << test.pszName;
        EXPECT_EQ(list.size(), test.m_nEntries) << test.pszName;
    }
}

TEST(ApprovedServers, ApproveByIdAndWhereGivenByMac)
{
    DiscoveredServer server;
    server.serverId = 0x0A4D0001;
    server.path.mac = kMac;
    DiscoveredServer rogue = server;
    rogue.path.mac[5] = 0x66;
    DiscoveredServer noId = server;
    noId.serverId.reset();

    const std::vector<ApprovedServer> byId = {{0x0A4D0001, std::nullopt}};
    const std::vector<ApprovedServer> byMac = {{0x0A4D0009, std::nullopt}, {0x0A4D0001, kMac}};
    EXPECT_TRUE(IsApproved(server, byId));
    EXPECT_TRUE(IsApproved(rogue, byId));
    EXPECT_TRUE(IsApproved(server, byMac));
    EXPECT_FALSE(IsApproved(rogue, byMac));
    EXPECT_FALSE(IsApproved(noId, byId));
    EXPECT_FALSE(IsApproved(server, {}));
}
} // namespace
