#include "core/wire/hex_text.h"

#include <gtest/gtest.h>

#include <vector>

TEST(HexText, WritesEachByteAsTwoDigitsInTheCaseAsked)
{
    const std::vector<std::uint8_t> bytes = {0x00, 0x0a, 0xf0, 0xff};
    struct Case
    {
        std::size_t length;
        HexCase letters;
        const char* hex;
        const char* mac;
    };
    const Case cases[] = {
        {0, HexCase::Lower, "", ""},
        {1, HexCase::Upper, "00", "00"},
        {4, HexCase::Lower, "000af0ff", "00:0a:f0:ff"},
        {4, HexCase::Upper, "000AF0FF", "00:0A:F0:FF"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(HexText(bytes.data(), c.length, c.letters), c.hex);
        EXPECT_EQ(MacText(bytes.data(), c.length, c.letters), c.mac);
    }
}
