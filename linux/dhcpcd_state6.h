// The DHCPv6 state dhcpcd's unprivileged control socket gives for an
// interface (dhcpcd -U -6 IF), as the Reply's options.
#pragma once

#include "core/model/lease6.h"

#include <string_view>

// The lease in one state block, when it is the DHCPv6 state of the named
// interface ("protocol=dhcp6"): its "new_dhcp6_" variables rebuilt as the
// Reply's options, in the order the variables come. "dhcp6_ia_na1_iaid",
// "_t1", "_t2", "_ia_addr1" with "_pltime" and "_vltime" (IA_TA and IA_PD
// alike, "_prefix1" with "_length" for a delegated prefix) become one
// identity association; "dhcp6_status_code" with its "_message" a status
// code; the others their options by name (dhcpcd -V), texts taken as they
// are and put in cutOptions. A variable that gives no bytes is kept in
// unmapped, by its name without "new_". 0; ENOENT for a state of another interface or
// protocol, or one without options; EBADMSG for a block that is not
// NUL-ended "name=value" variables.
int Lease6FromDhcpcdState(std::string_view state, std::string_view interfaceName, Lease6& lease);
