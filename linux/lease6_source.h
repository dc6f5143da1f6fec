// Lease6Source: one place a Linux machine keeps what its DHCPv6 server said.
#pragma once

#include "core/model/lease6.h"
#include "linux/lease_source.h"

class Lease6Source
{
public:
    virtual ~Lease6Source() = default;

    // The source's name, as Lease6::source and --json report it.
    virtual const char* Name() const = 0;

    // Reads the interface's DHCPv6 lease into an empty Lease6: 0 when found;
    // ENOENT when this source has none for the interface; another errno value
    // when it could not look. source and answers are left to the caller.
    virtual int Read(const LeaseInterface& iface, Lease6& lease) = 0;
};
