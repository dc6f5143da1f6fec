// The DHCP options the oracle suite puts to Veyra and to Wireshark's
// dissector: a well-formed sample of every row of the extended catalogue,
// each at the edge lengths, and hostile bytes. The hostile and edge cases are
// also the fuzzers' seeds.
#pragma once

#include "core/model/lease.h"
#include "core/options/extended_catalogue.h"

#include <cstdint>
#include <string>
#include <vector>

struct OracleCase
{
    std::string
        m_strName; // "sample", "empty", "one short", "one long", "255 bytes" or what it breaks
    std::uint8_t m_nCode = 0;
    OptionBytes m_Data;
};

// The leased address of every reply the suite makes: 10.99.0.146.
constexpr std::uint32_t kOracleLeasedAddress = 0x0A630092;

// A well-formed value of the row's type, in the format the RFC that assigns
// the code gives it (its own layout where the type's general one is not
// enough, e.g. an enterprise number's data). Option 53 is DHCPACK.
OptionBytes OracleSample(const ExtendedRow& row);

// A well-formed value of the type, in its general layout (DHCPv4's types).
OptionBytes OracleTypeSample(ValueType type);

// Every row's sample.
std::vector<OracleCase> SampleCases();

// Every row's sample cut and repeated to the lengths that catch off-by-one
// faults: 0, one short, one long and 255 bytes (the longest an option is
// without being split). Lengths equal to another case's are left out.
std::vector<OracleCase> EdgeCases();

// Bytes that break a structured type: a truncated route, a name compression
// loop, sub-options that run past their end, and the like.
std::vector<OracleCase> HostileCases();

// A DHCPACK (BOOTREPLY) to 10.99.0.146 holding the options, each in the
// options field; option 53 is always DHCPACK.
std::vector<std::uint8_t> OracleAck(const OptionMap& options);

// One seed of a fuzzer, by its path under fuzz/corpus.
struct SeedFile
{
    std::string m_strPath;
    std::vector<std::uint8_t> m_Bytes;
};

// The cases as fuzzers' seeds, each named "oracle_...": for
// fuzz_extended_option (the code, then the data) every hostile case and the
// edge cases of each distinct layout (the decoder reads by type); for
// fuzz_bootp_message the DHCPACK of every row's sample and one per hostile case;
// and the DHCPv6 cases' seeds (Dhcpv6OracleSeeds).
std::vector<SeedFile> OracleSeeds();
