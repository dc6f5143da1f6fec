// The RDNSS and DNSSL that a dhcpcd running for an interface took from its
// router advertisements, asked of dhcpcd's unprivileged control socket.
#pragma once

#include "core/model/router_advertisements.h"
#include "linux/lease_source.h"

#include <chrono>
#include <string>

// From <strRun>/dhcpcd/<if>-6.unpriv.sock, else the manager's
// <strRun>/dhcpcd/unpriv.sock: 0 with servers and domains added to learned
// (none when dhcpcd holds none); ENOENT when no dhcpcd answers for the
// interface; another errno value of the socket. Links are never followed.
int ReadDhcpcdRouterDns(const std::string& strRun, const LeaseInterface& iface,
                        std::chrono::milliseconds timeout, RouterAdvertisements& learned);
