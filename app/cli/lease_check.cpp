#include "app/cli/lease_check.h"

#include "app/cli/check_output.h"

std::string ParseLeaseCheckCommand(const std::vector<std::string>&, LeaseCheckCommand&)
{
    return "--check-lease is being built";
}

DiscoverOutcome RunLeaseCheck(const LeaseCheckCommand&, const DiscoverBackEnd&)
{
    return {"DHCP LEASE UNKNOWN - the check is being built\n", std::string(), kCheckUnknown};
}
