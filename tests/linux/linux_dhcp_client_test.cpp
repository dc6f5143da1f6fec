#include "linux/linux_dhcp_client.h"
#include "testing/fake_lease_source.h"
#include "win32/dhcp_query.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

namespace
{
std::optional<LeaseInterface> OnlyVcli(const std::string& strName)
{
    if (strName != "vcli" && strName != "wlan\xC3\xA9")
        return std::nullopt;
    return LeaseInterface{strName, 2, {0x0A630092}};
}

Lease SampleLease()
{
    Lease lease;
    lease.m_mapOptions = {{54, {10, 99, 0, 1}},
                          {1, {255, 255, 255, 0}},
                          {6, {10, 99, 0, 1, 10, 99, 0, 2}},
                          {15, {'l', 'a', 'b', '.', 't', 'e', 's', 't'}},
                          {12, {}},    // supplied with zero length: no row
                          {150, {1}}}; // never asked for
    return lease;
}

class LinuxDhcpClientTest : public testing::Test
{
protected:
    explicit LinuxDhcpClientTest(int nResult = 0) : m_source("dhcpcd", nResult, SampleLease()) {}

    bool Request(const char* pszInterface)
    {
        CDhcpQuery query(m_client);
        query.SetTraceStream(m_pTrace);
        const bool bResult = query.RequestOptions(m_options, pszInterface);
        m_strError = query.GetErrorText();
        return bResult;
    }

    CFakeLeaseSource m_source;
    CLinuxDhcpClient m_client{m_source, OnlyVcli};
    std::FILE* m_pTrace = std::tmpfile();
    DhcpOptionList m_options;
    CString m_strError;
};

TEST_F(LinuxDhcpClientTest, AnswersTheRequestedOptionsOfTheInterfacesLease)
{
    ASSERT_TRUE(Request("vcli")) << m_strError;
    std::vector<std::pair<CString, CString>> rows;
    for (const DhcpOption& option : m_options)
        rows.emplace_back(option.m_strParameter, option.m_strData);
    EXPECT_EQ((std::vector<std::pair<CString, CString>>{{"DHCP Server", "10.99.0.1"},
                                                        {"Subnet Mask", "255.255.255.0"},
                                                        {"Domain Name", "lab.test"},
                                                        {"DNS Server", "10.99.0.1 10.99.0.2 "}}),
              rows);
    EXPECT_EQ("vcli", m_source.m_strAskedFor);
}

TEST_F(LinuxDhcpClientTest, ATooSmallBufferIsAnsweredFromTheSameReadOfTheLease)
{
    Lease lease = SampleLease();
    lease.m_mapOptions[43] = OptionBytes(4000, 0x5A); // far beyond the first reply buffer
    m_source = CFakeLeaseSource("dhcpcd", 0, lease);
    ASSERT_TRUE(Request("vcli")) << m_strError;
    EXPECT_EQ(1, m_source.m_nReads);
    EXPECT_EQ(5u, m_options.size());
    // A new request reads the lease afresh.
    ASSERT_TRUE(Request("vcli"));
    EXPECT_EQ(2, m_source.m_nReads);
}

TEST_F(LinuxDhcpClientTest, FailuresAreTheCLibrarysCodesAndTexts)
{
    EXPECT_FALSE(Request("eth9"));
    EXPECT_EQ("DHCP Error 19: No such device\n", m_strError);
    EXPECT_EQ(0, m_source.m_nReads) << "no source is asked about an interface that is not there";

    m_source = CFakeLeaseSource("dhcpcd", ENOENT);
    EXPECT_FALSE(Request("vcli"));
    EXPECT_EQ("DHCP Error 61: No data available\n", m_strError);

    m_source = CFakeLeaseSource("dhcpcd", EACCES);
    EXPECT_FALSE(Request("vcli"));
    EXPECT_EQ("DHCP Error 13: Permission denied\n", m_strError);
    EXPECT_TRUE(m_options.empty());
}

TEST_F(LinuxDhcpClientTest, InterfaceNamesKeepTheirUtf8Bytes)
{
    ASSERT_TRUE(Request("wlan\xC3\xA9")) << m_strError;
    EXPECT_EQ("wlan\xC3\xA9", m_source.m_strAskedFor);
}

TEST(FindLeaseInterface, KnowsTheLoopbackAndNoInventedName)
{
    const std::optional<LeaseInterface> lo = FindLeaseInterface("lo");
    ASSERT_TRUE(lo.has_value());
    EXPECT_NE(0u, lo->m_nIndex);
    EXPECT_EQ(std::vector<std::uint32_t>{0x7F000001}, lo->m_IpAddresses);
    EXPECT_FALSE(FindLeaseInterface("veyra-none0").has_value());
    EXPECT_FALSE(FindLeaseInterface("").has_value());
}
} // namespace
