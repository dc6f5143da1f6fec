// The lease sources of a Linux machine, in the order they are trusted.
#pragma once

#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <memory>
#include <vector>

// dhcpcd's lease (the server's own reply), systemd-networkd's, dhclient's,
// NetworkManager's; and, when asked for, a DHCPINFORM to the server itself.
std::vector<std::unique_ptr<CLeaseSource>> LinuxLeaseSources(const LinuxPaths& paths, bool bInform);
