// The forms in which `veyra` prints the window's rows of a request, and the
// adapter list.
#pragma once

#include "app/cli/command_line.h"
#include "core/model/adapter_info.h"
#include "core/model/dhcp_option.h"
#include "core/model/ipv6_rows.h"
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

// A JSON array with one object per row of the IPv4 lease's requested
// options: "family": "ipv4", the option's code, its parameter and data texts,
// its raw bytes in hex, and the source that supplied them; then the IPv6
// part's objects (Ipv6RowsJson). Either may be null: a family not shown.
std::string FormatJson(const Lease* ipv4, const Ipv6Part* ipv6);

// The adapter list: hardware address (as the window's chooser shows it),
// name, description, IPv4 address and DHCP server, then the IPv6 address
// (the first that is not link-local, else the first) where an adapter has
// one that is not link-local; "No Interfaces Present" when there is none. -4 shows no IPv6 column,
// -6 no IPv4 ones and only the adapters with an IPv6 address.
std::string FormatAdapters(const AdapterList& adapters,
                           AddressFamilies families = AddressFamilies::Both);

// The adapter list as a JSON array, one object per adapter, one a line:
// "name", "hardware_address", "description", "type", "ipv4_addresses",
// "ipv6_addresses" (not under -4; "2001:db8::5/64"), "subnet_mask",
// "gateways", "dhcp_enabled", "dhcp_servers", "dns_servers", "lease_obtained"
// and "lease_expires" (ISO 8601 local time, or null where unknown). -6
// lists only the adapters with an IPv6 address.
std::string FormatAdaptersJson(const AdapterList& adapters,
                               AddressFamilies families = AddressFamilies::Both);

// The adapters that the families show: under -6, those with an IPv6 address.
AdapterList AdaptersShown(const AdapterList& adapters, AddressFamilies families);
