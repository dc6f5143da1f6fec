// The verdict on a census for cron and monitoring: its findings, the VLANs
// where something expected stayed silent, and the exit status, decided here
// alone (veyra(1), EXIT STATUS).
#pragma once

#include "core/wire/approved_servers.h"
#include "core/wire/census.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Flags every responder no entry of the list approves (kServerUnexpected,
// kServer6Unexpected, kRouterUnexpected); nothing without a list.
void FlagUnexpected(CensusResult& result, const std::vector<ApprovedEntry>& approved);

// Something wrong with the responders of one family on one VLAN: a conflict,
// a DHCPv4 offer without server id, an unexpected responder, or (without a
// list) more than one responder of the family.
struct CensusFinding
{
    CensusFamily family = kCensusDhcpv4;
    std::optional<std::uint16_t> vlan;
    std::string text; // "veyra: ...", one line
};

struct CensusVerdict
{
    int status = 0;
    std::vector<CensusFinding> findings;
    // "veyra: no ... answered ..." lines for status 5.
    std::vector<std::string> silences;
};

// The status: kExitOtherServers where there is any finding; otherwise
// kExitNoServer where a VLAN asked heard no responder of any family asked,
// or, with a list, where a family and VLAN that an entry applies to heard no
// responder of that family; otherwise kExitDone.
CensusVerdict JudgeCensus(const std::string& interfaceName, std::chrono::milliseconds wait,
                          const CensusResult& result, const std::vector<ApprovedEntry>& approved);

// " on eth0", " on eth0 VLAN 10".
std::string OnText(const std::string& interfaceName, std::optional<std::uint16_t> vlan);

// Whether a VLAN heard any responder of the families asked.
bool HeardAnything(const VlanCensus& vlan, unsigned families);

// Why nothing answered on a VLAN, from what was seen there: "no carrier",
// "no packets at all", or what the packets were.
std::string SilenceReason(const CensusResult& result, const VlanCensus& vlan);
