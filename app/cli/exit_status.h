// How the veyra command ends: its exit statuses, and the texts of its
// failures. The one place where the back ends' errno values meet the user.
#pragma once

#include <string>

enum ExitStatus
{
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoAdapter = 3,
    kExitNoPermission = 4,
    kExitNoLease = 5,
    kExitNoServer = 5,     // --discover: no DHCP server answered
    kExitOtherServers = 6, // --discover: more than one server, or one not expected
};

// The system's text for the errno value, or its number where there is none.
std::string SystemText(int nError);

// The status of a request that failed with this errno value.
ExitStatus ExitStatusFor(int nError);

// What standard error says when the request for the adapter failed with this
// errno value: the window program's "DHCP Error" line with the system's text,
// and for a missing lease what else to try.
std::string RequestFailureText(int nError, const std::string& strAdapter, bool bInform);

// What standard error says when the DHCPINFORM of --inform could not be made
// or was not answered, with the reason: "veyra: could not ask the DHCP
// server: ...". The status is ExitStatusFor(nError), also where the other
// sources' rows are shown.
std::string UnaskedText(int nError, const std::string& strAdapter);

// What standard error says when no adapter has the name or hardware address
// given; the status is kExitNoAdapter.
std::string NoSuchAdapterText(const std::string& strArgument);
