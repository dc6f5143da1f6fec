#include "app/qt/all_option_rows.h"

#include "core/options/extended_decoder.h"
#include "core/wire/bootp_message.h"

std::vector<ResultRow> buildAllOptionRows(const Lease& lease)
{
    std::vector<ResultRow> rows;
    // The decoded options come in the map's order.
    auto code = lease.m_mapOptions.begin();
    for (const ExtendedOption& option : DecodeAllOptions(lease.m_mapOptions, ExtendedParts::Text))
        rows.push_back({std::string(option.m_name),
                        lease.m_CutOptions.count((code++)->first) != 0
                            ? option.m_strText + kMayBeCutMark
                            : option.m_strText,
                        option.m_nCode == kOptionServerId ? kImageServer : kImageOption});
    for (const UnmappedOption& unmapped : lease.m_Unmapped)
        rows.push_back({unmapped.m_strName, unmapped.m_strText, kImageOption});
    return rows;
}
