// What `veyra --handshake` and `--relay` show of an exchange: the notice
// before it, one line a step, the JSON document, and the monitoring-plugin
// check with each step's time as performance data.
#pragma once

#include "app/cli/handshake_command.h"

// What standard error says before anything is sent: that veyra talks to the
// server as a client (or relay agent) would, and whether a lease is taken.
std::string HandshakeNotice(const HandshakeCommand& command);

// One line a step: "DHCPv4 REQUEST: ACK 192.0.2.10 from 192.0.2.1, lease
// 3600 s, mask 255.255.255.0, routers 192.0.2.1, 0.812 ms"; where an exchange stopped early, a line
// that says at which step and why.
DiscoverOutcome HandshakeText(const HandshakeCommand& command, const HandshakeResult& result);

DiscoverOutcome HandshakeJson(const HandshakeCommand& command, const HandshakeResult& result);

// "DHCP HANDSHAKE OK - DHCPv4 ACK ..." with each answered step's time as
// performance data (dhcpv4_discover=1.234ms;W;C;0): no answer or a refusal
// is CRITICAL, a step slower than -c CRITICAL, than -w WARNING; the worst
// problem leads the status line, every problem follows it.
DiscoverOutcome HandshakeCheck(const HandshakeCommand& command, const HandshakeResult& result);

// An exchange that could not run is UNKNOWN, with the failure's reason.
DiscoverOutcome HandshakeCheckFailure(const DiscoverOutcome& failure);
