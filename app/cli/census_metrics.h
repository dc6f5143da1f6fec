// --metrics: a census and an interface's leases in Prometheus's text
// exposition format, for node_exporter's textfile collector. Every label
// value a peer chose is escaped by the format's rules and the number of
// series is bounded, so a hostile link cannot grow the collector's memory.
#pragma once

#include "app/cli/census_verdict.h"
#include "app/cli/discover_command.h"

#include <chrono>
#include <string>

// The whole file: result and verdict are null where the census could not run
// (veyra_census_success 0). command.approved holds every entry the census was
// judged by; without any, a responder's "approved" label is "unknown".
std::string FormatCensusMetrics(const DiscoverCommand& command, const CensusResult* result,
                                const CensusVerdict* verdict, const InterfaceLeases& leases,
                                std::chrono::system_clock::time_point now);
