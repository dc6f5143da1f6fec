// `veyra --check`: a census as a check in the monitoring-plugin conventions
// (one status line, "|", performance data; exit 0 OK, 1 WARNING,
// 2 CRITICAL, 3 UNKNOWN), for Nagios-compatible engines.
#pragma once

#include "app/cli/census_verdict.h"
#include "app/cli/discover_command.h"
#include "app/cli/plugin_output.h"

// The check of a census that ran: a finding of JudgeCensus or silence is
// CRITICAL; a first reply slower than -c CRITICAL, than -w WARNING. The
// worst problem leads the status line, every problem follows it.
DiscoverOutcome CensusCheck(const DiscoverCommand& command, const CensusResult& result,
                            const CensusVerdict& verdict);

// A census that could not run is UNKNOWN, with failure's reason.
DiscoverOutcome CensusCheckFailure(const DiscoverOutcome& failure);

// Wrong arguments to a check: UNKNOWN, with what is wrong, for the service
// ("DHCP", "DHCP LEASE").
DiscoverOutcome CheckUsageFailure(const std::string& service, const std::string& error);

// The first "veyra: text" line of the command's standard error as a
// problem's text: "text", with mode in place of a leading "--discover".
std::string ProblemLine(const std::string& err, const std::string& mode = std::string());

// The status line's summary from the problems, worst first: the first and a
// count of the rest; every one as long output where there are several.
void SummarizeProblems(const std::vector<std::string>& problems, PluginOutput& output);
