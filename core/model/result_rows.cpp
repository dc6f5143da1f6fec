#include "core/model/result_rows.h"

#include "core/options/dhcpv4_options.h"

std::vector<ResultRow> BuildResultRows(const DhcpOptionList& options)
{
    std::vector<ResultRow> rows;
    rows.reserve(options.size());
    for (const DhcpOption& option : options)
    {
        const Dhcpv4Row* row = kDhcpv4Options.Find(option.m_nCode);
        const bool server = row != nullptr && row->Has(kServerRow);
        rows.push_back(
            {option.m_strParameter, option.m_strData, server ? kImageServer : kImageOption});
    }
    return rows;
}
