// dhcpcd's unprivileged control socket: any user may ask it for an
// interface's state, while the lease file stays root's.
//
// What dhcpcd 9 does there: the client writes its arguments, each ended by a
// NUL ("dhcpcd\0-U\0-4\0eth0\0"); dhcpcd answers with a count of states, then
// for each its length and its block of "name=value" variables, each ended by
// a NUL (the variables it hands its hook scripts: "new_domain_name_servers=
// 10.99.0.1 10.99.0.2"). Counts and lengths are size_t in the host's order.
// dhcpcd leaves the connection open after its answer.
#pragma once

#include "core/model/lease.h"
#include "core/model/lease6.h"
#include "linux/lease_source.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// dhcpcd answers from memory: a reply that takes longer is not coming.
inline constexpr std::chrono::milliseconds kDefaultDhcpcdSocketTimeout{500};

// One IPv4 state of an interface holds a few dozen variables of one option
// each; a reply over these bounds is not dhcpcd's.
inline constexpr std::size_t kMaxDhcpcdStates = 16;
inline constexpr std::size_t kMaxDhcpcdStateBytes = 64 * 1024;

// Splits what has arrived of a reply into its state blocks: 0 when it is
// whole (trailing bytes are not read, as dhcpcd sends none); EAGAIN when more
// is needed, at least nNeeded more bytes; EBADMSG for a count or a length over
// the bounds.
int SplitDhcpcdReply(std::string_view reply, std::vector<std::string_view>& states,
                     std::size_t& nNeeded);

// The lease in one state block, when it is the IPv4 DHCP state of the named
// interface: "new_ip_address" gives the leased address, the other "new_"
// variables the options, by dhcpcd's names (dhclient's, with '_' for '-').
// dhcpcd passes a text ("string" in its definitions) on as raw bytes up to
// its first NUL or byte above 0x7F: those bytes are taken as they are, and
// the option is put in m_CutOptions. An empty value (dhcpcd empties a text
// whose first byte it will not print) gives the option with no bytes, also
// cut. Names dhcpcd has for no option and values that do not parse are
// skipped. 0; ENOENT for a state of another interface or protocol, or one
// without an address; EBADMSG for a block that is not NUL-ended "name=value"
// variables.
int LeaseFromDhcpcdState(std::string_view state, std::string_view interfaceName, Lease& lease);

// The "name=value" variables of a state block, each ended by a NUL: 0, or
// EBADMSG for a block that is not such variables.
int SplitDhcpcdVariables(std::string_view state, std::vector<std::string_view>& variables);

// The value of the variable "name=" among them, if it is there.
std::optional<std::string_view> DhcpcdVariable(const std::vector<std::string_view>& variables,
                                               std::string_view name);

// Which of an interface's states the socket is asked for.
enum class DhcpcdFamily
{
    Ipv4,
    Ipv6,
};

// Asks the socket at strSocket for the interface's states of the family and
// reads the whole reply, all within the timeout: 0; ENOENT when there is no
// socket; ELOOP or ENOTSOCK for a path that is a link or no socket, which is
// never followed or opened; ETIMEDOUT; EBADMSG for a reply over the bounds or
// cut short; another errno value of connect, send or poll.
int QueryDhcpcdState(const std::string& strSocket, const std::string& strInterface,
                     std::chrono::milliseconds timeout, std::string& reply,
                     DhcpcdFamily family = DhcpcdFamily::Ipv4);

// The interface's lease from the socket of the dhcpcd that runs for it,
// <strRun>/dhcpcd/<if>-4.unpriv.sock, else from the manager's,
// <strRun>/dhcpcd/unpriv.sock. 0, or the first failure that is not ENOENT
// (a lease that neither socket has is ENOENT). m_tObtained is left to the
// caller: dhcpcd does not say when the lease came.
int ReadDhcpcdLeaseFromSocket(const std::string& strRun, const LeaseInterface& iface,
                              std::chrono::milliseconds timeout, Lease& lease);

// The interface's DHCPv6 lease the same way, from <strRun>/dhcpcd/<if>-6.unpriv.sock,
// else the manager's socket. obtained is left to the caller.
int ReadDhcpcdLease6FromSocket(const std::string& strRun, const LeaseInterface& iface,
                               std::chrono::milliseconds timeout, Lease6& lease);
