// The DHCPv6 lease NetworkManager holds for an interface, as a lease source.
#pragma once

#include "linux/lease6_source.h"
#include "linux/nm_dbus_options.h"

#include <chrono>
#include <memory>

// Name() "NetworkManager". Read asks NetworkManager over the system bus for
// the device's DHCP6Config options (Lease6FromNetworkManager) and answers
// ENOENT when it publishes none. The source connects to the bus on its
// first read and keeps the connection, or the failure to connect, for all
// later reads; timeout bounds each step.
std::unique_ptr<Lease6Source>
MakeNetworkManagerLease6Source(std::chrono::milliseconds timeout = kDefaultBusTimeout);
