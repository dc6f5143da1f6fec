#include "core/options/extended_catalogue.h"

#include <algorithm>
#include <iterator>

namespace
{
using T = ValueType;

// Option 53, with the lease query types of RFC 4388 and RFC 6926 and RFC 7724's.
constexpr ValueName kMessageTypes[] = {
    {1, "DHCPDISCOVER"},
    {2, "DHCPOFFER"},
    {3, "DHCPREQUEST"},
    {4, "DHCPDECLINE"},
    {5, "DHCPACK"},
    {6, "DHCPNAK"},
    {7, "DHCPRELEASE"},
    {8, "DHCPINFORM"},
    {9, "DHCPFORCERENEW"},
    {10, "DHCPLEASEQUERY"},
    {11, "DHCPLEASEUNASSIGNED"},
    {12, "DHCPLEASEUNKNOWN"},
    {13, "DHCPLEASEACTIVE"},
    {14, "DHCPBULKLEASEQUERY"},
    {15, "DHCPLEASEQUERYDONE"},
    {16, "DHCPACTIVELEASEQUERY"},
    {17, "DHCPLEASEQUERYSTATUS"},
    {18, "DHCPTLS"},
    {0, nullptr},
};

constexpr ValueName kOverloads[] = {
    {1, "file"},
    {2, "sname"},
    {3, "file and sname"},
    {0, nullptr},
};

// RFC 1001/1002 node types, as RFC 2132 8.7 numbers them.
constexpr ValueName kNodeTypes[] = {
    {1, "B-node"}, {2, "P-node"}, {4, "M-node"}, {8, "H-node"}, {0, nullptr},
};

// RFC 2563.
constexpr ValueName kAutoConfigure[] = {
    {0, "DoNotAutoConfigure"},
    {1, "AutoConfigure"},
    {0, nullptr},
};

// RFC 6926 7.
constexpr ValueName kLeaseStates[] = {
    {1, "AVAILABLE"}, {2, "ACTIVE"}, {3, "EXPIRED"},       {4, "RELEASED"}, {5, "ABANDONED"},
    {6, "RESET"},     {7, "REMOTE"}, {8, "TRANSITIONING"}, {0, nullptr},
};

// Sorted by code, so that a lookup is a binary search.
constexpr ExtendedRow kRows[] = {
    {1, "Subnet Mask", T::Address},
    {2, "Time Offset", T::Int32},
    {3, "Router", T::Addresses},
    {4, "Time Server", T::Addresses},
    {5, "Name Server", T::Addresses},
    {6, "Domain Name Server", T::Addresses},
    {7, "Log Server", T::Addresses},
    {8, "Cookie Server", T::Addresses},
    {9, "LPR Server", T::Addresses},
    {10, "Impress Server", T::Addresses},
    {11, "Resource Location Server", T::Addresses},
    {12, "Host Name", T::Text},
    {13, "Boot File Size", T::UInt16},
    {14, "Merit Dump File", T::Text},
    {15, "Domain Name", T::Text},
    {16, "Swap Server", T::Address},
    {17, "Root Path", T::Text},
    {18, "Extensions Path", T::Text},
    {19, "IP Forwarding", T::Boolean},
    {20, "Non-Local Source Routing", T::Boolean},
    {21, "Policy Filter", T::AddressMaskPairs},
    {22, "Maximum Datagram Reassembly Size", T::UInt16},
    {23, "Default IP Time-to-Live", T::UInt8},
    {24, "Path MTU Aging Timeout", T::Seconds},
    {25, "Path MTU Plateau Table", T::UInt16List},
    {26, "Interface MTU", T::UInt16},
    {27, "All Subnets are Local", T::Boolean},
    {28, "Broadcast Address", T::Address},
    {29, "Perform Mask Discovery", T::Boolean},
    {30, "Mask Supplier", T::Boolean},
    {31, "Perform Router Discover", T::Boolean},
    {32, "Router Solicitation Address", T::Address},
    {33, "Static Route", T::StaticRoutes},
    {34, "Trailer Encapsulation", T::Boolean},
    {35, "ARP Cache Timeout", T::Seconds},
    {36, "Ethernet Encapsulation", T::Boolean},
    {37, "TCP Default TTL", T::UInt8},
    {38, "TCP Keepalive Interval", T::Seconds},
    {39, "TCP Keepalive Garbage", T::Boolean},
    {40, "Network Information Service Domain", T::Text},
    {41, "Network Information Service Servers", T::Addresses},
    {42, "Network Time Protocol Servers", T::Addresses},
    {43, "Vendor-Specific Information", T::Suboptions},
    {44, "NetBIOS over TCP/IP Name Server", T::Addresses},
    {45, "NetBIOS over TCP/IP Datagram Distribution Name Server", T::Addresses},
    {46, "NetBIOS over TCP/IP Node Type", T::NamedUInt8, kNodeTypes},
    {47, "NetBIOS over TCP/IP Scope", T::Text},
    {48, "X Window System Font Server", T::Addresses},
    {49, "X Window System Display Manager", T::Addresses},
    {50, "Requested IP Address", T::Address},
    {51, "IP Address Lease Time", T::Seconds},
    {52, "Option Overload", T::NamedUInt8, kOverloads},
    {53, "DHCP Message Type", T::NamedUInt8, kMessageTypes},
    {54, "DHCP Server Identifier", T::Address},
    {55, "Parameter Request List", T::ParameterList},
    {56, "Message", T::Text},
    {57, "Maximum DHCP Message Size", T::UInt16},
    {58, "Renewal Time Value", T::Seconds},
    {59, "Rebinding Time Value", T::Seconds},
    {60, "Vendor class identifier", T::Text},
    {61, "Client identifier", T::ClientId},
    {62, "NetWare/IP Domain Name", T::Text},
    {63, "NetWare/IP Information", T::DefinedSuboptions},
    {64, "Network Information Service+ Domain", T::Text},
    {65, "Network Information Service+ Servers", T::Addresses},
    {66, "TFTP Server Name", T::Text},
    {67, "Bootfile name", T::Text},
    {68, "Mobile IP Home Agent", T::Addresses},
    {69, "SMTP Server", T::Addresses},
    {70, "POP3 Server", T::Addresses},
    {71, "NNTP Server", T::Addresses},
    {72, "Default WWW Server", T::Addresses},
    {73, "Default Finger Server", T::Addresses},
    {74, "Default IRC Server", T::Addresses},
    {75, "StreetTalk Server", T::Addresses},
    {76, "StreetTalk Directory Assistance Server", T::Addresses},
    {77, "User Class Information", T::UserClass},
    {78, "Directory Agent Information", T::FlagAndAddresses},
    {79, "Service Location Agent Scope", T::FlagAndText},
    {80, "Rapid Commit", T::Presence},
    {81, "Client Fully Qualified Domain Name", T::ClientFqdn},
    {82, "Relay Agent Information", T::RelayAgentInfo},
    {83, "Internet Storage Name Service", T::IsnsServers},
    {85, "NDS Servers", T::Addresses},
    {86, "NDS Tree Name", T::Text},
    {87, "NDS Context", T::Text},
    {88, "BCMCS Controller Domain Name List", T::DomainList},
    {89, "BCMCS Controller IPv4 Address", T::Addresses},
    {90, "Authentication", T::Authentication},
    {91, "Client Last Transaction Time", T::Seconds},
    {92, "Associated IP", T::Addresses},
    {93, "Client System Architecture", T::UInt16List},
    {94, "Client Network Device Interface", T::InterfaceId},
    {95, "LDAP Servers", T::Bytes},
    {97, "UUID/GUID-based Client Identifier", T::MachineId},
    {98, "User Authentication", T::Text},
    {99, "Civic Location", T::CivicLocation},
    {100, "PCode (POSIX Time Zone)", T::Text},
    {101, "TCode (Time Zone Database)", T::Text},
    {108, "IPv6-Only Preferred", T::Seconds},
    {112, "NetInfo Parent Server Address", T::Addresses},
    {113, "NetInfo Parent Server Tag", T::Text},
    {114, "DHCP Captive-Portal", T::Text},
    {116, "Auto-Configure", T::NamedUInt8, kAutoConfigure},
    {117, "Name Service Search", T::UInt16List},
    {118, "Subnet Selection", T::Address},
    {119, "Domain Search", T::DomainList},
    {120, "SIP Servers", T::SipServers},
    {121, "Classless Static Route", T::ClasslessRoutes},
    {122, "Client Configuration (CCC)", T::DefinedSuboptions},
    {123, "Coordinate-Based Location", T::GeoConf},
    {124, "V-I Vendor Class", T::VendorClasses},
    {125, "V-I Vendor-Specific Information", T::VendorSuboptions},
    {136, "PANA Authentication Agent", T::Addresses},
    {137, "LoST Server", T::DomainList},
    {138, "CAPWAP Access Controller", T::Addresses},
    {139, "IPv4 Address MoS", T::Suboptions},
    {140, "IPv4 FQDN MoS", T::Suboptions},
    {141, "SIP UA Configuration Service Domains", T::DomainList},
    {142, "IPv4 Address ANDSF", T::Addresses},
    {143, "SZTP Redirect", T::UriList},
    {144, "GeoLoc", T::GeoLoc},
    {145, "FORCERENEW Nonce Capable", T::UInt8List},
    {146, "RDNSS Selection", T::RdnssSelection},
    {147, "DOTS Reference Identifier", T::DomainList},
    {148, "DOTS Address", T::Addresses},
    {150, "TFTP Server Address", T::Addresses},
    {151, "Status Code", T::StatusCode},
    {152, "Base Time", T::UInt32},
    {153, "Start Time of State", T::Seconds},
    {154, "Query Start Time", T::UInt32},
    {155, "Query End Time", T::UInt32},
    {156, "DHCP State", T::NamedUInt8, kLeaseStates},
    {157, "Data Source", T::DataSource},
    {158, "PCP Server", T::PcpServers},
    {159, "Port Parameters", T::PortParameters},
    {161, "MUD URL", T::Text},
    {162, "Encrypted DNS Server", T::EncryptedDns},
    {208, "PXELINUX Magic", T::PxelinuxMagic},
    {209, "Configuration File", T::Text},
    {210, "Path Prefix", T::Text},
    {211, "Reboot Time", T::Seconds},
    {212, "6RD", T::SixRd},
    {213, "Access Network Domain Name", T::DomainList},
    {220, "Subnet Allocation", T::Bytes},
    {221, "Virtual Subnet Selection", T::VirtualSubnet},
    {249, "Private/Classless Static Route", T::ClasslessRoutes}, // 121's format at a private code
    {252, "Web Proxy Auto-Discovery (WPAD)", T::Text},
};

constexpr bool IsSortedByCode()
{
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].nCode >= kRows[i].nCode)
            return false;
    return true;
}
static_assert(IsSortedByCode(), "the extended catalogue is searched by code");
static_assert(kRows[0].nCode != 0 && std::end(kRows)[-1].nCode != 255, "pad and end carry no data");
} // namespace

const ExtendedRow* FindExtendedRow(std::uint8_t nCode)
{
    const ExtendedRow* pRow = std::lower_bound(std::begin(kRows), std::end(kRows), nCode,
                                               [](const ExtendedRow& row, std::uint8_t code)
                                               { return row.nCode < code; });
    return pRow != std::end(kRows) && pRow->nCode == nCode ? pRow : nullptr;
}

const ExtendedRow* ExtendedRowsBegin()
{
    return std::begin(kRows);
}

const ExtendedRow* ExtendedRowsEnd()
{
    return std::end(kRows);
}

const char* FindValueName(const ValueName* pNames, std::uint8_t nValue)
{
    for (const ValueName* pName = pNames; pName != nullptr && pName->pszName != nullptr; ++pName)
        if (pName->nValue == nValue)
            return pName->pszName;
    return nullptr;
}
