// Shows arbitrary bytes by the peer-text rule in each output form and checks
// what every form promises: nothing a terminal obeys, nothing that hides or
// reorders text, TSV cells that cannot split, JSON that reads back as the text.
#include "app/cli/json_text.h"
#include "core/model/peer_text.h"
#include "core/model/tsv_text.h"
#include "platform/utf8.h"

#include <cstdlib>

namespace
{
// Every character of the text is one the rule lets through in the charset.
void CheckShown(std::string_view shown, PeerCharset charset)
{
    for (std::size_t pos = 0; pos < shown.size();)
    {
        const std::size_t nStart = pos;
        const char32_t nCode = DecodeUtf8(shown, pos);
        if ((nCode == kReplacementCharacter && pos - nStart == 1) || IsEscapedCodePoint(nCode) ||
            (charset == PeerCharset::Ascii && nCode >= 0x80))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string strText(reinterpret_cast<const char*>(pInput), nSize);
    for (const PeerCharset charset : {PeerCharset::Utf8, PeerCharset::Ascii})
    {
        SetPeerTextCharset(charset);
        CheckShown(ShownPeerText(strText, charset), charset);
        const CString strCell = TsvCell(strText);
        CheckShown(strCell, charset);
        if (strCell.find_first_of("\t\n\r") != CString::npos)
            std::abort();
        const std::string strJson = JsonString(strText);
        CheckShown(strJson, charset);
        if (nlohmann::json::parse(strJson) != ReplaceMalformedUtf8(strText))
            std::abort();
    }
    return 0;
}
