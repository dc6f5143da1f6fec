// The monitoring-plugin form that Nagios-compatible engines read (the
// Monitoring Plugins Development Guidelines): one status line, "|" and the
// performance data, then lines of long output; the exit status says the state.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The plugin's exit statuses.
enum CheckStatus
{
    kCheckOk = 0,
    kCheckWarning = 1,
    kCheckCritical = 2,
    kCheckUnknown = 3,
};

// "OK", "WARNING", "CRITICAL", "UNKNOWN".
const char* CheckStatusName(CheckStatus status);

// The worse of two statuses: CRITICAL over WARNING over UNKNOWN over OK.
CheckStatus WorseStatus(CheckStatus a, CheckStatus b);

// One value of the performance data: 'label'=value[unit];warn;crit;min;max.
// warning and critical are threshold ranges as the guidelines write them
// ("500" alerts above 500, "24:" below 24); an empty value is "U", not known.
struct PerfDatum
{
    std::string label;
    std::optional<double> value;
    std::string unit; // "ms", "s", "%", "B", "c" or none
    std::string warning;
    std::string critical;
    std::optional<double> min;
    std::optional<double> max;
};

struct PluginOutput
{
    std::string service; // "DHCP"
    CheckStatus status = kCheckUnknown;
    std::string summary;
    std::vector<PerfDatum> perfData;
    std::vector<std::string> details; // the long output, one line each
};

// "DHCP CRITICAL - summary | 'a b'=1ms;2;3;0\ndetail\n". A peer's text shows as
// peer_text shows it, a "|" outside the performance data as \x7C; a label is
// quoted where it holds more than letters, digits, "_", "." and "-", with its
// "'" doubled and "=" as \x3D.
std::string FormatPluginOutput(const PluginOutput& output);

// A number as the performance data writes it: at most three decimals,
// without trailing zeros ("12.5", "3", "-1").
std::string PerfNumber(double value);
