#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<char32_t> CodePoints(std::string_view text)
{
    std::vector<char32_t> points;
    for (std::size_t pos = 0; pos < text.size();)
        points.push_back(DecodeUtf8(text, pos));
    return points;
}

constexpr char32_t R = kReplacementCharacter;

TEST(DecodeUtf8, WellFormedSequencesOfEachLength)
{
    EXPECT_EQ(CodePoints("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::vector<char32_t>{U'a', 0xE9, 0x20AC, 0x1F600}));
    EXPECT_EQ(CodePoints("\xF4\x8F\xBF\xBF\xEF\xBF\xBD"), (std::vector<char32_t>{0x10FFFF, R}));
    EXPECT_EQ(CodePoints(std::string_view("\0", 1)), (std::vector<char32_t>{0}));
}

// Each malformed sequence gives U+FFFD for its first byte; reading goes on
// at the next, so the rest of a text survives a bad byte.
TEST(DecodeUtf8, MalformedSequencesGiveOneReplacementPerByte)
{
    const struct
    {
        const char* pszText;
        std::vector<char32_t> points;
    } kCases[] = {
        {"\x80", {R}},                             // a trail byte alone
        {"\xC3", {R}},                             // cut short at the end
        {"\xC3x", {R, U'x'}},                      // cut short by ASCII
        {"\xC0\xAF", {R, R}},                      // overlong '/'
        {"\xE0\x80\xAF", {R, R, R}},               // overlong '/'
        {"\xED\xA0\x80", {R, R, R}},               // a surrogate half
        {"\xF4\x90\x80\x80", {R, R, R, R}},        // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", {R, R, R, R, R}}, // no five-byte forms
        {"\xFF", {R}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(CodePoints(c.pszText), c.points) << c.pszText;
}

TEST(ReplaceMalformedUtf8, KeepsWellFormedTextAndReplacesTheRest)
{
    EXPECT_EQ(ReplaceMalformedUtf8("lab.test \xC3\xA9\xF0\x9F\x98\x80"),
              "lab.test \xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(ReplaceMalformedUtf8("a\xE9t\xC3"), "a\xEF\xBF\xBDt\xEF\xBF\xBD");
    EXPECT_EQ(ReplaceMalformedUtf8(""), "");
}
} // namespace
