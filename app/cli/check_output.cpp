#include "app/cli/check_output.h"

DiscoverOutcome CensusCheck(const DiscoverCommand&, const CensusResult&, const CensusVerdict&)
{
    return {"DHCP UNKNOWN - the check is being built\n", std::string(), kCheckUnknown};
}

DiscoverOutcome CensusCheckFailure(const DiscoverOutcome& failure)
{
    return {"DHCP UNKNOWN - " + failure.err, std::string(), kCheckUnknown};
}
