#include "core/options/dhcpv6_options.h"

#include <cstddef>
#include <iterator>

namespace
{
using T = ValueType;

// RFC 8415 21.19: the message types a server may ask a client to send.
constexpr ValueName kReconfigureTypes[] = {
    {5, "Renew"},
    {6, "Rebind"},
    {11, "Information-request"},
    {0, nullptr},
};

// The registry's options up to 143 that this program reads; codes 10 and 35
// are unassigned, and 138 to 142 are not.
constexpr Dhcpv6Row kRows[] = {
    {1, "Client Identifier", T::Duid, {}, nullptr, kNotRequested},
    {2, "Server Identifier", T::Duid, {}, nullptr, kNotRequested},
    {3, "Identity Association for Non-temporary Addresses", T::IaNa, {}, nullptr, kNotRequested},
    {4, "Identity Association for Temporary Addresses", T::IaTa, {}, nullptr, kNotRequested},
    {5, "IA Address", T::IaAddress, {}, nullptr, kNotRequested},
    {6, "Option Request", T::OptionCodes, {}, nullptr, kNotRequested},
    {7, "Preference", T::UInt8, {}, nullptr, kNotRequested},
    {8, "Elapsed Time", T::Hundredths, {}, nullptr, kNotRequested},
    {9, "Relay Message", T::RelayMessage, {}, nullptr, kNotRequested},
    {11, "Authentication", T::Authentication, {}, nullptr, kNotRequested},
    {12, "Server Unicast", T::Address6, {}, nullptr, kNotRequested},
    {13, "Status Code", T::StatusCode6, {}, nullptr, kNotRequested},
    {14, "Rapid Commit", T::Presence, {}, nullptr, kNotRequested},
    {15, "User Class", T::UserClasses6, {}, nullptr, kNotRequested},
    {16, "Vendor Class", T::VendorClass6, {}, nullptr, kNotRequested},
    {17, "Vendor-Specific Information", T::VendorOptions6},
    {18, "Interface-Id", T::Bytes, {}, nullptr, kNotRequested},
    {19, "Reconfigure Message", T::NamedUInt8, {}, kReconfigureTypes, kNotRequested},
    {20, "Reconfigure Accept", T::Presence, {}, nullptr, kNotRequested},
    {21, "SIP Servers Domain Name List", T::DomainList6},
    {22, "SIP Servers IPv6 Address List", T::Addresses6},
    {23, "DNS Recursive Name Server", T::Addresses6},
    {24, "Domain Search List", T::DomainList6},
    {25, "Identity Association for Prefix Delegation", T::IaNa, {}, nullptr, kNotRequested},
    {26, "IA Prefix", T::IaPrefix, {}, nullptr, kNotRequested},
    {27, "NIS Servers", T::Addresses6},
    {28, "NIS+ Servers", T::Addresses6},
    {29, "NIS Domain Name", T::DomainList6},
    {30, "NIS+ Domain Name", T::DomainList6},
    {31, "SNTP Servers", T::Addresses6},
    {32, "Information Refresh Time", T::Seconds},
    {33, "BCMCS Controller Domain Name List", T::DomainList6},
    {34, "BCMCS Controller IPv6 Address List", T::Addresses6},
    {36, "Civic Location", T::CivicLocation},
    {37, "Relay Agent Remote-ID", T::RemoteId, {}, nullptr, kNotRequested},
    {38, "Relay Agent Subscriber-ID", T::Bytes, {}, nullptr, kNotRequested},
    {39, "Client FQDN", T::ClientFqdn6},
    {40, "PANA Authentication Agent", T::Addresses6},
    {41, "New POSIX Timezone", T::Text},
    {42, "New TZDB Timezone", T::Text},
    {43, "Echo Request", T::OptionCodes, {}, nullptr, kNotRequested},
    {44, "Leasequery Query", T::Bytes, {}, nullptr, kNotRequested},
    {45, "Leasequery Client Data", T::Options6, {}, nullptr, kNotRequested},
    {46, "Client Last Transaction Time", T::UInt32, {}, nullptr, kNotRequested},
    {47, "Leasequery Relay Data", T::Bytes, {}, nullptr, kNotRequested},
    {48, "Leasequery Client Link Addresses", T::Addresses6, {}, nullptr, kNotRequested},
    {49, "Home Network Identifier FQDN", T::DomainName6},
    {50, "Visited Home Network Information", T::Bytes},
    {51, "LoST Server", T::DomainName6},
    {52, "CAPWAP Access Controllers", T::Addresses6},
    {53, "Relay-ID", T::Duid, {}, nullptr, kNotRequested},
    {54, "MoS IPv6 Addresses", T::Bytes},
    {55, "MoS Domain Name List", T::Bytes},
    {56, "NTP Server", T::NtpServer},
    {57, "Access Network Domain Name", T::DomainName6},
    {58, "SIP User Agent Configuration Service Domains", T::DomainList6},
    {59, "Boot File URL", T::Text},
    {60, "Boot File Parameters", T::UriList},
    {61, "Client System Architecture Type", T::UInt16List, {}, nullptr, kNotRequested},
    {62, "Client Network Interface Identifier", T::InterfaceId, {}, nullptr, kNotRequested},
    {63, "Geolocation", T::GeoLoc},
    {64, "AFTR Name", T::DomainName6},
    {65, "ERP Local Domain Name", T::DomainName6},
    {66, "Relay-Supplied Options", T::Options6, {}, nullptr, kNotRequested},
    {67, "Prefix Exclude", T::Bytes},
    {68, "Virtual Subnet Selection", T::VirtualSubnet, {}, nullptr, kNotRequested},
    {69, "Identified Home Network Information", T::Bytes},
    {70, "Unrestricted Home Network Information", T::Bytes},
    {71, "Home Network Prefix", T::Bytes},
    {72, "Home Agent Address", T::Address6},
    {73, "Home Agent FQDN", T::DomainName6},
    {74, "RDNSS Selection", T::Bytes},
    {75, "Kerberos Principal Name", T::Bytes},
    {76, "Kerberos Realm Name", T::Bytes},
    {77, "Kerberos Default Realm Name", T::Bytes},
    {78, "Kerberos KDC", T::Bytes},
    {79, "Client Link-Layer Address", T::LinkLayerAddress, {}, nullptr, kNotRequested},
    {80, "Link Address", T::Address6, {}, nullptr, kNotRequested},
    {81, "RADIUS Attributes", T::Bytes},
    {82, "SOL_MAX_RT", T::Seconds},
    {83, "INF_MAX_RT", T::Seconds},
    {84, "Address Selection", T::Bytes},
    {85, "Address Selection Policy Table", T::Bytes},
    {86, "PCP Servers", T::Addresses6},
    {87, "DHCPv4 Message", T::Bytes},
    {88, "DHCP 4o6 Server Addresses", T::Addresses6},
    {89, "S46 Rule", T::Bytes},
    {90, "S46 BR", T::Address6},
    {91, "S46 DMR", T::Bytes},
    {92, "S46 IPv4/IPv6 Address Binding", T::Bytes},
    {93, "S46 Port Parameters", T::PortParameters},
    {94, "S46 MAP-E Container", T::Options6},
    {95, "S46 MAP-T Container", T::Options6},
    {96, "S46 Lightweight 4over6 Container", T::Options6},
    {97, "4RD", T::Options6},
    {98, "4RD Map Rule", T::Bytes},
    {99, "4RD Non-Map Rule", T::Bytes},
    {100, "Leasequery Base Time", T::UInt32},
    {101, "Leasequery Start Time", T::UInt32},
    {102, "Leasequery End Time", T::UInt32},
    {103, "Captive Portal", T::Text},
    {104, "MPL Parameters", T::Bytes},
    {105, "Access Technology Type", T::UInt16},
    {106, "Access Network Name", T::Text},
    {107, "Access Point Name", T::Text},
    {108, "Access Point BSSID", T::Bytes},
    {109, "Access Network Operator ID", T::Bytes},
    {110, "Access Network Operator Realm", T::Text},
    {111, "S46 Priority", T::UInt16List},
    {112, "Manufacturer Usage Description URL", T::Text},
    {113, "IPv4/IPv6 Multicast Prefixes", T::Bytes},
    {114, "Failover Binding Status", T::UInt8},
    {115, "Failover Connect Flags", T::UInt16},
    {116, "Failover DNS Removal Info", T::Options6},
    {117, "Failover DNS Host Name", T::DomainName6},
    {118, "Failover DNS Zone Name", T::DomainName6},
    {119, "Failover DNS Flags", T::UInt16},
    {120, "Failover Expiration Time", T::UInt32},
    {121, "Failover Maximum Unacked BNDUPD", T::UInt32},
    {122, "Failover Maximum Client Lead Time", T::UInt32},
    {123, "Failover Partner Lifetime", T::UInt32},
    {124, "Failover Received Partner Lifetime", T::UInt32},
    {125, "Failover Partner Down Time", T::UInt32},
    {126, "Failover Partner Raw Client Time", T::UInt32},
    {127, "Failover Protocol Version", T::UInt16List},
    {128, "Failover Keepalive Time", T::UInt32},
    {129, "Failover Reconfigure Data", T::Bytes},
    {130, "Failover Relationship Name", T::Text},
    {131, "Failover Server Flags", T::UInt8},
    {132, "Failover Server State", T::UInt8},
    {133, "Failover Start Time of State", T::UInt32},
    {134, "Failover State Expiration Time", T::UInt32},
    {135, "Relay Source Port", T::UInt16},
    {136, "SZTP Redirect", T::UriList},
    {137, "S46 Binding Prefix Hint", T::Bytes},
    {143, "ANDSF IPv6 Address", T::Addresses6},
};

constexpr bool Sorted()
{
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].nCode >= kRows[i].nCode)
            return false;
    return true;
}
static_assert(Sorted(), "DHCPv6 rows are sorted by code, each code once");

static_assert(std::end(kRows)[-1].nCode < kDhcpv6RowCodeLimit,
              "the decoder's table of rows holds codes below kDhcpv6RowCodeLimit");

constexpr bool EachRowIsNamedAndReadable()
{
    for (const Dhcpv6Row& row : kRows)
        if (row.nCode == 0 || row.pszName == nullptr || row.pszName[0] == '\0' ||
            (row.pValueNames != nullptr) != (row.type == T::NamedUInt8) ||
            row.window.parameter != nullptr || (row.marks & ~unsigned{kNotRequested}) != 0)
            return false;
    return true;
}
static_assert(EachRowIsNamedAndReadable(),
              "every DHCPv6 row has a name, names where a value is named, and nothing of the "
              "window's DHCPv4 column nor DHCPv4's marks");
} // namespace

const Dhcpv6Table kDhcpv6Options{kRows};
