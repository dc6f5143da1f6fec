// The lease NetworkManager holds for an interface, as a lease source.
#pragma once

#include "linux/lease_source.h"

#include <memory>

// Name() "NetworkManager". Read asks NetworkManager over the system bus and
// answers ENOENT when nothing of what it publishes is usable.
std::unique_ptr<CLeaseSource> MakeNetworkManagerLeaseSource();
