// The caller's side of veyra-probe, the helper that alone holds CAP_NET_RAW:
// where it is installed, whether this user may run it, what to ask it, and
// what its output (core/wire/probe_messages.h) comes to.
#pragma once

#include "core/model/lease.h"
#include "core/model/lease6.h"
#include "core/wire/probe_messages.h"
#include "linux/dhcp_census.h"

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the helper is installed: from the running program's own file
// (/proc/self/exe), the relative path from the prefix's bin/ to
// libexec/veyra/veyra-probe. No environment variable can move it. Empty when
// the program's file cannot be read.
std::string InstalledProbePath();

enum class ProbeAccess
{
    Usable,
    Missing,      // no such file
    NotPermitted, // this user may not run it: not in the veyra group
    NoCapability, // it has no cap_net_raw+ep, and this user is not root
};

// Whether this user can run the helper at that path to some effect.
ProbeAccess CheckProbe(const std::string& path);

// How to get what the helper gives, for a person; empty when it is usable.
std::string ProbeAdvice(ProbeAccess access, const std::string& path);

// The helper's arguments (without the program name).
std::vector<std::string> InformProbeArguments(const std::string& interfaceName);
std::vector<std::string> Inform6ProbeArguments(const std::string& interfaceName);
// veyra-probe census INTERFACE WAIT_MS FAMILIES VLANS CLIENT_MAC PROMISC, with
// VLANS as "-" (untagged) or ids and ranges ("10,20,100-199") and CLIENT_MAC
// as "-" (the interface's own), "random" or an address. The callbacks of the
// settings are the caller's own and not passed on.
std::vector<std::string> CensusProbeArguments(const CensusSettings& settings);

// One run's output, line by line: it keeps a DHCPINFORM's or an
// Information-request's options, or sorts a census's relayed frames by VLAN
// and family as RunCensus does.
class CProbeSession
{
public:
    explicit CProbeSession(const CensusLimits& limits = CensusLimits());

    // One line without its '\n'. False when it is malformed, out of order,
    // or past the bounds: the caller stops reading and ends the helper.
    bool Take(std::string_view line);

    bool Ended() const { return m_ended; }
    // The helper's capability lines after it dropped them.
    const std::string& Status() const { return m_status; }

    // 0, the helper's errno value, or EPROTO when its output broke off or was
    // not what a helper writes.
    int Finish(Lease& lease) const;
    // The Reply's options; source and answers are the caller's.
    int Finish(Lease6& lease) const;
    // A census's result, handed over: call it once.
    int Finish(CensusResult& result);

private:
    bool Refuse();
    bool TakeCensus(ProbeMessage& message);

    CensusLimits m_censusLimits;
    // A census: the plan until the first frame, then the sorter.
    std::optional<CensusPlan> m_plan;
    std::optional<Census> m_census;
    std::bitset<kMaxVlanId + 1> m_planned; // the VLANs planned; bit 0: untagged
    bool m_carrier = true;
    Lease m_lease;
    Dhcpv6Options m_options6;
    std::string m_status;
    std::size_t m_frames = 0;
    std::size_t m_frameBytes = 0;
    bool m_opened = false;
    bool m_hasOptions = false;
    bool m_hasOptions6 = false;
    bool m_ended = false;
    bool m_broken = false;
    int m_error = 0;
    std::uint64_t m_unrelayed = 0;
};
