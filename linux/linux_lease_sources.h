// The lease sources of a Linux machine, in the order they are trusted.
#pragma once

#include "linux/dhcp_inform.h"
#include "linux/lease_memo.h"
#include "linux/linux_paths.h"
#include "linux/nm_dbus_options.h"

#include <chrono>
#include <memory>

// dhcpcd's lease (the server's own reply, or for a user who may not read it,
// what dhcpcd's unprivileged control socket gives), systemd-networkd's, dhclient's,
// NetworkManager's; and, for a request that asks for it, a DHCPINFORM to the
// server itself.
std::unique_ptr<CRunLeaseSources>
MakeLinuxLeaseSources(const LinuxPaths& paths, const InformSettings& inform = InformSettings(),
                      std::chrono::milliseconds busTimeout = kDefaultBusTimeout);

// The same with another source that asks the network: the helper's, or an
// answer already had.
std::unique_ptr<CRunLeaseSources>
MakeLinuxLeaseSources(const LinuxPaths& paths, std::unique_ptr<CLeaseSource> pAsking,
                      std::chrono::milliseconds busTimeout = kDefaultBusTimeout);
