// One platform adapter to one record: formatting, the flags that decide which
// lists are filled, empty address texts, and the per-adapter query.
#include "tests/win32/inventory_fixture.h"

#include <cstdint>
#include <cstring>

namespace
{
using Call = CPreparedIpHelper::Call;
using Texts = std::vector<CString>;

// An expiry late in the range of the platform's time_t: 2100-01-01 where it is 64
// bits wide, the last second of 2038-01-19 where it is 32 bits wide.
constexpr std::int64_t kLateExpiry =
    sizeof(IP_ADAPTER_INFO::LeaseExpires) == 8 ? 4102444800 : 2147483647;

class AdapterRecordTest : public InventoryTest
{
protected:
    // The record of an adapter added at the end of the machine's chain.
    AdapterInfo Record(CPreparedAdapter adapter)
    {
        m_helper.Add(std::move(adapter));
        const AdapterList& adapters = Snapshot();
        return adapters.empty() ? AdapterInfo() : adapters.back();
    }
};

TEST_F(AdapterRecordTest, HardwareAddressIsSixUpperCasePairs)
{
    const AdapterInfo info =
        Record(CPreparedAdapter("{A}").HardwareAddress({0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(info.m_strMacAddress, "00:0C:29:AB:CD:EF");
}

TEST_F(AdapterRecordTest, AddressLengthIsNotConsulted)
{
    m_helper.Add(CPreparedAdapter("{zero}")
                     .HardwareAddress({0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50})
                     .AddressLength(0));
    m_helper.Add(CPreparedAdapter("{short}").HardwareAddress({0xA1, 0xB2, 0xC3}));
    m_helper.Add(CPreparedAdapter("{long}").HardwareAddress(
        {0x80, 0x00, 0x02, 0x08, 0xFE, 0x80, 0x11, 0x22}));
    const AdapterList& adapters = Snapshot();
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].m_strMacAddress, "02:00:4C:4F:4F:50");
    EXPECT_EQ(adapters[1].m_strMacAddress, "A1:B2:C3:00:00:00");
    EXPECT_EQ(adapters[2].m_strMacAddress, "80:00:02:08:FE:80");
}

TEST_F(AdapterRecordTest, TextsAndNumbersAreCopiedUnchanged)
{
    const AdapterInfo info = Record(CPreparedAdapter("{4D36E972-E325-11CE-BFC1-08002BE10318}")
                                        .Description("Fast Ethernet Adapter #2")
                                        .Type(71)
                                        .DhcpEnabled(7)
                                        .HaveWins(-1)
                                        .Lease(-1, kLateExpiry)
                                        .Autoconfig(1, 3)
                                        .IpAddress("169.254.10.20", "255.255.0.0")
                                        .Gateway("0.0.0.0"));
    EXPECT_EQ(info.m_strAdapterName, "{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(info.m_strDescription, "Fast Ethernet Adapter #2");
    EXPECT_EQ(info.m_nType, 71u);
    EXPECT_EQ(info.m_bDhcpEnabled, 7u);
    EXPECT_EQ(info.m_bHaveWins, -1);
    EXPECT_EQ(info.m_tLeaseObtained, -1);
    EXPECT_EQ(info.m_tLeaseExpires, kLateExpiry);
    EXPECT_EQ(info.m_bAutoconfigEnabled, 1u);
    EXPECT_EQ(info.m_bAutoconfigActive, 3u);
    EXPECT_EQ(info.m_strSubnetMask, "255.255.0.0");
    EXPECT_EQ(info.m_Gateways, Texts{"0.0.0.0"}); // all-zero is an ordinary address
}

TEST_F(AdapterRecordTest, EmptyPlatformTextsGiveEmptyRecordTexts)
{
    const AdapterInfo info = Record(CPreparedAdapter(""));
    EXPECT_EQ(info.m_strAdapterName, "");
    EXPECT_EQ(info.m_strDescription, "");
    EXPECT_EQ(info.m_strSubnetMask, "");
    EXPECT_EQ(info.m_strMacAddress, "00:00:00:00:00:00");
    EXPECT_TRUE(info.m_IpAddresses.empty());
    EXPECT_TRUE(info.m_Gateways.empty());
    EXPECT_TRUE(info.m_DnsServers.empty());
}

TEST_F(AdapterRecordTest, DhcpServersOnlyWhenDhcpIsEnabled)
{
    m_helper.Add(CPreparedAdapter("{static}").DhcpEnabled(0).DhcpServer("192.168.1.1"));
    m_helper.Add(CPreparedAdapter("{dhcp}").DhcpEnabled(1).DhcpServer("192.168.1.1"));
    m_helper.Add(CPreparedAdapter("{dhcp, no server}").DhcpEnabled(1));
    const AdapterList& adapters = Snapshot();
    ASSERT_EQ(adapters.size(), 3u); // the static adapter is listed like any other
    EXPECT_TRUE(adapters[0].m_DhcpServers.empty());
    EXPECT_EQ(adapters[1].m_DhcpServers, Texts{"192.168.1.1"});
    EXPECT_TRUE(adapters[2].m_DhcpServers.empty());
}

TEST_F(AdapterRecordTest, WinsServersOnlyWhenTheAdapterHasWins)
{
    const auto Wins = [](const char* pszName, BOOL bHaveWins)
    {
        return CPreparedAdapter(pszName)
            .HaveWins(bHaveWins)
            .PrimaryWinsServer("10.1.0.1")
            .PrimaryWinsServer("10.1.0.2")
            .SecondaryWinsServer("10.2.0.1");
    };
    m_helper.Add(Wins("{no}", 0));
    m_helper.Add(Wins("{yes}", 1));
    const AdapterList& adapters = Snapshot();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_TRUE(adapters[0].m_PrimaryWinsServers.empty());
    EXPECT_TRUE(adapters[0].m_SecondaryWinsServers.empty());
    EXPECT_EQ(adapters[1].m_PrimaryWinsServers, (Texts{"10.1.0.1", "10.1.0.2"}));
    EXPECT_EQ(adapters[1].m_SecondaryWinsServers, Texts{"10.2.0.1"});
}

TEST_F(AdapterRecordTest, EmptyAddressTextsAreSkippedAndTheFirstMaskIsKept)
{
    const AdapterInfo info = Record(CPreparedAdapter("{A}")
                                        .IpAddress("192.168.1.5", "255.255.255.0")
                                        .IpAddress("", "255.0.0.0")
                                        .IpAddress("10.0.0.7", "255.0.0.0")
                                        .Gateway("")
                                        .Gateway("192.168.1.1"));
    EXPECT_EQ(info.m_IpAddresses, (Texts{"192.168.1.5", "10.0.0.7"}));
    EXPECT_EQ(info.m_strSubnetMask, "255.255.255.0");
    EXPECT_EQ(info.m_Gateways, Texts{"192.168.1.1"});

    const AdapterInfo unnumbered =
        Record(CPreparedAdapter("{B}").IpAddress("", "255.255.0.0").IpAddress("10.0.0.8", ""));
    EXPECT_EQ(unnumbered.m_IpAddresses, Texts{"10.0.0.8"});
    EXPECT_EQ(unnumbered.m_strSubnetMask, "255.255.0.0");
}

TEST_F(AdapterRecordTest, DnsServersFollowTheirChain)
{
    const AdapterInfo info =
        Record(CPreparedAdapter("{A}").DnsServer("10.0.0.53").DnsServer("").DnsServer("10.0.1.53"));
    EXPECT_EQ(info.m_DnsServers, (Texts{"10.0.0.53", "10.0.1.53"}));
}

TEST_F(AdapterRecordTest, FailedPerAdapterQueryTouchesOnlyItsRecord)
{
    const auto Configured = [](const char* pszName, DWORD nIndex)
    { return CPreparedAdapter(pszName).Index(nIndex).Autoconfig(1, 1).DnsServer("10.0.0.53"); };
    const std::pair<Call, DWORD> kFailures[] = {
        {Call::SizeQuery, ERROR_NOT_SUPPORTED},
        {Call::SizeQuery, NO_ERROR}, // a size query that brings no data
        {Call::Fill, ERROR_INVALID_PARAMETER},
        {Call::Fill, ERROR_BUFFER_OVERFLOW}};
    for (const auto& [call, dwCode] : kFailures)
    {
        SCOPED_TRACE(dwCode);
        CPreparedIpHelper helper;
        helper.Add(Configured("{A}", 4));
        helper.Add(Configured("{B}", 9));
        helper.Add(Configured("{C}", 12));
        helper.AnswerPerAdapterInfo(9, call, dwCode);
        CAdapterInventory inventory(helper);
        ASSERT_EQ(inventory.EnumerateAdapters(), 1);
        const AdapterList& adapters = inventory.m_AdapterList;
        ASSERT_EQ(adapters.size(), 3u);
        EXPECT_EQ(adapters[1].m_strAdapterName, "{B}");
        EXPECT_EQ(adapters[1].m_bAutoconfigEnabled, 0u);
        EXPECT_EQ(adapters[1].m_bAutoconfigActive, 0u);
        EXPECT_TRUE(adapters[1].m_DnsServers.empty());
        for (const std::size_t i : {0u, 2u})
        {
            EXPECT_EQ(adapters[i].m_bAutoconfigEnabled, 1u);
            EXPECT_EQ(adapters[i].m_bAutoconfigActive, 1u);
            EXPECT_EQ(adapters[i].m_DnsServers, Texts{"10.0.0.53"});
        }
    }
}

TEST_F(AdapterRecordTest, PerAdapterBlockAboveTheLimitIsLeftOut)
{
    m_helper.PadPerAdapterInfo(CAdapterInventory::kMaxBlockSize);
    const AdapterInfo info =
        Record(CPreparedAdapter("{A}").Autoconfig(1, 1).DnsServer("10.0.0.53"));
    EXPECT_EQ(info.m_strAdapterName, "{A}");
    EXPECT_EQ(info.m_bAutoconfigEnabled, 0u);
    EXPECT_TRUE(info.m_DnsServers.empty());
    EXPECT_EQ(m_helper.PerAdapterInfoCalls().size(), 1u);
}

TEST_F(AdapterRecordTest, DuplicateHardwareAddressesGiveTwoRecords)
{
    m_helper.Add(CPreparedAdapter("{first}").HardwareAddress({0x00, 0x50, 0x56, 0xC0, 0x00, 0x08}));
    m_helper.Add(
        CPreparedAdapter("{second}").HardwareAddress({0x00, 0x50, 0x56, 0xC0, 0x00, 0x08, 0x01}));
    const AdapterList& adapters = Snapshot();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[0].m_strMacAddress, "00:50:56:C0:00:08");
    EXPECT_EQ(adapters[1].m_strMacAddress, "00:50:56:C0:00:08");
    EXPECT_EQ(Names(), (std::vector<CString>{"{first}", "{second}"}));
}

// Platform fields are read up to their end even when no zero byte ends them.
TEST_F(InventoryTest, UnterminatedFieldsEndAtTheirSize)
{
    IP_ADAPTER_INFO adapter{};
    std::memset(adapter.AdapterName, 'N', sizeof adapter.AdapterName);
    std::memset(adapter.Description, 'D', sizeof adapter.Description);
    std::memset(adapter.IpAddressList.IpAddress.String, '9', sizeof(IP_ADDRESS_STRING));
    std::memset(adapter.IpAddressList.IpMask.String, '8', sizeof(IP_MASK_STRING));
    m_inventory.AddAdapter(adapter);
    ASSERT_EQ(m_inventory.m_AdapterList.size(), 1u);
    const AdapterInfo& info = m_inventory.m_AdapterList.front();
    EXPECT_EQ(info.m_strAdapterName, CString(MAX_ADAPTER_NAME_LENGTH + 4, 'N'));
    EXPECT_EQ(info.m_strDescription, CString(MAX_ADAPTER_DESCRIPTION_LENGTH + 4, 'D'));
    EXPECT_EQ(info.m_IpAddresses, Texts{CString(16, '9')});
    EXPECT_EQ(info.m_strSubnetMask, CString(16, '8'));
}

TEST(CopyAddressList, AppendsWithoutEmptyingTheList)
{
    IP_ADDR_STRING second{};
    std::strcpy(second.IpAddress.String, "10.0.0.2");
    IP_ADDR_STRING first{};
    first.Next = &second;
    std::strcpy(first.IpAddress.String, "10.0.0.1");

    AddressList addresses{"192.0.2.1"};
    CAdapterInventory::CopyAddressList(first, addresses);
    EXPECT_EQ(addresses, (Texts{"192.0.2.1", "10.0.0.1", "10.0.0.2"}));
}
} // namespace
