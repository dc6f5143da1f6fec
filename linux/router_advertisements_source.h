// What an interface learned from IPv6 router advertisements: the kernel's
// routes and addresses over rtnetlink, and the RDNSS and DNSSL a client holds.
#pragma once

#include "core/model/router_advertisements.h"
#include "linux/lease_source.h"
#include "linux/linux_paths.h"
#include "linux/netlink_snapshot.h"

// 0, or the errno value of the rtnetlink dump that failed; a client that
// holds no DNS options leaves them empty. The kernel keeps neither RDNSS nor
// DNSSL, and neither systemd-networkd's state file nor NetworkManager tells
// them from DHCPv6's servers: they come from dhcpcd's control socket.
int ReadRouterAdvertisements(const LinuxPaths& paths, const LeaseInterface& iface,
                             RouterAdvertisements& learned);

// What the kernel keeps of an interface's advertisements, from a snapshot
// with its IPv6 routes:
// - received, M and O from IFLA_INET6_FLAGS;
// - routers: the default routes the kernel made of advertisements
//   (RTPROT_RA, with a gateway), in the kernel's order;
// - prefixes: the on-link routes of advertised prefixes (the kernel's are
//   RTM_F_PREFIX, a client's RTPROT_RA; without a gateway), then
//   the prefixes of addresses formed by SLAAC (IFA_PROTO is IFAPROT_KERNEL_RA;
//   on kernels without it, addresses that are not permanent and marked
//   mngtmpaddr or temporary), each prefix once. An on-link route has only
//   its valid lifetime, an address both;
// - mtu: IFLA_INET6_RA_MTU; on kernels without it, DEVCONF_MTU6 where it
//   differs from the link's MTU (an advertised MTU equal to it is unknown).
RouterAdvertisements KernelRouterAdvertisements(const NetlinkInterface& link);

// Whether dhcpcd may be asked for the interface's IPv6 state: dhcpcd 9.4
// stops answering IPv6 queries for good when asked before it holds an
// advertisement or while it is still busy with one, so it is asked only once
// a router's route (RTPROT_RA) is there and no address is in duplicate
// address detection.
bool DhcpcdMayBeAsked(const NetlinkInterface& link);
