// The lease behind `veyra ADAPTER`.
#pragma once

#include "linux/lease_source.h"

#include <optional>
#include <string>

// Reads the interface's lease: 0, ENODEV when there is no interface, ENODATA
// when no source has a lease for it, or the sources' failure (EACCES...).
int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases,
                     Lease& lease);
