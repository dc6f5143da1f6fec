// An adapter's IPv6 side as the tests, the goldens and the screenshots show
// it: a DHCPv6 lease with identity associations, an answered
// Information-request, and what two routers advertised; some of it hostile.
#pragma once

#include "core/model/ipv6_rows.h"

#include <initializer_list>
#include <string_view>

namespace fake_ipv6
{
inline OptionBytes Bytes(std::initializer_list<std::uint8_t> bytes)
{
    return OptionBytes(bytes);
}

inline OptionBytes Text(std::string_view text)
{
    return OptionBytes(text.begin(), text.end());
}

// 2001:db8:99:: plus the last two bytes.
inline Ipv6Address Lab(std::uint8_t high, std::uint8_t low)
{
    return {0x20, 0x01, 0x0d, 0xb8, 0x00, 0x99, 0, 0, 0, 0, 0, 0, 0, 0, high, low};
}

inline Ipv6Address LinkLocal(std::uint8_t low)
{
    return {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, low};
}

inline Lease6 SampleLease6()
{
    Lease6 lease;
    lease.source = "dhcpcd";
    lease.obtained = 1796738587; // 2026-12-08T14:03:07+00:00
    lease.options = {
        // DUID-LLT: type 1, hardware 1, time, 02:00:00:99:00:02.
        {1, Bytes({0, 1, 0, 1, 0x2a, 0x3b, 0x4c, 0x5d, 2, 0, 0, 0x99, 0, 2})},
        // DUID-LL: type 3, hardware 1, 02:00:00:99:00:01.
        {2, Bytes({0, 3, 0, 1, 2, 0, 0, 0x99, 0, 1})},
        // IA_NA: IAID 1, T1 1800, T2 2880; IAADDR 2001:db8:99::92,
        // preferred 3600, valid 7200.
        {3, Bytes({0, 0,  0,    1,    0,    0,    0x07, 0x08, 0, 0, 0x0b, 0x40, 0, 5,
                   0, 24, 0x20, 0x01, 0x0d, 0xb8, 0,    0x99, 0, 0, 0,    0,    0, 0,
                   0, 0,  0,    0x92, 0,    0,    0x0e, 0x10, 0, 0, 0x1c, 0x20})},
        // IA_PD: IAID 2, T1 and T2 infinite; IAPREFIX preferred 3600, valid
        // 7200, 2001:db8:9900::/56.
        {25, Bytes({0,    0,    0, 2, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0,    26,
                    0,    25,   0, 0, 0x0e, 0x10, 0,    0,    0x1c, 0x20, 56,   0x20, 0x01, 0x0d,
                    0xb8, 0x99, 0, 0, 0,    0,    0,    0,    0,    0,    0,    0,    0})},
        // An IA_NA whose IAADDR claims more bytes than there are.
        {3, Bytes({0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 24, 0x20, 0x01})},
        // DNS: 2001:db8:99::1.
        {23, Bytes({0x20, 0x01, 0x0d, 0xb8, 0, 0x99, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})},
        // Domain list: "lab.example" and a name with an escape sequence and a
        // right-to-left override.
        {24, Text(std::string_view("\x03lab\x07"
                                   "example\x00\x09"
                                   "e\x1b[2J\xE2\x80\xAEv\x00",
                                   24))},
        // A code no row names, and a status message that is not UTF-8.
        {65000, Bytes({0x1b, 0xff})},
        {13, Bytes({0, 0, 'o', 0xff, 'k'})},
    };
    lease.cutOptions = {13};
    lease.unmapped = {{"dhcp6_x\xFF", std::nullopt, "a\x1b]0;t\x07"}};
    return lease;
}

inline Lease6 SampleInform6()
{
    Lease6 answer;
    answer.source = "inform";
    answer.options = {
        {2, Bytes({0, 3, 0, 1, 2, 0, 0, 0x99, 0, 1})},
        {23, Bytes({0x20, 0x01, 0x0d, 0xb8, 0, 0x99, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x53})},
    };
    return answer;
}

inline RouterAdvertisements SampleRouters()
{
    RouterAdvertisements routers;
    routers.received = true;
    routers.managed = true;
    routers.otherConfig = true;
    routers.routers = {{LinkLocal(1), RouterPreference::High, 1800, 1024},
                       {LinkLocal(2), RouterPreference::Low, std::nullopt, 1024}};
    LearnedPrefix onLink;
    onLink.prefix = Lab(0, 0);
    onLink.length = 64;
    onLink.onLink = true;
    onLink.autonomous = true;
    onLink.validLifetime = 86400;
    onLink.preferredLifetime = 14400;
    LearnedPrefix unbounded;
    unbounded.prefix = Lab(0, 0);
    unbounded.prefix[7] = 1;
    unbounded.length = 64;
    routers.prefixes = {onLink, unbounded};
    routers.mtu = 1500;
    routers.dnsServers = {Lab(0, 0x53), Lab(0, 0x54)};
    routers.searchDomains = {"lab.example", "x\xE2\x80\xAEy\x1b[1m"};
    routers.dnsSource = "dhcpcd";
    return routers;
}

// A lease, an answered Information-request and two routers.
inline Ipv6Part SamplePart()
{
    Ipv6Part part;
    part.lease = SampleLease6();
    part.informAsked = true;
    part.inform = SampleInform6();
    part.routers = SampleRouters();
    return part;
}
} // namespace fake_ipv6
