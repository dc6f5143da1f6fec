// systemd-networkd's DHCPv6 lease, as a lease source.
#pragma once

#include "linux/lease6_source.h"
#include "linux/linux_paths.h"

#include <memory>

// The source "networkd". networkd 252 keeps no DHCPv6 lease a reader could
// find: it writes leases under /run/systemd/netif/leases/ for DHCPv4 only;
// its link state file, /run/systemd/netif/links/<ifindex>, names its own
// DHCPv6 IAID and DUID (DHCP6_CLIENT_IAID, DHCP6_CLIENT_DUID) whether a
// server answered or not, and its DNS=, NTP= and DOMAINS= mix what DHCPv6,
// router advertisements and the configuration gave; the bus's Describe
// holds no DHCPv6 lease either. So the source answers ENOENT: a networkd
// link has no DHCPv6 lease to show.
std::unique_ptr<Lease6Source> MakeNetworkdLease6Source(const LinuxPaths& paths);
