// What an interface learned from IPv6 router advertisements: the kernel's
// routes and addresses over rtnetlink, and the RDNSS and DNSSL a client holds.
#pragma once

#include "core/model/router_advertisements.h"
#include "linux/lease_source.h"
#include "linux/linux_paths.h"

// 0, or the errno value of the rtnetlink dump that failed; a client that
// holds no DNS options leaves them empty.
int ReadRouterAdvertisements(const LinuxPaths& paths, const LeaseInterface& iface,
                             RouterAdvertisements& learned);
