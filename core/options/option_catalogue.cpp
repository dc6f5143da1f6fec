#include "core/options/option_catalogue.h"

#include <algorithm>
#include <iterator>

const NameTable MessageTypeNames[] = {
    {1, "DHCPDISCOVER"}, {2, "DHCPOFFER"},   {3, "DHCPREQUEST"}, {4, "DHCPDECLINE"}, {5, "DHCPACK"},
    {6, "DHCPNAK"},      {7, "DHCPRELEASE"}, {8, "DHCPINFORM"},  {0, nullptr},
};

// Hardware type numbers (RFC 1700 "ARP hardware types"), not consecutive.
const NameTable HardwareTypeNames[] = {
    {1, "ether"},  {6, "ieee802"},   {7, "arcnet"}, {15, "frelay"},
    {23, "strip"}, {24, "ieee1394"}, {0, nullptr},
};

const NameTable OverloadNames[] = {
    {1, "file"},
    {2, "sname"},
    {3, "file+sname"},
    {0, nullptr},
};

namespace
{
using R = Rendering;
using W = WireType;

// Sorted by code, so that a lookup is a binary search. The rows from 68 on
// serve the Linux clients' lease texts; the window shows those codes as
// unknown, as it always has.
constexpr CatalogueRow kCatalogue[] = {
    {0, nullptr, R::Nothing, nullptr, W::Bytes},
    {1, "Subnet Mask", R::Address, nullptr, W::Address},
    {2, "Time Offset", R::Hours, nullptr, W::Int32},
    {3, "Gateway Address", R::Address, nullptr, W::Addresses},
    {4, "Time Server", R::Address, nullptr, W::Addresses},
    {5, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {6, "DNS Server", R::Addresses, nullptr, W::Addresses},
    {7, "Syslog Server", R::Address, nullptr, W::Addresses},
    {8, "Cookie Server", R::Address, nullptr, W::Addresses},
    {9, "Lpr Server", R::Address, nullptr, W::Addresses},
    {10, "Lmpress Server", R::Address, nullptr, W::Addresses},
    {11, "Rlp Server", R::Address, nullptr, W::Addresses},
    {12, "Host Name", R::Text, nullptr, W::Text},
    {13, "Boot File Size", R::Number, nullptr, W::UInt16},
    {14, "Merit Dump File", R::Text, nullptr, W::Text},
    {15, "Domain Name", R::Text, nullptr, W::Text},
    {16, "Swap Server", R::Address, nullptr, W::Address},
    {17, "Root Disk", R::Text, nullptr, W::Text},
    {18, "Extensions Path", R::Text, nullptr, W::Text},
    {19, kUnknownOption, R::NameOnly, nullptr, W::Boolean},
    {20, kUnknownOption, R::NameOnly, nullptr, W::Boolean},
    {21, kUnknownOption, R::NameOnly, nullptr, W::AddressPairs},
    {22, "Reassembly Size", R::Number, nullptr, W::UInt16},
    {23, "Default IP TTL", R::Number, nullptr, W::UInt8},
    {24, "MTU Aging Timeout", R::Number, nullptr, W::UInt32},
    {25, "MTU Table", R::Text, nullptr, W::UInt16List},
    {26, "Option MTU", R::NameOnly, nullptr, W::UInt16},
    {27, "Option MTU", R::NameOnly, nullptr, W::Boolean},
    {28, "Broadcast Address", R::Address, nullptr, W::Address},
    {29, "Perform Mask Discovery", R::NameOnly, nullptr, W::Boolean},
    {30, "Perform Mask Supplier", R::NameOnly, nullptr, W::Boolean},
    {31, "Perform Router Discovery", R::NameOnly, nullptr, W::Boolean},
    {32, "Router Solicitation Address", R::Address, nullptr, W::Address},
    {33, "Routes", R::Address, nullptr, W::AddressPairs},
    {34, "Trailers", R::NameOnly, nullptr, W::Boolean},
    {35, "Arp Cache Timeout", R::Number, nullptr, W::UInt32},
    {36, "Ethernet Encapsulation", R::Encapsulation, nullptr, W::Boolean},
    {37, "TCP TTL", R::Number, nullptr, W::UInt8},
    {38, "TCP Keep Alive Interval", R::Number, nullptr, W::UInt32},
    {39, "TCP Keep Data Size", R::Number, nullptr, W::Boolean},
    {40, nullptr, R::Nothing, nullptr, W::Text},
    {41, "Network Info Server", R::Address, nullptr, W::Addresses},
    {42, "Network Time Server", R::Address, nullptr, W::Addresses},
    {43, "Vendor Spec Info", R::NameOnly, nullptr, W::Bytes},
    {44, "WINS", R::Address, nullptr, W::Addresses},
    {45, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {46, "NBT Node Type", R::HexByte, nullptr, W::UInt8},
    {47, "NBT Scope", R::Text, nullptr, W::Text},
    {48, "XWindows Font Server", R::Address, nullptr, W::Addresses},
    {49, "XWindows Display Manager", R::Text, nullptr, W::Addresses}, // RFC 2132 8.10
    {50, "Requested Address", R::Address, nullptr, W::Address},
    {51, "IP Lease Time", R::Moment, nullptr, W::UInt32},
    {52, "Overlap", R::NamedValue, OverloadNames, W::UInt8},
    {53, "Message Type", R::NamedValue, MessageTypeNames, W::UInt8},
    {54, "DHCP Server", R::Address, nullptr, W::Address},
    {55, "Parameter Request List", R::Text, nullptr, W::UInt8List},
    {56, "Message", R::Text, nullptr, W::Text},
    {57, "Message Length", R::Number, nullptr, W::UInt16},
    {58, "DHCP Renewal Time", R::Moment, nullptr, W::UInt32},
    {59, "DHCP Rebind Time", R::Moment, nullptr, W::UInt32},
    {60, "Class Info", R::Text, nullptr, W::Bytes},
    {61, "Client ID", R::NamedValue, HardwareTypeNames, W::Bytes}, // the hardware type alone
    {62, kUnknownOption, R::NameOnly, nullptr, W::Text},
    {63, kUnknownOption, R::NameOnly, nullptr, W::Bytes},
    {64, kUnknownOption, R::NameOnly, nullptr, W::Text},
    {65, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {66, "TFTP Server Name", R::Text, nullptr, W::Text},
    {67, "Boot File Name", R::Text, nullptr, W::Text},
    {68, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {69, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {70, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {71, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {72, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {73, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {74, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {75, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {76, kUnknownOption, R::NameOnly, nullptr, W::Addresses},
    {77, kUnknownOption, R::NameOnly, nullptr, W::Bytes},
    {100, kUnknownOption, R::NameOnly, nullptr, W::Text},
    {101, kUnknownOption, R::NameOnly, nullptr, W::Text},
    {119, kUnknownOption, R::NameOnly, nullptr, W::DomainList},
    {120, kUnknownOption, R::NameOnly, nullptr, W::SipServers},
    {121, kUnknownOption, R::NameOnly, nullptr, W::ClasslessRoutes},
    {249, kUnknownOption, R::NameOnly, nullptr, W::ClasslessRoutes}, // 121 at a private code
    {252, kUnknownOption, R::NameOnly, nullptr, W::Text},
    {255, "End Option", R::NameOnly, nullptr, W::Bytes},
};

constexpr bool IsSortedByCode()
{
    for (std::size_t i = 1; i < std::size(kCatalogue); ++i)
        if (kCatalogue[i - 1].nCode >= kCatalogue[i].nCode)
            return false;
    return true;
}
static_assert(IsSortedByCode(), "the catalogue is searched by code");
} // namespace

const CatalogueRow* FindCatalogueRow(std::uint32_t nCode)
{
    const auto* pEnd = std::end(kCatalogue);
    const auto* pRow = std::lower_bound(std::begin(kCatalogue), pEnd, nCode,
                                        [](const CatalogueRow& row, std::uint32_t code)
                                        { return row.nCode < code; });
    return pRow != pEnd && pRow->nCode == nCode ? pRow : nullptr;
}

WireType OptionWireType(std::uint32_t nCode)
{
    const CatalogueRow* pRow = FindCatalogueRow(nCode);
    return pRow != nullptr ? pRow->wireType : WireType::Bytes;
}
