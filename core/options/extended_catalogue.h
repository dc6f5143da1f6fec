// The extended column of the DHCPv4 table (dhcpv4_options.h): the rows the
// Linux editions name, which is every row but pad and end. The window shows
// the same codes by its own column and the texts it has always shown.
#pragma once

#include "core/options/dhcpv4_options.h"

using ExtendedRow = Dhcpv4Row;

// The row of an option code, or null for pad, end and a code without one.
const ExtendedRow* FindExtendedRow(std::uint8_t code);

// Every named row, in code order.
const ExtendedRow* ExtendedRowsBegin();
const ExtendedRow* ExtendedRowsEnd();
