// `veyra --check`: a census as a check in the monitoring-plugin conventions
// (one status line, "|", performance data; exit 0 OK, 1 WARNING,
// 2 CRITICAL, 3 UNKNOWN), for Nagios-compatible engines.
#pragma once

#include "app/cli/census_verdict.h"
#include "app/cli/discover_command.h"
#include "app/cli/plugin_output.h"

// The check of a census that ran: a rogue, a conflict or silence is
// CRITICAL; a first reply slower than -c CRITICAL, than -w WARNING.
DiscoverOutcome CensusCheck(const DiscoverCommand& command, const CensusResult& result,
                            const CensusVerdict& verdict);

// A census that could not run is UNKNOWN, with failure's reason.
DiscoverOutcome CensusCheckFailure(const DiscoverOutcome& failure);
