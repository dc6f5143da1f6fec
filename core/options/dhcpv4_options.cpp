#include "core/options/dhcpv4_options.h"

#include <iterator>

namespace
{
using R = Rendering;
using T = ValueType;
using W = WireType;

// The window's names, as it has always shown them: the message types of RFC
// 2132 alone, the hardware type that starts a client identifier (RFC 1700 "ARP
// hardware types") and its own word for both overloaded fields.
constexpr ValueName kWindowMessageTypes[] = {
    {1, "DHCPDISCOVER"}, {2, "DHCPOFFER"},   {3, "DHCPREQUEST"}, {4, "DHCPDECLINE"}, {5, "DHCPACK"},
    {6, "DHCPNAK"},      {7, "DHCPRELEASE"}, {8, "DHCPINFORM"},  {0, nullptr},
};
constexpr ValueName kHardwareTypes[] = {
    {1, "ether"},  {6, "ieee802"},   {7, "arcnet"}, {15, "frelay"},
    {23, "strip"}, {24, "ieee1394"}, {0, nullptr},
};
constexpr ValueName kWindowOverloads[] = {
    {1, "file"},
    {2, "sname"},
    {3, "file+sname"},
    {0, nullptr},
};

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

// Columns: code, extended name, value type, the window's column {parameter
// text, rendering, request order, names}, value names, marks, and the wire type
// where clients write the value otherwise than its type. Codes 0 and 255 carry
// no data; the window has always shown them.
constexpr Dhcpv4Row kRows[] = {
    {0, nullptr, T::Bytes, {nullptr, R::Nothing}},
    {1, "Subnet Mask", T::Address, {"Subnet Mask", R::Address, 3}},
    {2, "Time Offset", T::Int32, {"Time Offset", R::Hours, 8}},
    {3, "Router", T::Addresses, {"Gateway Address", R::Address, 6}},
    {4, "Time Server", T::Addresses, {"Time Server", R::Address, 7}},
    {5, "Name Server", T::Addresses},
    {6, "Domain Name Server", T::Addresses, {"DNS Server", R::Addresses, 5}},
    {7, "Log Server", T::Addresses, {"Syslog Server", R::Address, 9}},
    {8, "Cookie Server", T::Addresses, {"Cookie Server", R::Address, 10}},
    {9, "LPR Server", T::Addresses, {"Lpr Server", R::Address, 11}},
    {10, "Impress Server", T::Addresses, {"Lmpress Server", R::Address, 12}},
    {11, "Resource Location Server", T::Addresses, {"Rlp Server", R::Address, 13}},
    {12, "Host Name", T::Text, {"Host Name", R::Text, 2}},
    {13, "Boot File Size", T::UInt16, {"Boot File Size", R::Number}},
    {14, "Merit Dump File", T::Text, {"Merit Dump File", R::Text, 14}},
    {15, "Domain Name", T::Text, {"Domain Name", R::Text, 4}},
    {16, "Swap Server", T::Address, {"Swap Server", R::Address, 15}},
    {17, "Root Path", T::Text, {"Root Disk", R::Text, 16}},
    {18, "Extensions Path", T::Text, {"Extensions Path", R::Text, 17}},
    {19, "IP Forwarding", T::Boolean},
    {20, "Non-Local Source Routing", T::Boolean},
    {21, "Policy Filter", T::AddressMaskPairs},
    {22, "Maximum Datagram Reassembly Size", T::UInt16, {"Reassembly Size", R::Number, 18}},
    {23, "Default IP Time-to-Live", T::UInt8, {"Default IP TTL", R::Number, 19}},
    {24, "Path MTU Aging Timeout", T::Seconds, {"MTU Aging Timeout", R::Number, 20}},
    {25, "Path MTU Plateau Table", T::UInt16List, {"MTU Table", R::Text, 21}},
    {26, "Interface MTU", T::UInt16, {"Option MTU", R::NameOnly}},
    {27, "All Subnets are Local", T::Boolean, {"Option MTU", R::NameOnly}},
    {28, "Broadcast Address", T::Address, {"Broadcast Address", R::Address, 22}},
    {29, "Perform Mask Discovery", T::Boolean, {"Perform Mask Discovery", R::NameOnly}},
    {30, "Mask Supplier", T::Boolean, {"Perform Mask Supplier", R::NameOnly}},
    {31, "Perform Router Discovery", T::Boolean, {"Perform Router Discovery", R::NameOnly}},
    {32, "Router Solicitation Address", T::Address, {"Router Solicitation Address", R::Address}},
    {33, "Static Route", T::StaticRoutes, {"Routes", R::Address, 23}},
    {34, "Trailer Encapsulation", T::Boolean, {"Trailers", R::NameOnly}},
    {35, "ARP Cache Timeout", T::Seconds, {"Arp Cache Timeout", R::Number, 24}},
    {36, "Ethernet Encapsulation", T::Boolean, {"Ethernet Encapsulation", R::Encapsulation, 25}},
    {37, "TCP Default TTL", T::UInt8, {"TCP TTL", R::Number, 26}},
    {38, "TCP Keepalive Interval", T::Seconds, {"TCP Keep Alive Interval", R::Number, 27}},
    {39, "TCP Keepalive Garbage", T::Boolean, {"TCP Keep Data Size", R::Number, 28}},
    {40, "Network Information Service Domain", T::Text, {nullptr, R::Nothing}},
    {41,
     "Network Information Service Servers",
     T::Addresses,
     {"Network Info Server", R::Address, 29}},
    {42, "Network Time Protocol Servers", T::Addresses, {"Network Time Server", R::Address, 30}},
    {43, "Vendor-Specific Information", T::Suboptions, {"Vendor Spec Info", R::NameOnly, 31}},
    {44, "NetBIOS over TCP/IP Name Server", T::Addresses, {"WINS", R::Address, 32}},
    {45, "NetBIOS over TCP/IP Datagram Distribution Server", T::Addresses},
    {46,
     "NetBIOS over TCP/IP Node Type",
     T::NamedUInt8,
     {"NBT Node Type", R::HexByte, 33},
     kNodeTypes},
    {47, "NetBIOS over TCP/IP Scope", T::Text, {"NBT Scope", R::Text, 34}},
    {48, "X Window System Font Server", T::Addresses, {"XWindows Font Server", R::Address, 35}},
    {49,
     "X Window System Display Manager",
     T::Addresses,
     {"XWindows Display Manager", R::Text, 36}},
    {50,
     "Requested IP Address",
     T::Address,
     {"Requested Address", R::Address, 37},
     nullptr,
     kMessageOption},
    {51, "IP Address Lease Time", T::Seconds, {"IP Lease Time", R::Moment, 38}},
    {52,
     "Option Overload",
     T::NamedUInt8,
     {"Overlap", R::NamedValue, 39, kWindowOverloads},
     kOverloads,
     kMessageOption},
    {53,
     "DHCP Message Type",
     T::NamedUInt8,
     {"Message Type", R::NamedValue, 0, kWindowMessageTypes},
     kMessageTypes,
     kMessageOption},
    {54, "DHCP Server Identifier", T::Address, {"DHCP Server", R::Address, 1}, nullptr, kServerRow},
    {55,
     "Parameter Request List",
     T::ParameterList,
     {"Parameter Request List", R::Text, 40},
     nullptr,
     kMessageOption},
    {56, "Message", T::Text, {"Message", R::Text}},
    {57,
     "Maximum DHCP Message Size",
     T::UInt16,
     {"Message Length", R::Number},
     nullptr,
     kMessageOption},
    {58, "Renewal Time Value", T::Seconds, {"DHCP Renewal Time", R::Moment, 41}},
    {59, "Rebinding Time Value", T::Seconds, {"DHCP Rebind Time", R::Moment, 42}},
    {60, "Vendor class identifier", T::Text, {"Class Info", R::Text, 43}, nullptr, 0, W::Bytes},
    {61,
     "Client identifier",
     T::ClientId,
     {"Client ID", R::NamedValue, 44, kHardwareTypes},
     nullptr,
     kMessageOption},
    {62, "NetWare/IP Domain Name", T::Text},
    {63, "NetWare/IP Information", T::DefinedSuboptions},
    {64, "Network Information Service+ Domain", T::Text},
    {65, "Network Information Service+ Servers", T::Addresses},
    {66, "TFTP Server Name", T::Text, {"TFTP Server Name", R::Text, 45}},
    {67, "Bootfile name", T::Text, {"Boot File Name", R::Text, 46}},
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
    {116, "Auto-Configure", T::NamedUInt8, {}, kAutoConfigure},
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
    {156, "DHCP State", T::NamedUInt8, {}, kLeaseStates},
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
    {220, "Subnet Allocation", T::Bytes}, // its layout is left to hex
    {221, "Virtual Subnet Selection", T::VirtualSubnet},
    {249, "Private/Classless Static Route", T::ClasslessRoutes},
    {252, "Web Proxy Auto-Discovery (WPAD)", T::Text},
    {255, nullptr, T::Bytes, {"End Option", R::NameOnly}},
};

constexpr bool IsInCodeOrder()
{
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].nCode >= kRows[i].nCode)
            return false;
    return true;
}
static_assert(IsInCodeOrder(), "rows are found by a binary search, one per code");

