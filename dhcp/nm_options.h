// The DHCP options NetworkManager publishes for a device (DHCP4Config's
// Options property), turned back into option bytes.
#pragma once

#include "dhcp/lease.h"

#include <map>
#include <string>

// NetworkManager's names are dhclient's with '_' for '-' ("domain_name_servers"),
// and its values are texts ("10.99.0.1 10.99.0.2"). Names it adds of its own
// ("ip_address", "expiry", "requested_*") fill the address and times or are
// skipped, as are values that do not parse. False when nothing was usable.
bool LeaseFromNetworkManager(const std::map<std::string, std::string>& options, Lease& lease);
