// `veyra --discover IF`: a census of the address-givers on a link (DHCPv4
// and DHCPv6 servers, IPv6 routers), untagged or on VLANs of a trunk. The
// arguments, and the run from settings to output and exit status, with the
// Linux back end handed in so that all of it is tested natively.
#pragma once

#include "core/model/lease.h"
#include "core/model/lease6.h"
#include "core/wire/approved_servers.h"
#include "linux/dhcp_census.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DiscoverCommand
{
    std::string interfaceName;
    std::chrono::milliseconds wait = kDefaultDiscoveryWait;
    unsigned families = kCensusAll;   // -4: DHCPv4; -6: DHCPv6 and routers
    std::vector<std::uint16_t> vlans; // ascending; empty: the untagged link
    bool promiscuous = false;
    std::optional<HardwareAddress> clientMac; // empty: the interface's own
    bool randomClientMac = false;             // --client-mac random: one per VLAN
    std::vector<ApprovedEntry> approved;      // every --expect
    std::vector<std::string> expectFiles;     // every --expect-file, read by RunDiscover
    bool all = false;
    bool json = false;
    // --check: one status line and performance data in the monitoring-plugin
    // conventions, and their exit status (0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN).
    bool check = false;
    // -w and -c: the first reply's time above which --check warns or is critical.
    std::optional<std::chrono::milliseconds> warning;
    std::optional<std::chrono::milliseconds> critical;
    // --metrics FILE: the census and the interface's leases in Prometheus's
    // text format, written whole under another name and renamed into place.
    std::string metricsFile;
};

// Adds the VLANs of "10,20,100-199" (1 to 4094, ranges ascending) to vlans,
// which stays ascending and without duplicates; empty when the list is
// good, otherwise what is wrong with it.
std::string ParseVlanList(std::string_view text, std::vector<std::uint16_t>& vlans);

// --wait's seconds with up to three decimals ("3", "0.5"), more than 0 and
// at most 600; -w's and -c's milliseconds, 1 to 600000.
bool ParseWait(const std::string& text, std::chrono::milliseconds& wait);
bool ParseMilliseconds(const std::string& text, std::optional<std::chrono::milliseconds>& ms);
// Decimal digits alone, from 1 to most.
std::optional<std::int64_t> ParseCount(const std::string& text, std::int64_t most);

// --client-mac's value: "random" (address empty) or a locally administered
// unicast address, so that no device's lease is touched; false for any other.
// Its error names what the address spares ("taken").
bool ParseClientMac(const std::string& text, std::optional<HardwareAddress>& address);
std::string ClientMacError(const char* spared);

// Reads the arguments of a census ("-4" and "-6" among them, "-w" and "-c"
// with --check); empty when they make sense, otherwise what is wrong with them.
std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command);

bool StandardErrorIsTerminal();

// The leases an interface's DHCP clients hold: error (an errno value, 0 when
// there is one) and the lease, per family.
struct InterfaceLeases
{
    int error = ENODATA;
    Lease lease;
    int error6 = ENODATA;
    Lease6 lease6;
};

// The Linux back end: RunCensus, whether standard error is a terminal (where
// the wait shows its progress), the interface's leases (read after the
// census, its privileges given up), the clock and the metrics file's writer.
struct DiscoverBackEnd
{
    std::function<int(const CensusSettings&, CensusResult&)> census;
    std::function<bool()> errorIsTerminal = StandardErrorIsTerminal;
    std::function<InterfaceLeases(const std::string& interfaceName)> leases = nullptr;
    std::function<std::chrono::system_clock::time_point()> now = std::chrono::system_clock::now;
    // Writes a whole file in place of the one at path, or leaves it as it
    // was: 0 or an errno value.
    std::function<int(const std::string& path, const std::string& text)> writeFile = nullptr;
};

// What the run writes to standard output and standard error, and its status.
struct DiscoverOutcome
{
    std::string out;
    std::string err;
    int status = 0;
};

// Why a census could not run (RunCensus's errno value), and its exit status.
DiscoverOutcome CensusFailure(int error, const std::string& interfaceName);

// Reads the --expect-file lists first (a file that cannot be read, or a bad
// line in it, ends the run with status 2). Writes to standard error through
// progress as the wait goes: on a terminal a line rewritten in place (time
// left, answers so far) and cleared at the end, elsewhere one line announcing
// the wait.
DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& progress);