constexpr bool PadAndEndAloneAreUnnamed()
{
    for (std::size_t i = 0; i < std::size(kRows); ++i)
    {
        const bool padOrEnd = i == 0 || i + 1 == std::size(kRows);
        if ((kRows[i].pszName == nullptr) != padOrEnd)
            return false;
    }
    return kRows[0].nCode == 0 && std::end(kRows)[-1].nCode == 255;
}
static_assert(PadAndEndAloneAreUnnamed(),
              "pad and end close the table; the Linux editions name every other code");

constexpr bool EachRowHasWhatItsFormsNeed()
{
    for (const Dhcpv4Row& row : kRows)
    {
        const WindowColumn& window = row.window;
        if ((row.pValueNames != nullptr) != (row.type == T::NamedUInt8) ||
            (window.names != nullptr) != (window.rendering == R::NamedValue) ||
            (window.parameter == nullptr &&
             (window.rendering != R::NameOnly && window.rendering != R::Nothing)) ||
            (window.parameter != nullptr && window.rendering == R::Nothing) ||
            (window.requestOrder != 0 && window.parameter == nullptr) ||
            row.ownWireType == DefaultWireType(row.type))
            return false;
    }
    return true;
}
static_assert(EachRowHasWhatItsFormsNeed(),
              "names where a value is named, a parameter text where the window renders or "
              "asks, a wire type of its own only where it differs");

