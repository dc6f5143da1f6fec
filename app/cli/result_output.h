// The three forms in which `veyra ADAPTER` prints the options of a request.
#pragma once

#include "core/model/adapter_info.h"
#include "core/model/dhcp_option.h"
#include "core/model/lease.h"

#include <string>

// The rows as the window shows them, under "DHCP Parameter" and "DHCP Data".
std::string FormatRows(const DhcpOptionList& options);

// Exactly the text Copy All puts on the clipboard for these rows.
std::string FormatTsv(const DhcpOptionList& options);

// A JSON array with one object per row of the lease's requested options: the
// option's code, its parameter and data texts, its raw bytes in hex, and the
// source that supplied them.
std::string FormatJson(const Lease& lease);

// The adapter list: hardware address (as the window's chooser shows it),
// name, description, IPv4 address and DHCP server; "No Interfaces Present"
// when there is none.
std::string FormatAdapters(const AdapterList& adapters);
