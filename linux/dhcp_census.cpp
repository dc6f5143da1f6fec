#include "linux/dhcp_census.h"

#include <cerrno>

int RunCensus(const CensusSettings&, CensusResult& result)
{
    result = CensusResult();
    return ENOSYS;
}
