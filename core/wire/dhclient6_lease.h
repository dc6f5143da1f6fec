// dhclient -6's lease files: text blocks "lease6 { ... }", one appended at
// each binding and renewal, with identity associations as nested blocks and
// options under their "dhcp6." names.
#pragma once

#include "core/model/lease6.h"

#include <string_view>

// Reads the LAST complete "lease6 { }" block whose "interface" statement
// names the interface, as dhclient itself does: 0, or ENOENT when there is
// none. The block's options come in the order it holds them, rebuilt as the
// Reply carried them: each "ia-na", "ia-ta" and "ia-pd" block (IAID, "renew"
// and "rebind" as T1 and T2) with an IAADDR per "iaaddr" block and an
// IAPREFIX per "iaprefix" block ("preferred-life", "max-life"), and the
// options inside them; then "option dhcp6.NAME VALUE;" by name. obtained is
// the first "starts" of the block. A line that gives no bytes (a name not
// known, a value that does not parse, an identity association or address
// that does not parse) is kept in unmapped with its code where the name has
// one; the last option line of a name in one block wins.
int ParseDhclient6Leases(std::string_view text, std::string_view interfaceName, Lease6& lease);
