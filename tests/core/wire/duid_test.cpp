#include "core/wire/duid.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

struct DuidCase
{
    const char* what;
    Bytes bytes;
    bool read;
    std::uint16_t type;
    std::size_t restLength; // what follows the type's fixed fields
};

const DuidCase kDuids[] = {
    {"LltWithEthernet", {0, 1, 0, 1, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6}, true, kDuidLlt, 6},
    {"LltWithoutAddress", {0, 1, 0, 1, 0, 0, 0, 0}, true, kDuidLlt, 0},
    {"LltCutInItsTime", {0, 1, 0, 1, 0, 0, 0}, false, 0, 0},
    {"EnCutInItsEnterprise", {0, 2, 0, 0, 0}, false, 0, 0},
    {"LlCutInItsHardwareType", {0, 3, 0}, false, 0, 0},
    {"UuidOneShort", {0, 4, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, false, 0, 0},
    {"UnknownTypeKeepsItsBytes", {0x12, 0x34, 0xab}, true, 0x1234, 1},
    {"TypeAlone", {0, 9}, true, 9, 0},
    {"OneByte", {0}, false, 0, 0},
};

std::string CaseName(const testing::TestParamInfo<DuidCase>& param)
{
    return param.param.what;
}

class ReadsDuid : public testing::TestWithParam<DuidCase>
{
};

TEST_P(ReadsDuid, ByItsType)
{
    const DuidCase& c = GetParam();
    const std::optional<Duid> duid = ReadDuid(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(duid.has_value(), c.read);
    if (!duid)
        return;
    EXPECT_EQ(duid->type, c.type);
    EXPECT_EQ(duid->restLength, c.restLength);
    EXPECT_EQ(duid->rest + duid->restLength, c.bytes.data() + c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Duid, ReadsDuid, testing::ValuesIn(kDuids), CaseName);

TEST(Duid, BoundsItsLengthAsRfc8415Does)
{
    Bytes longest(130, 0);
    longest[1] = kDuidEn;
    EXPECT_TRUE(ReadDuid(longest.data(), longest.size()));
    longest.push_back(0);
    EXPECT_FALSE(ReadDuid(longest.data(), longest.size()));
}

TEST(Duid, TimeCountsFrom2000InUtc)
{
    EXPECT_EQ(DuidTimeText(0), "2000-01-01 00:00:00 UTC");
    EXPECT_EQ(DuidTimeText(5183999), "2000-02-29 23:59:59 UTC"); // a leap day
    EXPECT_EQ(DuidTimeText(4294967295u), "2136-02-07 06:28:15 UTC");
}
} // namespace
