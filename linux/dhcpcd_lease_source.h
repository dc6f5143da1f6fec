// dhcpcd's lease: the server's DHCPACK as raw BOOTP bytes in <if>.lease.
#pragma once

#include "linux/dhcpcd_control_socket.h"
#include "linux/lease_source.h"
#include "linux/linux_paths.h"

#include <memory>

// Reads <m_strDhcpcd>/<if>.lease, or on a wireless interface the lease of the
// network it is on, <if>-<ssid>.lease. ENOENT when there is none, when the
// name is not a regular file, or when the leased address is no longer on the
// interface (a stale lease is not the interface's lease); EBADMSG when the
// file is not a DHCPACK; EFBIG past kMaxBootpMessage; EINVAL for an
// interface name that would leave the directory. Errors of open and read
// pass through, but for EACCES and EPERM (dhcpcd keeps its leases for root):
// then the lease comes from dhcpcd's unprivileged control socket under
// m_strRun, as dhcpcd holds it (with the file's modification time as when it
// was obtained), and only when no socket has it does the error pass through.
std::unique_ptr<CLeaseSource>
MakeDhcpcdLeaseSource(const LinuxPaths& paths,
                      std::chrono::milliseconds socketTimeout = kDefaultDhcpcdSocketTimeout);