constexpr bool IsOneServerRowAskedFor()
{
    std::size_t count = 0;
    for (const Dhcpv4Row& row : kRows)
    {
        if (!row.Has(kServerRow))
            continue;
        ++count;
        if (row.type != T::Address || row.window.requestOrder == 0)
            return false;
    }
    return count == 1;
}
static_assert(IsOneServerRowAskedFor(),
              "one row, the server identifier's address (RFC 2132 9.7), is the server's");

constexpr bool RequestOrdersNumberTheRequest()
{
    std::array<std::size_t, kRequestedOptionCount + 1> uses{};
    for (const Dhcpv4Row& row : kRows)
    {
        if (row.window.requestOrder > kRequestedOptionCount)
            return false;
        ++uses[row.window.requestOrder];
    }
    for (std::size_t order = 1; order <= kRequestedOptionCount; ++order)
        if (uses[order] != 1)
            return false;
    return true;
}
static_assert(RequestOrdersNumberTheRequest(),
              "the requested rows are numbered 1 to kRequestedOptionCount, each once");

constexpr std::array<std::uint8_t, kRequestedOptionCount> RequestedInOrder()
{
    std::array<std::uint8_t, kRequestedOptionCount> codes{};
    for (const Dhcpv4Row& row : kRows)
        if (row.window.requestOrder != 0)
            codes[row.window.requestOrder - 1u] = row.nCode;
    return codes;
}
} // namespace

const Dhcpv4Table kDhcpv4Options(kRows);

const std::array<std::uint8_t, kRequestedOptionCount> kRequestedOptions = RequestedInOrder();

WireType OptionWireType(std::uint32_t code)
{
    const Dhcpv4Row* row = kDhcpv4Options.Find(code);
    return row != nullptr ? row->Wire() : WireType::Bytes;
}
