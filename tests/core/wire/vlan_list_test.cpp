#include "core/wire/vlan_list.h"

#include <gtest/gtest.h>

namespace
{
using Vlans = std::vector<std::uint16_t>;

TEST(VlanList, ReadsIdsAndAscendingRanges)
{
    const struct
    {
        const char* text;
        std::optional<Vlans> vlans; // empty: refused
        bool descending;
    } cases[] = {
        {"10", Vlans{10}, false},
        {"20,10", Vlans{10, 20}, false},
        {"1-3,4094", Vlans{1, 2, 3, 4094}, false},
        {"5,5,1-5,3", Vlans{1, 2, 3, 4, 5}, false}, // duplicates fold
        {"7-7", Vlans{7}, false},
        {" 100 - 102 ,20", Vlans{20, 100, 101, 102}, false},
        {"", std::nullopt, false},
        {" ", std::nullopt, false},
        {"0", std::nullopt, false},
        {"4095", std::nullopt, false},
        {"010", std::nullopt, false},
        {"+10", std::nullopt, false},
        {"99999999999999999999", std::nullopt, false},
        {"10,", std::nullopt, false},
        {",10", std::nullopt, false},
        {"1-2-3", std::nullopt, false},
        {"-5", std::nullopt, false},
        {"5-", std::nullopt, false},
        {"10 20", std::nullopt, false},
        {"ten", std::nullopt, false},
        {"10-5", std::nullopt, true},
    };
    for (const auto& test : cases)
    {
        Vlans vlans;
        const std::optional<VlanListError> error = ReadVlanList(test.text, vlans);
        EXPECT_EQ(!error, test.vlans.has_value()) << test.text;
        if (test.vlans)
        {
            EXPECT_EQ(vlans, *test.vlans) << test.text;
        }
        else if (error)
        {
            EXPECT_EQ(error->descending, test.descending) << test.text;
            EXPECT_TRUE(vlans.empty()) << test.text;
        }
    }
    Vlans all(kMaxVlanId);
    for (std::uint16_t id = 1; id <= kMaxVlanId; ++id)
        all[id - 1U] = id;
    Vlans read;
    EXPECT_FALSE(ReadVlanList("1-4094", read));
    EXPECT_EQ(read, all);
    EXPECT_EQ(VlanListText(all), "1-4094");
}

TEST(VlanList, AddsToWhatIsThereAndKeepsItOnAnError)
{
    Vlans vlans{30};
    EXPECT_FALSE(ReadVlanList("10,30-31", vlans));
    EXPECT_EQ(vlans, (Vlans{10, 30, 31}));
    const std::optional<VlanListError> error = ReadVlanList("5,x7", vlans);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->item, "x7");
    EXPECT_EQ(vlans, (Vlans{10, 30, 31}));
}

TEST(VlanList, WritesRuns)
{
    EXPECT_EQ(VlanListText({}), "");
    EXPECT_EQ(VlanListText({200, 10, 11, 12, 30, 31, 10}), "10-12,30-31,200");
    EXPECT_EQ(VlanListText({7, 9}, ", "), "7, 9");
}
} // namespace
