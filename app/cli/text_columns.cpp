#include "app/cli/text_columns.h"

#include "core/model/peer_text.h"

#include <algorithm>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

void UseTheLocalesCharset()
{
    // Read without making the locale the process's own, so that no other
    // code changes how it treats bytes.
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", nullptr);
    const bool bUtf8 =
        locale != nullptr && std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
    if (locale != nullptr)
        freelocale(locale);
    SetPeerTextCharset(bUtf8 ? PeerCharset::Utf8 : PeerCharset::Ascii);
}

std::string TerminalSafe(const std::string& strText)
{
    return ShownPeerText(strText, PeerTextCharset());
}

namespace
{
// Columns are measured in characters, so a UTF-8 sequence counts once.
std::size_t DisplayWidth(const std::string& strText)
{
    return static_cast<std::size_t>(
        std::count_if(strText.begin(), strText.end(),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
} // namespace

std::string FormatColumns(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::vector<std::string>> safeRows;
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
    {
        std::vector<std::string> safeRow;
        for (std::size_t i = 0; i < row.size(); ++i)
        {
            safeRow.push_back(TerminalSafe(row[i]));
            if (widths.size() <= i)
                widths.push_back(0);
            widths[i] = std::max(widths[i], DisplayWidth(safeRow.back()));
        }
        safeRows.push_back(std::move(safeRow));
    }
    std::string strText;
    for (const auto& row : safeRows)
    {
        std::string strLine;
        for (std::size_t i = 0; i < row.size(); ++i)
        {
            strLine += row[i];
            if (i + 1 < row.size())
                strLine.append(widths[i] - DisplayWidth(row[i]) + 2, ' ');
        }
        strLine.erase(strLine.find_last_not_of(' ') + 1);
        strText += strLine + '\n';
    }
    return strText;
}

std::string TerminalSafeLines(const std::string& strText)
{
    std::string strSafe;
    std::size_t nStart = 0;
    for (;;)
    {
        const std::size_t nEnd = strText.find_first_of("\t\n\r", nStart);
        strSafe += TerminalSafe(strText.substr(nStart, nEnd - nStart));
        if (nEnd == std::string::npos)
            return strSafe;
        strSafe += strText[nEnd] == '\r' ? "\\x0D\n" : std::string(1, strText[nEnd]);
        nStart = nEnd + 1;
    }
}
