#include "core/model/result_rows.h"

std::vector<ResultRow> BuildResultRows(const DhcpOptionList& options)
{
    std::vector<ResultRow> rows;
    rows.reserve(options.size());
    for (const DhcpOption& option : options)
    {
        const bool bServer = option.m_strParameter == "DHCP Server";
        rows.push_back(
            {option.m_strParameter, option.m_strData, bServer ? kImageServer : kImageOption});
    }
    return rows;
}
