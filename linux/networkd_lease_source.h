// systemd-networkd's lease file for an interface, read as a lease source.
#pragma once

#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <memory>

// The source "networkd": <paths.m_strRun>/systemd/netif/leases/<ifindex>. The
// file records no times, so the moment networkd wrote it is taken as the
// moment the lease was obtained, and that plus LIFETIME as its expiry. Errors
// of ReadBoundedFile pass through; a symbolic link there is refused (ELOOP).
std::unique_ptr<CLeaseSource> MakeNetworkdLeaseSource(const LinuxPaths& paths);
