// dhcpcd's DHCPv6 lease: the server's Reply as raw bytes in <if>.lease6.
#pragma once

#include "linux/dhcpcd_control_socket.h"
#include "linux/lease6_source.h"
#include "linux/linux_paths.h"

#include <memory>

// Reads <m_strDhcpcd>/<if>.lease6: its options as the Reply holds them, and
// the file's modification time as when it was obtained (dhcpcd writes the
// file when the Reply arrives). ENOENT when there is none or the name is not
// a regular file (a symbolic link is never followed); EBADMSG when the file
// is not a Reply; EFBIG past the largest DHCPv6 message; EINVAL for an
// interface name that would leave the directory. For EACCES and EPERM
// (dhcpcd keeps its leases for root), the lease comes from dhcpcd's
// unprivileged control socket under m_strRun, with the file's modification
// time, and only when no socket has it does the error pass through.
std::unique_ptr<Lease6Source>
MakeDhcpcdLease6Source(const LinuxPaths& paths,
                       std::chrono::milliseconds socketTimeout = kDefaultDhcpcdSocketTimeout);
