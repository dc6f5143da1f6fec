// CLeaseSource: one place a Linux machine keeps what its DHCP server said.
#pragma once

#include "core/model/lease.h"
#include "core/model/router_advertisements.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The interface a lease is asked for.
struct LeaseInterface
{
    std::string m_strName;                               // "eth0"
    unsigned m_nIndex = 0;                               // the kernel's ifindex
    std::vector<std::uint32_t> m_IpAddresses;            // IPv4, host byte order
    std::optional<Ipv6Address> linkLocal = std::nullopt; // the first fe80::/10 address
    std::vector<Ipv6Address> ipv6Addresses = {};         // every one, the kernel's order
};

class CLeaseSource
{
public:
    virtual ~CLeaseSource() = default;

    // The source's name, as the command line's --json reports it.
    virtual const char* Name() const = 0;

    // Reads the interface's lease into an empty Lease: 0 when found; ENOENT
    // when this source has no lease for the interface; another errno value
    // when it could not look (EACCES for a lease only root may read).
    // m_mapSources is left to the caller.
    virtual int Read(const LeaseInterface& iface, Lease& lease) = 0;
};
