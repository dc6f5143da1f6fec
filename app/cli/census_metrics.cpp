#include "app/cli/census_metrics.h"

std::string FormatCensusMetrics(const DiscoverCommand&, const CensusResult* result,
                                const CensusVerdict*, const InterfaceLeases&,
                                std::chrono::system_clock::time_point)
{
    return std::string("veyra_census_success ") + (result != nullptr ? "1" : "0") + "\n";
}
