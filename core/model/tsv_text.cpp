#include "core/model/tsv_text.h"

#include "core/model/peer_text.h"

CString TsvCell(const CString& strCell)
{
    const std::string_view cell = strCell;
    const PeerCharset charset = PeerTextCharset();
    CString strEscaped;
    strEscaped.reserve(strCell.size());
    for (std::size_t nStart = 0;;)
    {
        // ASCII bytes never occur inside a UTF-8 sequence, so the pieces
        // between them are shown as the whole cell would be.
        const std::size_t nEnd = cell.find_first_of("\t\n\r\\", nStart);
        AppendShownPeerText(strEscaped, cell.substr(nStart, nEnd - nStart), charset);
        if (nEnd == std::string_view::npos)
            return strEscaped;
        switch (cell[nEnd])
        {
        case '\t':
            strEscaped += "\\t";
            break;
        case '\n':
            strEscaped += "\\n";
            break;
        case '\r':
            strEscaped += "\\r";
            break;
        default:
            strEscaped += "\\\\";
            break;
        }
        nStart = nEnd + 1;
    }
}

CString BuildTsvRow(const CellRow& cells)
{
    CString strText;
    for (std::size_t i = 0; i < cells.size(); ++i)
    {
        if (i != 0)
            strText += '\t';
        strText += TsvCell(cells[i]);
    }
    return strText + '\n';
}

CString BuildTsvText(const CellTable& table)
{
    CString strText;
    for (const CellRow& cells : table)
        strText += BuildTsvRow(cells);
    return strText;
}
