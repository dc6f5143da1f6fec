// Reads veyra-probe census's output on standard input as the window does
// (CProbeSession) and prints, per VLAN, what the census found:
//   status CapEff:\t0000000000000000
//   untagged dhcpv4 1 dhcpv6 1 routers 1 other 0 icmp 0
// Exit status 0, or 1 when the session refused a line or failed.
#include "linux/probe_client.h"

#include <iostream>
#include <string>

int main()
{
    CProbeSession session{CensusLimits()};
    for (std::string line; std::getline(std::cin, line);)
    {
        if (!session.Take(line))
            return 1;
    }
    CensusResult result;
    if (const int error = session.Finish(result))
    {
        std::cout << "error " << error << "\n";
        return 1;
    }
    for (std::size_t at = 0, next = 0; at < session.Status().size(); at = next + 1)
    {
        next = session.Status().find('\n', at);
        std::cout << "status " << session.Status().substr(at, next - at) << "\n";
        if (next == std::string::npos)
            break;
    }
    for (const VlanCensus& vlan : result.vlans)
        std::cout << (vlan.probe.vlan ? "vlan " + std::to_string(*vlan.probe.vlan) : "untagged")
                  << " dhcpv4 " << vlan.servers.size() << " dhcpv6 " << vlan.servers6.size()
                  << " routers " << vlan.routers.size() << " other " << vlan.seen.otherVlanAnswers
                  << " icmp " << vlan.seen.icmpErrors << "\n";
    std::cout << "carrier " << result.carrier << " unplanned " << result.unplannedFrames << "\n";
    return 0;
}
