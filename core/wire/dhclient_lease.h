// dhclient's lease files: text blocks "lease { ... }", one appended at each
// binding and renewal, with options under their dhclient names.
#pragma once

#include "core/model/lease.h"

#include <string_view>

// Reads the LAST complete "lease { }" block whose "interface" statement names
// the interface: 0, or ENOENT when there is none. A block without an interface
// statement belongs to no interface (dhclient always writes one), and a block
// cut off before its closing brace is a write in progress and is ignored.
// "fixed-address" gives the leased address, "option NAME VALUE;" the options
// (one that does not parse is skipped), "expire" (a UTC date, "epoch N" or
// "never") the expiry; comments, other statements and nested blocks are skipped.
int ParseDhclientLeases(std::string_view text, std::string_view interfaceName, Lease& lease);
