// The record writer that every IP helper of ours shares: what it writes at the
// edges of the platform's fixed fields.
#include "testing/adapter_record_writer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace
{
TEST(AdapterRecordWriter, NoAdaptersNeedNoBytes)
{
    EXPECT_EQ(AdaptersInfoSize({}), 0u);
    EXPECT_EQ(PerAdapterInfoSize({}), sizeof(IP_PER_ADAPTER_INFO));
}

TEST(AdapterRecordWriter, OverlongFieldsAreCutWithTheirTerminatingZero)
{
    AdapterRecord record;
    record.m_strName = std::string(400, 'n');
    record.m_strDescription = std::string(200, 'd');
    record.m_address = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    record.m_nAddressLength = 10;
    record.m_IpAddresses = {{"255.255.255.255.255", "255.255.255.0"}};
    const AdapterRecords records{record};

    ASSERT_EQ(AdaptersInfoSize(records), sizeof(IP_ADAPTER_INFO));
    std::vector<std::max_align_t> buffer(sizeof(IP_ADAPTER_INFO) / sizeof(std::max_align_t) + 1);
    auto* pInfo = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    WriteAdaptersInfo(records, pInfo);

    EXPECT_EQ(std::string(pInfo->AdapterName), std::string(sizeof pInfo->AdapterName - 1, 'n'));
    EXPECT_EQ(std::string(pInfo->Description), std::string(sizeof pInfo->Description - 1, 'd'));
    EXPECT_EQ(pInfo->Address[MAX_ADAPTER_ADDRESS_LENGTH - 1], 8);
    EXPECT_EQ(pInfo->AddressLength, 10u);
    EXPECT_STREQ(pInfo->IpAddressList.IpAddress.String, "255.255.255.255");
    EXPECT_EQ(pInfo->Next, nullptr);
    EXPECT_EQ(pInfo->GatewayList.Next, nullptr);
}
} // namespace
