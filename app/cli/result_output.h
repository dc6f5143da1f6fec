// The forms in which `veyra` prints the window's rows of a request, and the
// adapter list.
#pragma once

#include "core/model/adapter_info.h"
#include "core/model/dhcp_option.h"
#include "core/model/lease.h"

#include <string>

// The rows as the window shows them, under "DHCP Parameter" and "DHCP Data".
std::string FormatRows(const DhcpOptionList& options);

// The rows as tab-separated values (see BuildTsvText), after the header
// line "DHCP Parameter<TAB>DHCP Data".
std::string FormatTsv(const DhcpOptionList& options);

// Exactly the text Copy All puts on the clipboard for these rows.
std::string FormatCopyAll(const DhcpOptionList& options);

// The Copy All text made to show on a terminal: each cell as TerminalSafe
// shows it, so that a TAB, LF or CR inside a value can never pass for the end
// of a cell or a row, and each row's CR shown as \x0D before a line feed.
std::string FormatCopyAllShown(const DhcpOptionList& options);

// A JSON array with one object per row of the lease's requested options:
// "family": "ipv4", the option's code, its parameter and data texts, its raw bytes in hex, and the
// source that supplied them.
std::string FormatJson(const Lease& lease);

// The adapter list: hardware address (as the window's chooser shows it),
// name, description, IPv4 address and DHCP server; "No Interfaces Present"
// when there is none.
std::string FormatAdapters(const AdapterList& adapters);

// The adapter list as a JSON array, one object per adapter, one a line:
// "name", "hardware_address", "description", "type", "ipv4_addresses",
// "subnet_mask", "gateways", "dhcp_enabled", "dhcp_servers", "dns_servers",
// "lease_obtained" and "lease_expires" (ISO 8601 local time, or null where
// unknown).
std::string FormatAdaptersJson(const AdapterList& adapters);
