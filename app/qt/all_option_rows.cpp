#include "app/qt/all_option_rows.h"

#include "core/options/extended_decoder.h"
#include "core/wire/bootp_message.h"

std::vector<ResultRow> BuildAllOptionRows(const OptionMap& options)
{
    std::vector<ResultRow> rows;
    for (const ExtendedOption& option : DecodeAllOptions(options))
        rows.push_back({option.m_strName, option.m_strText,
                        option.m_nCode == kOptionServerId ? kImageServer : kImageOption});
    return rows;
}
