// Taking the snapshot: the two-call contract, every failing answer, and the
// refills when adapters appear between the calls.
#include "tests/win32/inventory_fixture.h"

#include <new>
#include <utility>

namespace
{
using Call = CPreparedIpHelper::Call;

const char kInsufficientMemory[] = "\n Insufficient Memory ";

CPreparedAdapter Adapter(const char* pszName)
{
    return CPreparedAdapter(pszName).HardwareAddress({0x00, 0x0C, 0x29, 0x00, 0x00, 0x01});
}

TEST_F(InventoryTest, MachineWithoutAdaptersGivesZeroAndAnEmptyList)
{
    int nResult = -1;
    EXPECT_EQ(Enumerate(nResult), "");
    EXPECT_EQ(nResult, 0);
    EXPECT_TRUE(m_inventory.m_AdapterList.empty());
    EXPECT_EQ(m_helper.AdaptersInfoCalls().size(), 1u);
}

TEST_F(InventoryTest, RecordsFollowTheChainOrder)
{
    m_helper.Add(Adapter("{C}"));
    m_helper.Add(Adapter("{A}"));
    m_helper.Add(Adapter("{B}"));
    EXPECT_EQ(Snapshot().size(), 3u);
    EXPECT_EQ(Names(), (std::vector<CString>{"{C}", "{A}", "{B}"}));
}

TEST_F(InventoryTest, BothQueriesAskForTheSizeFirstThenPassExactlyThatSize)
{
    m_helper.Add(
        Adapter("{A}").IpAddress("10.0.0.5", "255.0.0.0").IpAddress("10.0.0.6", "255.0.0.0"));
    m_helper.Add(Adapter("{B}").Index(17).DnsServer("10.0.0.53").DnsServer("10.0.0.54"));
    Snapshot();

    const auto& calls = m_helper.AdaptersInfoCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[0].bBuffer);
    EXPECT_EQ(calls[0].nSize, 0u);
    EXPECT_TRUE(calls[1].bBuffer);
    EXPECT_EQ(calls[1].nSize, 2 * sizeof(IP_ADAPTER_INFO) + sizeof(IP_ADDR_STRING));

    const auto& perAdapter = m_helper.PerAdapterInfoCalls();
    ASSERT_EQ(perAdapter.size(), 4u);
    EXPECT_EQ(perAdapter[0].nIndex, 1u);
    EXPECT_EQ(perAdapter[2].nIndex, 17u);
    EXPECT_FALSE(perAdapter[2].bBuffer);
    EXPECT_EQ(perAdapter[2].nSize, 0u);
    EXPECT_TRUE(perAdapter[3].bBuffer);
    EXPECT_EQ(perAdapter[3].nSize, sizeof(IP_PER_ADAPTER_INFO) + sizeof(IP_ADDR_STRING));
}

TEST_F(InventoryTest, FirstAnswerNoErrorIsASuccessWithoutAdapters)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.AnswerAdaptersInfo(Call::SizeQuery, NO_ERROR);
    EXPECT_TRUE(Snapshot().empty());
    EXPECT_EQ(m_helper.AdaptersInfoCalls().size(), 1u);
}

TEST_F(InventoryTest, EveryOtherFailingAnswerEmptiesTheList)
{
    const std::pair<Call, DWORD> kFailures[] = {{Call::SizeQuery, ERROR_NOT_SUPPORTED},
                                                {Call::SizeQuery, ERROR_INVALID_PARAMETER},
                                                {Call::SizeQuery, ERROR_NO_DATA},
                                                {Call::Fill, ERROR_NOT_SUPPORTED},
                                                {Call::Fill, ERROR_NO_DATA},
                                                {Call::Fill, ERROR_INVALID_DATA}};
    for (const auto& [call, dwCode] : kFailures)
    {
        SCOPED_TRACE(dwCode);
        CPreparedIpHelper helper;
        helper.Add(Adapter("{A}"));
        CAdapterInventory inventory(helper);
        ASSERT_EQ(inventory.EnumerateAdapters(), 1); // an earlier snapshot is dropped too
        helper.AnswerAdaptersInfo(call, dwCode);
        testing::internal::CaptureStdout();
        EXPECT_EQ(inventory.EnumerateAdapters(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(inventory.m_AdapterList.empty());
    }
}

TEST_F(InventoryTest, EnumeratingAgainReplacesTheSnapshot)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.Add(Adapter("{B}"));
    Snapshot();
    m_helper.Add(Adapter("{C}"));
    Snapshot();
    EXPECT_EQ(Names(), (std::vector<CString>{"{A}", "{B}", "{C}"}));
}

TEST_F(InventoryTest, AdapterAppearingBetweenTheCallsIsListed)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.AppearOneByOne({Adapter("{B}")});
    Snapshot();
    EXPECT_EQ(Names(), (std::vector<CString>{"{A}", "{B}"}));

    const auto& calls = m_helper.AdaptersInfoCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].nSize, sizeof(IP_ADAPTER_INFO));
    EXPECT_EQ(calls[2].nSize, 2 * sizeof(IP_ADAPTER_INFO));
}

