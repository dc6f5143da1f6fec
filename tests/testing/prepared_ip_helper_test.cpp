// The prepared IP helper answers like the platform: every test of the
// inventory leans on its chains being genuine.
#include "testing/prepared_ip_helper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
// A caller's buffer, over-aligned like the heap blocks the platform fills.
struct Buffer
{
    explicit Buffer(ULONG nSize) : bytes(nSize / sizeof(std::max_align_t) + 1) {}
    template <typename T> T* As() { return reinterpret_cast<T*>(bytes.data()); }
    bool Holds(const void* p, std::size_t nSize, ULONG nBlockSize) const
    {
        const auto* pByte = static_cast<const BYTE*>(p);
        const auto* pStart = reinterpret_cast<const BYTE*>(bytes.data());
        return pByte >= pStart && pByte + nSize <= pStart + nBlockSize;
    }
    std::vector<std::max_align_t> bytes;
};

TEST(PreparedIpHelper, ChainLiesWhollyInsideTheBufferOfTheSizeAsked)
{
    CPreparedIpHelper helper;
    helper.Add(CPreparedAdapter("{A}")
                   .IpAddress("10.0.0.1", "255.0.0.0")
                   .IpAddress("10.0.0.2", "255.0.0.0")
                   .Gateway("10.0.0.254"));
    helper.Add(CPreparedAdapter("{B}")
                   .HaveWins(1)
                   .PrimaryWinsServer("10.1.0.1")
                   .PrimaryWinsServer("10.1.0.2"));

    ULONG nSize = 0;
    ASSERT_EQ(helper.GetAdaptersInfo(nullptr, &nSize), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(nSize, 2 * sizeof(IP_ADAPTER_INFO) + 2 * sizeof(IP_ADDR_STRING));

    ULONG nShort = nSize - 1;
    Buffer shortBuffer(nShort);
    EXPECT_EQ(helper.GetAdaptersInfo(shortBuffer.As<IP_ADAPTER_INFO>(), &nShort),
              ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(nShort, nSize);

    Buffer buffer(nSize);
    ASSERT_EQ(helper.GetAdaptersInfo(buffer.As<IP_ADAPTER_INFO>(), &nSize), NO_ERROR);
    std::vector<CString> seen;
    int nAdapters = 0;
    for (const IP_ADAPTER_INFO* p = buffer.As<IP_ADAPTER_INFO>(); p != nullptr; p = p->Next)
    {
        ASSERT_TRUE(buffer.Holds(p, sizeof *p, nSize));
        ++nAdapters;
        for (const IP_ADDR_STRING* pChain :
             {&p->IpAddressList, &p->GatewayList, &p->PrimaryWinsServer})
            for (const IP_ADDR_STRING* pEntry = pChain; pEntry != nullptr; pEntry = pEntry->Next)
            {
                ASSERT_TRUE(buffer.Holds(pEntry, sizeof *pEntry, nSize));
                seen.push_back(pEntry->IpAddress.String);
            }
    }
    EXPECT_EQ(nAdapters, 2);
    // Chains left empty are one embedded entry with an empty text.
    EXPECT_EQ(seen, (std::vector<CString>{"10.0.0.1", "10.0.0.2", "10.0.0.254", "", "", "",
                                          "10.1.0.1", "10.1.0.2"}));
}

TEST(PreparedIpHelper, PerAdapterRecordHoldsItsDnsChain)
{
    CPreparedIpHelper helper;
    helper.Add(CPreparedAdapter("{A}")
                   .Index(7)
                   .Autoconfig(1, 0)
                   .DnsServer("10.0.0.53")
                   .DnsServer("10.0.1.53"));

    ULONG nSize = 0;
    EXPECT_EQ(helper.GetPerAdapterInfo(8, nullptr, &nSize), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(helper.GetPerAdapterInfo(7, nullptr, &nSize), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(nSize, sizeof(IP_PER_ADAPTER_INFO) + sizeof(IP_ADDR_STRING));

    Buffer buffer(nSize);
    auto* pInfo = buffer.As<IP_PER_ADAPTER_INFO>();
    ASSERT_EQ(helper.GetPerAdapterInfo(7, pInfo, &nSize), NO_ERROR);
    EXPECT_EQ(pInfo->AutoconfigEnabled, 1u);
    const IP_ADDR_STRING* pSecond = pInfo->DnsServerList.Next;
    ASSERT_TRUE(buffer.Holds(pSecond, sizeof *pSecond, nSize));
    EXPECT_STREQ(pSecond->IpAddress.String, "10.0.1.53");
    EXPECT_EQ(pSecond->Next, nullptr);
}
} // namespace
