// dhclient's lease files for an interface, read as a lease source.
#pragma once

#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <memory>

// The source "dhclient": in each of paths.m_DhclientDirs, the files dhclient
// keeps for the interface (dhclient.<if>.leases, dhclient-<if>.leases,
// dhclient-<anything>-<if>.lease[s] as NetworkManager names them, and the
// shared dhclient.leases; never dhclient6's), at most 16 per directory. Of the
// files holding a lease for the interface, the most recently written one wins
// (on equal times, the first in directory order, then by name). A file that
// cannot be read (ReadBoundedFile; a symbolic link is refused with ELOOP) is
// skipped, and its error answered when no file holds a lease. The options
// declared in paths.m_strDhclientConf (read once, bounded, never through a
// symbolic link; without it, none) are read by their declared names.
std::unique_ptr<CLeaseSource> MakeDhclientLeaseSource(const LinuxPaths& paths);
