// The operating system's own IP helper, under Wine in the test run.
#include "win32/adapter_inventory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

namespace
{
const std::regex kSixPairs("([0-9A-F]{2}:){5}[0-9A-F]{2}");
const CString kNoAddress = "00:00:00:00:00:00";

CAdapterInventory& Inventory()
{
    static CAdapterInventory s_inventory(PlatformIpHelper());
    return s_inventory;
}

TEST(IphlpapiInventory, EveryAdapterHasANameAndASixPairHardwareAddress)
{
    testing::internal::CaptureStdout();
    ASSERT_EQ(Inventory().EnumerateAdapters(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_FALSE(Inventory().m_AdapterList.empty());
    for (const AdapterInfo& info : Inventory().m_AdapterList)
    {
        EXPECT_FALSE(info.m_strAdapterName.empty());
        EXPECT_TRUE(std::regex_match(info.m_strMacAddress, kSixPairs)) << info.m_strMacAddress;
    }
}

// The test script passes the host's hardware addresses in VEYRA_HOST_MACS
// (/sys/class/net/*/address, upper case, comma-separated, the loopback's
// all-zero address left out). Wine lists the host's interfaces, but never the
// loopback and not necessarily every other one, so the rule is: every address
// Wine reports (all-zero ones aside, as on the host side) is one of the host's,
// and at least one of the host's is reported. Host tokens that are not six
// pairs belong to hardware of another address length and can equal no record.
TEST(IphlpapiInventory, HardwareAddressesAreTheHostsOwn)
{
    const char* pszHost = std::getenv("VEYRA_HOST_MACS");
    if (pszHost == nullptr)
        GTEST_SKIP() << "VEYRA_HOST_MACS is set by scripts/wine-ctest";

    std::set<CString> host;
    std::istringstream list(pszHost);
    for (CString strToken; std::getline(list, strToken, ',');)
        if (std::regex_match(strToken, kSixPairs) && strToken != kNoAddress)
            host.insert(strToken);
    if (host.empty())
        GTEST_SKIP() << "the host has no interface with a six-byte hardware address";

    ASSERT_EQ(Inventory().EnumerateAdapters(), 1);
    std::set<CString> listed;
    for (const AdapterInfo& info : Inventory().m_AdapterList)
        if (info.m_strMacAddress != kNoAddress)
            listed.insert(info.m_strMacAddress);
    EXPECT_FALSE(listed.empty());
    for (const CString& strAddress : listed)
        EXPECT_EQ(host.count(strAddress), 1u) << strAddress << " is not among " << pszHost;
}

// Our records must have the layout the platform writes: the block holds each
// record whole, every link stays inside it, and the lease times (the fields
// whose width differs between 32- and 64-bit builds, and the last ones) read
// as calendar times rather than as parts of two other values.
TEST(IphlpapiLayout, RecordsLieInsideTheBlockWithPlausibleFields)
{
    CIpHelper& helper = PlatformIpHelper();
    ULONG nSize = 0;
    ASSERT_EQ(helper.GetAdaptersInfo(nullptr, &nSize), ERROR_BUFFER_OVERFLOW);
    std::vector<std::uint64_t> block(nSize / sizeof(std::uint64_t) + 1);
    auto* pFirst = reinterpret_cast<PIP_ADAPTER_INFO>(block.data());
    ASSERT_EQ(helper.GetAdaptersInfo(pFirst, &nSize), NO_ERROR);

    const auto* pStart = reinterpret_cast<const BYTE*>(block.data());
    const auto Inside = [&](const void* p, std::size_t nBytes)
    {
        const auto* pByte = static_cast<const BYTE*>(p);
        return pByte >= pStart && pByte + nBytes <= pStart + nSize;
    };
    constexpr std::int64_t kYear2242 = std::int64_t{1} << 33;
    for (const IP_ADAPTER_INFO* p = pFirst; p != nullptr; p = p->Next)
    {
        ASSERT_TRUE(Inside(p, sizeof *p));
        EXPECT_LE(p->AddressLength, static_cast<UINT>(MAX_ADAPTER_ADDRESS_LENGTH));
        for (const IP_ADDR_STRING* pEntry = p->IpAddressList.Next; pEntry != nullptr;
             pEntry = pEntry->Next)
            ASSERT_TRUE(Inside(pEntry, sizeof *pEntry));
        EXPECT_GE(p->LeaseObtained, 0);
        EXPECT_LT(p->LeaseObtained, kYear2242);
        EXPECT_GE(p->LeaseExpires, 0);
        EXPECT_LT(p->LeaseExpires, kYear2242);
    }
}
} // namespace
