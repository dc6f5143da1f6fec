// dhclient -6's lease files for an interface, read as a DHCPv6 lease source.
#pragma once

#include "linux/lease6_source.h"
#include "linux/linux_paths.h"

#include <memory>

// The source "dhclient": in each of paths.m_DhclientDirs, the files dhclient
// -6 keeps for the interface (dhclient6.leases, its default; dhclient6.<if>.leases
// and dhclient6-<if>.leases as distributions' scripts name them;
// dhclient6-<anything>-<if>.lease[s] as NetworkManager does), at most 16 per
// directory. Of the files holding a lease for the interface, the most
// recently written one wins (on equal times, the first in directory order,
// then by name). A file that cannot be read (ReadBoundedFile; a symbolic
// link is refused with ELOOP) is skipped, and its error answered when no
// file holds a lease.
std::unique_ptr<Lease6Source> MakeDhclientLease6Source(const LinuxPaths& paths);
