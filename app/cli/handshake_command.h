// `veyra --handshake` and `--relay`: a server checked by talking to it as a
// client (the whole exchange with a random locally administered address,
// then the lease released) or as a relay agent for a remote subnet, each
// step timed at the socket. Opt-in: nothing else in veyra asks for a lease.
#pragma once

#include "app/cli/discover_command.h"
#include "linux/dhcp_handshake.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct HandshakeCommand
{
    std::string interfaceName; // the link of the exchange; with --relay, may be empty
    unsigned families = kCensusDhcpv4 | kCensusDhcpv6;      // -4, -6
    std::chrono::milliseconds wait = kDefaultDiscoveryWait; // per step
    std::optional<HardwareAddress> clientMac;               // empty: a random one
    bool fullExchange = false;      // --handshake (with --relay: also the rest)
    std::optional<IpAddress> relay; // --relay GIADDR (or the IPv6 link-address)
    IpAddress server;               // --server ADDR, with --relay
    bool check = false;             // --check, with -w and -c on each step's time
    std::optional<std::chrono::milliseconds> warning;
    std::optional<std::chrono::milliseconds> critical;
    bool json = false;
};

// Reads the arguments of --handshake and --relay ("--interface IF" for an
// operand); empty when they make sense, otherwise what is wrong.
std::string ParseHandshakeCommand(const std::vector<std::string>& arguments,
                                  HandshakeCommand& command);

// The Linux back end of an exchange: RunHandshake, its privileges given up
// once its sockets are open, and where the notice goes that a lease is
// about to be taken (standard error, before anything is sent).
struct HandshakeBackEnd
{
    std::function<int(const HandshakeSettings&, HandshakeResult&)> handshake;
    std::function<void(const std::string&)> notice;
};

// One line a step, or the JSON document, or with --check the plugin line.
// Exit status: 0 every step answered; 5 a step unanswered; 1 a NAK, a
// status other than success or an offer without a server id; a failure to
// run as its errno value says (ExitStatusFor). --check: 0 OK, 1 WARNING,
// 2 CRITICAL (no answer, a refusal, a step slower than -c), 3 UNKNOWN.
DiscoverOutcome RunHandshakeCommand(const HandshakeCommand& command,
                                    const HandshakeBackEnd& backEnd);
