// The exchange of a client that takes a lease and gives it back, DHCPv4
// (DISCOVER, OFFER, REQUEST, ACK, RELEASE) or DHCPv6 (Solicit, Advertise,
// Request, Reply, Release, Reply), on the link itself (a packet socket, a
// random locally administered client address, Neighbor Solicitations for its
// link-local address answered) or as a relay agent (giaddr or Relay-forward,
// to the server's port from the relay port). Each step is timed from its
// send to the kernel's receipt of the answer. Needs root or CAP_NET_RAW.
#pragma once

#include "core/model/router_advertisements.h"
#include "core/wire/census.h"
#include "core/wire/dhcp_discovery.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using IpAddress = std::variant<std::uint32_t, Ipv6Address>; // IPv4 in host byte order

struct HandshakeSettings
{
    std::string interfaceName; // the link; relayed, the Interface-Id (may be empty)
    unsigned families = kCensusDhcpv4 | kCensusDhcpv6;      // relayed: the relay's family alone
    std::chrono::milliseconds wait = kDefaultDiscoveryWait; // per step
    std::optional<HardwareAddress> clientMac;               // empty: a random one
    bool fullExchange = true; // false: the first step alone (an offer, nothing taken)
    // A relay agent's address (giaddr, link-address) and the server's, of
    // the family; empty: on the link.
    std::optional<IpAddress> relay;
    IpAddress server;
    // Called once the sockets are open, before anything is sent: where the
    // privileges that opening them took are given up. Non-zero ends the run.
    std::function<int()> opened;
};

// How a step ended.
enum class StepEnd
{
    Answered, // the answer awaited (OFFER, ACK, Advertise, Reply with success)
    Refused,  // a NAK, a status code other than success, or no address offered
    Silent,   // nothing within the wait
    Sent,     // a message that awaits no answer (DHCPv4's RELEASE)
};

struct HandshakeStep
{
    std::string sent;   // "DISCOVER", "Solicit", ...
    std::string answer; // "OFFER", "NAK", "Reply", ...; empty when none came
    StepEnd end = StepEnd::Silent;
    std::optional<std::chrono::microseconds> time; // send to receipt
    std::string address;                           // offered or leased
    std::string server;                            // server id or DUID (hex)
    std::optional<std::uint32_t> leaseTime;        // seconds; DHCPv6: valid lifetime
    std::string subnetMask;                        // DHCPv4: the scope's mask
    std::vector<std::string> routers;              // DHCPv4: its routers
    std::optional<std::uint16_t> status;           // DHCPv6 status code
    std::string text; // a NAK's message or a status's text, as the server sent it
};

// One family's exchange: each step sent, in order.
struct HandshakeExchange
{
    bool ipv6 = false;
    std::vector<HandshakeStep> steps;
};

struct HandshakeResult
{
    HardwareAddress clientMac{};
    bool carrier = true;                      // on the link: it had one within the wait
    std::vector<HandshakeExchange> exchanges; // DHCPv4 first
};

// Both families' sockets open first, then DHCPv4's exchange and DHCPv6's.
// 0 when the exchanges ran (each to its end or to the step where it stopped);
// ENODEV for no such interface, EPERM or EACCES without CAP_NET_RAW, other
// errno values of the socket calls as they come.
int RunHandshake(const HandshakeSettings& settings, HandshakeResult& result);
