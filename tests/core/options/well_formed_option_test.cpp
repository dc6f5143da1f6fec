#include "core/options/well_formed_option.h"

#include <gtest/gtest.h>

namespace
{
TEST(WellFormedOption, OnlyWhatTheDecoderReadsWhole)
{
    const OptionMap offer = {
        {1, {255, 255, 255, 0}},           // subnet mask
        {3, {10, 77, 0, 1, 10, 77}},       // routers with a stray part
        {6, {10, 77, 0, 1, 10, 77, 0, 2}}, // DNS servers
        {51, {0, 0, 2}},                   // lease time one byte short
        {28, {}},                          // broadcast address without bytes
    };
    const struct
    {
        std::uint8_t code;
        const char* text; // nullptr: none
    } cases[] = {
        {1, "255.255.255.0"}, {3, nullptr},  {6, "10.77.0.1, 10.77.0.2"},
        {51, nullptr},        {28, nullptr}, {15, nullptr}, // not in the offer
    };
    for (const auto& test : cases)
    {
        const std::optional<ExtendedOption> option = WellFormedOption(offer, test.code);
        ASSERT_EQ(option.has_value(), test.text != nullptr) << int{test.code};
        if (option)
        {
            EXPECT_EQ(option->m_strText, test.text) << int{test.code};
        }
    }
}
} // namespace
