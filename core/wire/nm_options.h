// The DHCP options NetworkManager publishes for a device (DHCP4Config's
// Options property), turned back into option bytes.
#pragma once

#include "core/model/lease.h"

#include <map>
#include <string>

// NetworkManager's names are dhclient's with '_' for '-' ("domain_name_servers"),
// and its values are texts ("10.99.0.1 10.99.0.2"); "private_NNN" and
// "unknown_NNN" carry other codes in hex. Of its own names, "ip_address" gives
// the leased address and "expiry" (seconds since 1970) the expiry, the start
// being that less dhcp_lease_time; "requested_*" and "next_server" are not the
// server's options and are skipped, as are values that do not parse. False
// when neither an address nor an option was usable.
bool LeaseFromNetworkManager(const std::map<std::string, std::string>& options, Lease& lease);
