// What this process may do on the network without being root: its effective
// capabilities (capabilities(7)), read with capget(2).
#pragma once

#include <cstdint>

// A set of capabilities, bit n for capability number n (CAP_NET_RAW is 13).
using CapabilitySet = std::uint64_t;

// Reads the calling thread's effective set: 0, or the errno of capget.
int ReadEffectiveCapabilities(CapabilitySet& capabilities);

// Whether the set lets a DHCPINFORM go out as linux/dhcp_inform.h sends it:
// CAP_NET_RAW for its packet socket (it binds no port).
bool CanSendInform(CapabilitySet capabilities);

// Whether the set lets a discovery go out as linux/dhcp_discover.h sends it:
// CAP_NET_RAW for its packet socket.
bool CanDiscoverServers(CapabilitySet capabilities);

// The same for this process now; false when the set cannot be read.
bool ProcessCanSendInform();
bool ProcessCanDiscoverServers();
