// Wireshark's DHCPv6 dissector as the oracle of Veyra's DHCPv6 decoding: every
// DHCPv6 message in a pcap file is read by tshark and by DecodeAllOptions6
// from the same bytes (tshark -x gives them), and the two are compared option
// by option, nested options included, leaf by typed leaf.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Dhcpv6Difference
{
    std::size_t frame = 0; // as tshark numbers them, 1 first
    std::string where;     // "option 3 #0 > option 5 #0: dhcpv6.iaaddr.ip"
    std::string veyra;
    std::string tshark;
};

struct Dhcpv6Comparison
{
    std::size_t messages = 0; // DHCPv6 messages found and compared
    std::size_t options = 0;  // options compared, nested ones included
    std::size_t leaves = 0;   // typed leaves compared
    std::vector<Dhcpv6Difference> differences;
};

// Compares every DHCPv6 message of the capture (a server's Reply or any other,
// on UDP 546/547 as tshark finds them). A typed leaf is a field both sides
// know: IAIDs, lifetimes, addresses, prefixes, DUID parts, status codes,
// names, requested codes, NTP and vendor sub-options and the like; an option
// Veyra finds malformed must be one tshark complains about (error or
// malformed), and the reverse. False, with the reason in error, when tshark
// cannot run or a message tshark shows does not parse.
bool CompareDhcpv6WithTshark(const std::string& pcapPath, Dhcpv6Comparison& comparison,
                             std::string& error);
