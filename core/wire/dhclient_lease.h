// dhclient's lease files: text blocks "lease { ... }", one appended at each
// binding and renewal, with options under their dhclient names.
#pragma once

#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <memory>
#include <string_view>

// Reads the LAST complete "lease { }" block whose "interface" statement names
// the interface: 0, or ENOENT when there is none. A block without an interface
// statement belongs to no interface (dhclient always writes one), and a block
// cut off before its closing brace is a write in progress and is ignored.
// "fixed-address" gives the leased address, "option NAME VALUE;" the options
// (one that does not parse is skipped), "expire" (a UTC date, "epoch N" or
// "never") the expiry; comments, other statements and nested blocks are skipped.
int ParseDhclientLeases(std::string_view text, std::string_view interfaceName, Lease& lease);

// The source "dhclient": in each of paths.m_DhclientDirs, the files dhclient
// keeps for the interface (dhclient.<if>.leases, dhclient-<if>.leases,
// dhclient-<anything>-<if>.lease[s] as NetworkManager names them, and the
// shared dhclient.leases; never dhclient6's), at most 16 per directory. Of the
// files holding a lease for the interface, the most recently written one wins
// (on equal times, the first in directory order, then by name). A file that
// cannot be read (ReadBoundedFile; a symbolic link is refused with ELOOP) is
// skipped, and its error answered when no file holds a lease.
std::unique_ptr<CLeaseSource> MakeDhclientLeaseSource(const LinuxPaths& paths);
