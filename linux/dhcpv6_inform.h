// The DHCPv6 Information-request source: asks the network's DHCPv6 servers
// for every option the catalogue knows (RFC 8415 18.2.6), from the
// interface's link-local address, on a packet socket that takes no port from
// a running client.
#pragma once

#include "linux/lease6_source.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

struct Inform6Settings
{
    // One send per entry, each followed by its wait for a Reply.
    std::vector<std::chrono::milliseconds> waits{std::chrono::milliseconds(1000),
                                                 std::chrono::milliseconds(2000)};
    // Called once the socket is open, before anything is sent: the place to
    // give up the privileges that opening it took. Non-zero ends the read.
    std::function<int()> opened;
};

// The lease holds the Reply's options; its source is "inform". ENOENT when the
// interface has no link-local address or is not Ethernet; ETIMEDOUT when no
// server answered; EPERM or EACCES without CAP_NET_RAW.
std::unique_ptr<Lease6Source> MakeInform6Source(const Inform6Settings& settings);
