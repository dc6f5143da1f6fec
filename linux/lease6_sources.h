// The DHCPv6 lease sources of a Linux machine, in the order they are trusted,
// and the lease behind one adapter.
#pragma once

#include "linux/lease6_source.h"
#include "linux/linux_paths.h"
#include "linux/nm_dbus_options.h"

#include <chrono>
#include <memory>
#include <optional>

// dhcpcd's lease (its IF.lease6 file, or for a user who may not read it, its
// unprivileged control socket), systemd-networkd's, dhclient's and
// NetworkManager's: the first that holds a lease for the interface gives it.
std::unique_ptr<Lease6Source>
MakeLinuxLease6Sources(const LinuxPaths& paths,
                       std::chrono::milliseconds busTimeout = kDefaultBusTimeout);

// Reads the interface's DHCPv6 lease, with source and answers filled in: 0,
// ENODEV when there is no interface, ENODATA when no source has a lease for
// it, or the sources' failure (EACCES...).
int ReadAdapterLease6(const std::optional<LeaseInterface>& iface, Lease6Source& leases,
                      Lease6& lease);
