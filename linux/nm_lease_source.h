// The lease NetworkManager holds for an interface, as a lease source.
#pragma once

#include "linux/lease_source.h"
#include "linux/nm_dbus_options.h"

#include <chrono>
#include <memory>

// Name() "NetworkManager". Read asks NetworkManager over the system bus and
// answers ENOENT when nothing of what it publishes is usable. The source
// connects to the bus on its first read and keeps the connection, or the
// failure to connect, for all later reads; timeout bounds each step.
std::unique_ptr<CLeaseSource>
MakeNetworkManagerLeaseSource(std::chrono::milliseconds timeout = kDefaultBusTimeout);
