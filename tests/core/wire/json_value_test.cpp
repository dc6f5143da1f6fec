#include "core/wire/json_value.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Kind = JsonValue::Kind;

TEST(ParseJson, ObjectsArraysAndScalars)
{
    const auto value = ParseJson(R"( {"Address": "10.99.0.146", "DNS": [[10, 99, 0, 1], "x"],
                                      "Lifetime": 600, "On": true, "Off": false, "None": null} )");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->m_kind, Kind::Object);
    ASSERT_EQ(value->m_Keys,
              (std::vector<std::string>{"Address", "DNS", "Lifetime", "On", "Off", "None"}));
    EXPECT_EQ(value->m_Items[0].m_strText, "10.99.0.146");
    ASSERT_EQ(value->m_Items[1].m_Items.size(), 2u);
    EXPECT_EQ(value->m_Items[1].m_Items[0].m_Items[3].m_strText, "1");
    EXPECT_EQ(value->m_Items[2].m_kind, Kind::Number);
    EXPECT_EQ(value->m_Items[2].m_strText, "600");
    EXPECT_TRUE(value->m_Items[3].m_bValue);
    EXPECT_EQ(value->m_Items[4].m_kind, Kind::Boolean);
    EXPECT_FALSE(value->m_Items[4].m_bValue);
    EXPECT_EQ(value->m_Items[5].m_kind, Kind::Null);
}

TEST(ParseJson, StringEscapesBecomeUtf8)
{
    const auto value = ParseJson(R"("a\"\\\/\b\f\n\r\t\u0041\u00e9\u20ac\ud83d\ude00")");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->m_strText, "a\"\\/\b\f\n\r\tA\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    // Lone surrogate halves, unknown escapes and raw control bytes are refused.
    for (const char* pszBad : {R"("\ud83d")", R"("\ude00")", R"("\ud83dx")", R"("\q")", R"("\u12")",
                               "\"a\nb\"", "\"open"})
        EXPECT_FALSE(ParseJson(pszBad)) << pszBad;
    EXPECT_FALSE(ParseJson(std::string("\"a\0b\"", 5)));
}

TEST(ParseJson, NumberGrammar)
{
    for (const char* pszGood : {"0", "-0", "600", "-12.5e+3", "1E9", "0.25"})
        EXPECT_TRUE(ParseJson(pszGood)) << pszGood;
    for (const char* pszBad : {"01", "-", "1.", ".5", "1e", "+1", "0x10", "NaN", "1 2"})
        EXPECT_FALSE(ParseJson(pszBad)) << pszBad;
}

TEST(ParseJson, MalformedDocuments)
{
    for (const char* pszBad : {"", "{", "}", "[1,]", "{\"a\":1,}", "{\"a\" 1}", "{a:1}", "[1 2]",
                               "{\"a\":1}}", "tru", "nul", "{'a':1}", "[1]x"})
        EXPECT_FALSE(ParseJson(pszBad)) << pszBad;
}

TEST(ParseJson, NestingAndValueCountAreCapped)
{
    // The document itself is depth 0: kMaxJsonDepth more levels are allowed.
    const auto Nested = [](int nLevels)
    {
        return std::string(static_cast<std::size_t>(nLevels), '[') +
               std::string(static_cast<std::size_t>(nLevels), ']');
    };
    EXPECT_TRUE(ParseJson(Nested(kMaxJsonDepth + 1)));
    EXPECT_FALSE(ParseJson(Nested(kMaxJsonDepth + 2)));
    EXPECT_FALSE(ParseJson(Nested(100000)));

    std::string strMany = "[0";
    for (std::size_t i = 1; i < kMaxJsonValues - 1; ++i)
        strMany += ",0";
    EXPECT_TRUE(ParseJson(strMany + "]"));
    EXPECT_FALSE(ParseJson(strMany + ",0]"));
}
} // namespace
