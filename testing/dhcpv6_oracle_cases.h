// The DHCPv6 options the oracle suite puts to Veyra and to Wireshark's
// dissector: a well-formed sample of every row of kDhcpv6Options, each at the
// edge lengths, and hostile bytes that break nested options at every level.
// They also seed the DHCPv6 fuzzers.
#pragma once

#include "core/model/lease6.h"
#include "core/options/dhcpv6_options.h"
#include "testing/oracle_cases.h"

#include <cstdint>
#include <string>
#include <vector>

struct Dhcpv6OracleCase
{
    std::string name; // "sample", "empty", "one short", "one long" or what it breaks
    std::uint16_t code = 0;
    OptionBytes data;
};

// A well-formed value of the row, in the layout the RFC that assigns the code
// gives it (identity associations hold an address or prefix and a status).
OptionBytes Dhcpv6OracleSample(const Dhcpv6Row& row);

std::vector<Dhcpv6OracleCase> Dhcpv6SampleCases();

// Every row's sample cut or grown by a byte, and empty; lengths equal to
// another case's are left out.
std::vector<Dhcpv6OracleCase> Dhcpv6EdgeCases();

// Lengths that overrun at every nesting level, truncated headers, compressed
// or cut names, DUIDs of the wrong size, deep nesting, a full IA_PD.
std::vector<Dhcpv6OracleCase> Dhcpv6HostileCases();

// A Reply (message 7, transaction 0x5eed01) holding the options.
std::vector<std::uint8_t> Dhcpv6OracleReply(const Dhcpv6Options& options);

// For fuzz_dhcpv6_option (code, then data) each hostile case and the edge
// cases of each distinct layout; for fuzz_dhcpv6_message the Reply of every
// row's sample and one per hostile case.
std::vector<SeedFile> Dhcpv6OracleSeeds();
