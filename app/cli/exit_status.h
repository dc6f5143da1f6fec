// How the veyra command ends: its exit statuses, and the texts of its
// failures. The one place where the back ends' errno values meet the user.
#pragma once

#include <optional>
#include <string>

enum ExitStatus
{
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoAdapter = 3,
    kExitNoPermission = 4,
    kExitNoLease = 5,
    kExitNoServer = 5,     // --discover: silence where an answer was due (JudgeCensus)
    kExitOtherServers = 6, // --discover: a finding: a rogue, a conflict, more than one
};

// The status of a request that failed with this errno value.
ExitStatus ExitStatusFor(int error);

// What standard error says when the request for the adapter failed with this
// errno value: the window program's "DHCP Error" line with the errno value's
// text and name ("DHCP Error 61: No data available (ENODATA)"), and for a
// missing lease what else to try.
std::string RequestFailureText(int error, const std::string& adapter, bool inform);

// What standard error says when the DHCPINFORM of --inform could not be made
// or was not answered, with the reason: "veyra: could not ask the DHCP
// server: ...". The status is ExitStatusFor(error), also where the other
// sources' rows are shown.
std::string UnaskedText(int error, const std::string& adapter);

// What one address family of a request came to: lease is 0 where the
// family has a lease (for IPv6 also where an Information-request was
// answered), else the errno value of why not; unasked is the errno value of
// the --inform question that failed, else 0.
struct FamilyOutcome
{
    int lease = 0;
    int unasked = 0;
};

// The status of a request for the families shown (nullopt for one not
// shown): where no family shown has a lease, ExitStatusFor the first one's
// lease failure; else ExitStatusFor the first failed --inform question;
// else kExitDone. IPv4 comes first.
ExitStatus RequestStatus(const std::optional<FamilyOutcome>& ipv4,
                         const std::optional<FamilyOutcome>& ipv6);

// RequestFailureText's lines for the DHCPv6 lease: "DHCPv6 Error 61: No
// data available (ENODATA)", and for a missing lease where else to look.
std::string Lease6FailureText(int error, const std::string& adapter, bool inform);

// UnaskedText's line for the DHCPv6 Information-request: "veyra: could not
// ask the DHCPv6 servers: ...".
std::string Unasked6Text(int error, const std::string& adapter);

// What standard error says when no adapter has the name or hardware address
// given; the status is kExitNoAdapter.
std::string NoSuchAdapterText(const std::string& argument);
