#include "core/options/extended_catalogue.h"

const ExtendedRow* FindExtendedRow(std::uint8_t code)
{
    const ExtendedRow* row = kDhcpv4Options.Find(code);
    return row != nullptr && row->pszName != nullptr ? row : nullptr;
}

// Pad and end close the table, and only they have no name (dhcpv4_options.cpp
// checks both).
const ExtendedRow* ExtendedRowsBegin()
{
    return kDhcpv4Options.begin() + 1;
}

const ExtendedRow* ExtendedRowsEnd()
{
    return kDhcpv4Options.end() - 1;
}