TEST_F(InventoryTest, ThreeRefillsAreTriedThenTheEnumerationGivesUp)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.AppearOneByOne({Adapter("{B}"), Adapter("{C}"), Adapter("{D}")});
    EXPECT_EQ(Snapshot().size(), 4u);
    EXPECT_EQ(m_helper.AdaptersInfoCalls().size(), 5u);

    CPreparedIpHelper busy;
    busy.Add(Adapter("{A}"));
    busy.AppearOneByOne({Adapter("{B}"), Adapter("{C}"), Adapter("{D}"), Adapter("{E}")});
    CAdapterInventory inventory(busy);
    EXPECT_EQ(inventory.EnumerateAdapters(), 0);
    EXPECT_TRUE(inventory.m_AdapterList.empty());
    EXPECT_EQ(busy.AdaptersInfoCalls().size(), 5u);
}

TEST_F(InventoryTest, BlockAboveTheLimitIsInsufficientMemory)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.PadAdaptersInfo(CAdapterInventory::kMaxBlockSize - m_helper.AdaptersInfoSize());
    EXPECT_EQ(Snapshot().size(), 1u); // the limit itself is still obtained

    m_helper.PadAdaptersInfo(CAdapterInventory::kMaxBlockSize - sizeof(IP_ADAPTER_INFO) + 1);
    int nResult = -1;
    EXPECT_EQ(Enumerate(nResult), kInsufficientMemory);
    EXPECT_EQ(nResult, 0);
    EXPECT_TRUE(m_inventory.m_AdapterList.empty());
    EXPECT_EQ(m_helper.AdaptersInfoCalls().size(), 3u); // no call without a block
}

TEST_F(InventoryTest, RefillAboveTheLimitIsInsufficientMemory)
{
    m_helper.Add(Adapter("{A}"));
    m_helper.PadAdaptersInfo(CAdapterInventory::kMaxBlockSize - m_helper.AdaptersInfoSize());
    m_helper.AppearOneByOne({Adapter("{B}")});
    int nResult = -1;
    EXPECT_EQ(Enumerate(nResult), kInsufficientMemory);
    EXPECT_EQ(nResult, 0);
    EXPECT_TRUE(m_inventory.m_AdapterList.empty());
    EXPECT_EQ(m_helper.AdaptersInfoCalls().size(), 2u);
}

// An IP helper whose filled block does not hold what its links promise.
class CBrokenChainHelper final : public CIpHelper
{
public:
    enum class Fault
    {
        LinkToItself,
        LinkPastTheBlock,
        BlockShorterThanARecord
    };
    explicit CBrokenChainHelper(Fault fault) : m_fault(fault) {}

    DWORD GetAdaptersInfo(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen) override
    {
        const ULONG nSize = m_fault == Fault::BlockShorterThanARecord ? sizeof(IP_ADAPTER_INFO) - 1
                                                                      : sizeof(IP_ADAPTER_INFO);
        if (pAdapterInfo == nullptr)
        {
            *pOutBufLen = nSize;
            return ERROR_BUFFER_OVERFLOW;
        }
        if (m_fault == Fault::BlockShorterThanARecord)
            return NO_ERROR;
        auto* pRecord = new (pAdapterInfo) IP_ADAPTER_INFO{};
        pRecord->AdapterName[0] = 'x';
        pRecord->Next = m_fault == Fault::LinkToItself ? pRecord : pRecord + 1;
        return NO_ERROR;
    }

    DWORD GetPerAdapterInfo(ULONG, PIP_PER_ADAPTER_INFO, PULONG) override
    {
        return ERROR_NOT_SUPPORTED;
    }

private:
    Fault m_fault;
};

TEST(InventoryBrokenChain, WalkReadsOnlyRecordsInsideTheBlock)
{
    const std::pair<CBrokenChainHelper::Fault, std::size_t> kCases[] = {
        {CBrokenChainHelper::Fault::LinkToItself, 1},
        {CBrokenChainHelper::Fault::LinkPastTheBlock, 1},
        {CBrokenChainHelper::Fault::BlockShorterThanARecord, 0}};
    for (const auto& [fault, nRecords] : kCases)
    {
        SCOPED_TRACE(static_cast<int>(fault));
        CBrokenChainHelper helper(fault);
        CAdapterInventory inventory(helper);
        EXPECT_EQ(inventory.EnumerateAdapters(), 1);
        EXPECT_EQ(inventory.m_AdapterList.size(), nRecords);
    }
}
} // namespace
