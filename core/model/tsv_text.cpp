#include "core/model/tsv_text.h"

CString TsvCell(const CString& strCell)
{
    CString strEscaped;
    strEscaped.reserve(strCell.size());
    for (const char ch : strCell)
    {
        switch (ch)
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
        case '\\':
            strEscaped += "\\\\";
            break;
        default:
            strEscaped += ch;
            break;
        }
    }
    return strEscaped;
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
