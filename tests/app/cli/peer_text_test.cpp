// The one rule for peer text, as each output of the command writes it.
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/peer_text.h"
#include "core/model/tsv_text.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace
{
struct PeerTextCase
{
    const char* pszWhat;
    std::string strBytes;
    PeerCharset charset;
    const char* pszRows; // TerminalSafe: the rows, the adapter list, messages
    const char* pszTsv;  // TsvCell: --tsv, the window's clipboard and Save As
    const char* pszJson; // JsonString
};

using namespace std::string_literals;
constexpr PeerCharset kUtf8 = PeerCharset::Utf8;
constexpr PeerCharset kAscii = PeerCharset::Ascii;

const PeerTextCase kCases[] = {
    {"printable ASCII; TSV and JSON escape the backslash", R"(a\b "q")", kUtf8, R"(a\b "q")",
     R"(a\\b "q")", R"("a\\b \"q\"")"},
    {"C0 controls, NUL too", "\x1B[2J\t\n\r\0"s, kUtf8, R"(\x1B[2J\x09\x0A\x0D\x00)",
     R"(\x1B[2J\t\n\r\x00)", R"("\u001B[2J\u0009\u000A\u000D\u0000")"},
    {"DEL and C1 controls (NEL, CSI)", "\x7F\xC2\x85\xC2\x9B", kUtf8, R"(\x7F\u0085\u009B)",
     R"(\x7F\u0085\u009B)", R"("\u007F\u0085\u009B")"},
    // A stray byte, a lead cut short by '(', an overlong '/', a surrogate and
    // a sequence cut off at the end: each byte alone.
    {"malformed UTF-8", "\xFF\xC3(\xC0\xAF\xED\xA0\x80\xE2\x82", kUtf8,
     R"(\xFF\xC3(\xC0\xAF\xED\xA0\x80\xE2\x82)", R"(\xFF\xC3(\xC0\xAF\xED\xA0\x80\xE2\x82)",
     "\"\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
     "\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"a real U+FFFD is a character", "\xEF\xBF\xBD", kUtf8, "\xEF\xBF\xBD", "\xEF\xBF\xBD",
     "\"\xEF\xBF\xBD\""},
    {"bidirectional formatting: RLO, LRI, PDI, ALM, RLM",
     "\xE2\x80\xAE\xE2\x81\xA6\xE2\x81\xA9\xD8\x9C\xE2\x80\x8F", kUtf8,
     R"(\u202E\u2066\u2069\u061C\u200F)", R"(\u202E\u2066\u2069\u061C\u200F)",
     R"("\u202E\u2066\u2069\u061C\u200F")"},
    {"invisible: ZWSP, BOM, soft hyphen, word joiner, line separator",
     "\xE2\x80\x8B\xEF\xBB\xBF\xC2\xAD\xE2\x81\xA0\xE2\x80\xA8", kUtf8,
     R"(\u200B\uFEFF\u00AD\u2060\u2028)", R"(\u200B\uFEFF\u00AD\u2060\u2028)",
     R"("\u200B\uFEFF\u00AD\u2060\u2028")"},
    {"a tag past U+FFFF", "\xF3\xA0\x81\x81", kUtf8, R"(\U000E0041)", R"(\U000E0041)",
     R"("\uDB40\uDC41")"},
    // Just outside the ranges: NBSP, hair space, per mille, an emoji's
    // variation selector.
    {"neighbours of the escaped ranges stay", "\xC2\xA0\xE2\x80\x8A\xE2\x80\xB0\xEF\xB8\x8F", kUtf8,
     "\xC2\xA0\xE2\x80\x8A\xE2\x80\xB0\xEF\xB8\x8F", "\xC2\xA0\xE2\x80\x8A\xE2\x80\xB0\xEF\xB8\x8F",
     "\"\xC2\xA0\xE2\x80\x8A\xE2\x80\xB0\xEF\xB8\x8F\""},
    {"letters stay in UTF-8", "caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80", kUtf8,
     "caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80",
     "\"caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80\""},
    {"in ASCII every letter beyond it is escaped", "caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80",
     kAscii, R"(caf\u00E9 \u20AC\U0001F600)", R"(caf\u00E9 \u20AC\U0001F600)",
     R"("caf\u00E9 \u20AC\uD83D\uDE00")"},
    {"in ASCII a C1 control and a stray byte", "\xC2\x9B\xFF", kAscii, R"(\u009B\xFF)",
     R"(\u009B\xFF)", R"("\u009B\uFFFD")"},
    // With the backslash escaped, data that spells an escape reads apart from it.
    {"an escape's spelling in the data", "\\x1B\x1B", kUtf8, R"(\x1B\x1B)", R"(\\x1B\x1B)",
     R"("\\x1B\u001B")"},
};

// The charset for one case, the process's again after it.
class CCharsetScope
{
public:
    explicit CCharsetScope(PeerCharset charset) : m_previous(PeerTextCharset())
    {
        SetPeerTextCharset(charset);
    }
    ~CCharsetScope() { SetPeerTextCharset(m_previous); }

private:
    PeerCharset m_previous;
};

TEST(PeerText, OneRuleForRowsTsvAndJson)
{
    for (const PeerTextCase& test : kCases)
    {
        const CCharsetScope scope(test.charset);
        EXPECT_EQ(TerminalSafe(test.strBytes), test.pszRows) << test.pszWhat;
        EXPECT_EQ(TsvCell(test.strBytes), test.pszTsv) << test.pszWhat;
        const std::string strJson = JsonString(test.strBytes);
        EXPECT_EQ(strJson, test.pszJson) << test.pszWhat;
        // Whatever its escapes, the JSON reads back as the text itself.
        EXPECT_EQ(nlohmann::json::parse(strJson), ReplaceMalformedUtf8(test.strBytes))
            << test.pszWhat;
    }
}

TEST(PeerText, TheLocalesCodesetChoosesTheCharset)
{
    const CCharsetScope scope(PeerTextCharset());
    const char* pszBefore = std::getenv("LC_ALL");
    const std::optional<std::string> before =
        pszBefore != nullptr ? std::optional<std::string>(pszBefore) : std::nullopt;
    const struct
    {
        const char* pszLocale;
        PeerCharset charset;
    } kLocales[] = {
        {"C.UTF-8", kUtf8},
        {"C", kAscii},
        {"POSIX", kAscii},
        {"xx_NONE.UTF-8", kAscii}, // a locale not installed is C
    };
    for (const auto& test : kLocales)
    {
        ASSERT_EQ(setenv("LC_ALL", test.pszLocale, 1), 0);
        SetPeerTextCharset(test.charset == kUtf8 ? kAscii : kUtf8);
        UseTheLocalesCharset();
        EXPECT_EQ(PeerTextCharset(), test.charset) << test.pszLocale;
    }
    if (before)
        setenv("LC_ALL", before->c_str(), 1);
    else
        unsetenv("LC_ALL");
}
} // namespace
