#include "core/model/list_text.h"

CString BuildRowText(const CellRow& cells)
{
    CString strText;
    for (std::size_t i = 0; i < cells.size(); ++i)
    {
        if (i != 0)
            strText += '\t';
        strText += cells[i];
    }
    return strText;
}

CString BuildListText(const CellTable& table)
{
    CString strText;
    for (const CellRow& cells : table)
    {
        for (const CString& strCell : cells)
        {
            strText += strCell;
            strText += '\t';
        }
        strText += '\r';
    }
    return strText;
}
