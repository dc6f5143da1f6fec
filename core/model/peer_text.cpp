#include "core/model/peer_text.h"

#include "core/wire/hex_text.h"
#include "platform/utf8.h"

namespace
{
struct CodeRange
{
    char32_t m_nFirst;
    char32_t m_nLast;
};

// Every code point shown as an escape in every charset. Letters that merely
// look blank (the Hangul fillers) and the variation selectors of emoji
// (U+FE00 to U+FE0F) are drawn as what they are and stay.
constexpr CodeRange kEscapedRanges[] = {
    {0x0000, 0x001F},   // C0 controls: a terminal obeys them (ESC starts its sequences)
    {0x007F, 0x009F},   // DEL, and the C1 controls, which a terminal may read as CSI or OSC
    {0x00AD, 0x00AD},   // soft hyphen: invisible unless a line breaks there
    {0x061C, 0x061C},   // Arabic letter mark: bidirectional formatting
    {0x180E, 0x180E},   // Mongolian vowel separator: invisible
    {0x200B, 0x200F},   // zero-width space, non-joiner and joiner; LRM and RLM
    {0x2028, 0x2029},   // line and paragraph separators: a label breaks its line there
    {0x202A, 0x202E},   // bidirectional embeddings and overrides: reorder what follows
    {0x2060, 0x2065},   // word joiner and the invisible operators (2065 is reserved as such)
    {0x2066, 0x2069},   // bidirectional isolates
    {0x206A, 0x206F},   // deprecated format characters: invisible
    {0xFEFF, 0xFEFF},   // zero-width no-break space (a byte order mark)
    {0xFFF9, 0xFFFB},   // interlinear annotation: hides the annotated text
    {0xE0000, 0xE007F}, // tags: an invisible copy of any ASCII text
    {0xE0100, 0xE01EF}, // variation selectors 17 to 256: invisible, in no emoji
};

PeerCharset g_charset = PeerCharset::Utf8;

// \xNN for a byte, \uXXXX for a code point, \UXXXXXXXX past U+FFFF.
void AppendEscape(std::string& strShown, char cLetter, int nDigits, char32_t nValue)
{
    strShown += '\\';
    strShown += cLetter;
    for (int nShift = 4 * (nDigits - 2); nShift >= 0; nShift -= 8)
        AppendHexByte(strShown, static_cast<std::uint8_t>(nValue >> nShift), HexCase::Upper);
}
} // namespace

bool IsEscapedCodePoint(char32_t nCode)
{
    for (const CodeRange& range : kEscapedRanges)
    {
        if (nCode >= range.m_nFirst && nCode <= range.m_nLast)
            return true;
    }
    return false;
}

void AppendShownPeerText(std::string& strShown, std::string_view text, PeerCharset charset)
{
    for (std::size_t pos = 0; pos < text.size();)
    {
        const std::size_t nStart = pos;
        const char32_t nCode = DecodeUtf8(text, pos);
        // Printable ASCII first, the common case; a malformed sequence gives
        // U+FFFD for its first byte alone, the character itself takes three.
        if (nCode >= 0x20 && nCode < 0x7F)
            strShown += text[nStart];
        else if ((nCode == kReplacementCharacter && pos - nStart == 1) || nCode < 0x20 ||
                 nCode == 0x7F)
            AppendEscape(strShown, 'x', 2, static_cast<unsigned char>(text[nStart]));
        else if (IsEscapedCodePoint(nCode) || (charset == PeerCharset::Ascii && nCode >= 0x80))
            AppendEscape(strShown, nCode > 0xFFFF ? 'U' : 'u', nCode > 0xFFFF ? 8 : 4, nCode);
        else
            strShown.append(text, nStart, pos - nStart);
    }
}

std::string ShownPeerText(std::string_view text, PeerCharset charset)
{
    std::string strShown;
    strShown.reserve(text.size());
    AppendShownPeerText(strShown, text, charset);
    return strShown;
}

PeerCharset PeerTextCharset()
{
    return g_charset;
}

void SetPeerTextCharset(PeerCharset charset)
{
    g_charset = charset;
}
