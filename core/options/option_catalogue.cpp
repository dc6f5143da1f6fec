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

// Sorted by code, so that a lookup is a binary search.
constexpr CatalogueRow kCatalogue[] = {
    {0, nullptr, R::Nothing, nullptr},
    {1, "Subnet Mask", R::Address, nullptr},
    {2, "Time Offset", R::Hours, nullptr},
    {3, "Gateway Address", R::Address, nullptr},
    {4, "Time Server", R::Address, nullptr},
    {5, kUnknownOption, R::NameOnly, nullptr},
    {6, "DNS Server", R::AddressList, nullptr},
    {7, "Syslog Server", R::Address, nullptr},
    {8, "Cookie Server", R::Address, nullptr},
    {9, "Lpr Server", R::Address, nullptr},
    {10, "Lmpress Server", R::Address, nullptr},
    {11, "Rlp Server", R::Address, nullptr},
    {12, "Host Name", R::Text, nullptr},
    {13, "Boot File Size", R::Number, nullptr},
    {14, "Merit Dump File", R::Text, nullptr},
    {15, "Domain Name", R::Text, nullptr},
    {16, "Swap Server", R::Address, nullptr},
    {17, "Root Disk", R::Text, nullptr},
    {18, "Extensions Path", R::Text, nullptr},
    {19, kUnknownOption, R::NameOnly, nullptr},
    {20, kUnknownOption, R::NameOnly, nullptr},
    {21, kUnknownOption, R::NameOnly, nullptr},
    {22, "Reassembly Size", R::Number, nullptr},
    {23, "Default IP TTL", R::Number, nullptr},
    {24, "MTU Aging Timeout", R::Number, nullptr},
    {25, "MTU Table", R::Text, nullptr},
    {26, "Option MTU", R::NameOnly, nullptr},
    {27, "Option MTU", R::NameOnly, nullptr},
    {28, "Broadcast Address", R::Address, nullptr},
    {29, "Perform Mask Discovery", R::NameOnly, nullptr},
    {30, "Perform Mask Supplier", R::NameOnly, nullptr},
    {31, "Perform Router Discovery", R::NameOnly, nullptr},
    {32, "Router Solicitation Address", R::Address, nullptr},
    {33, "Routes", R::Address, nullptr},
    {34, "Trailers", R::NameOnly, nullptr},
    {35, "Arp Cache Timeout", R::Number, nullptr},
    {36, "Ethernet Encapsulation", R::Encapsulation, nullptr},
    {37, "TCP TTL", R::Number, nullptr},
    {38, "TCP Keep Alive Interval", R::Number, nullptr},
    {39, "TCP Keep Data Size", R::Number, nullptr},
    {40, nullptr, R::Nothing, nullptr},
    {41, "Network Info Server", R::Address, nullptr},
    {42, "Network Time Server", R::Address, nullptr},
    {43, "Vendor Spec Info", R::NameOnly, nullptr},
    {44, "WINS", R::Address, nullptr},
    {45, kUnknownOption, R::NameOnly, nullptr},
    {46, "NBT Node Type", R::HexByte, nullptr},
    {47, "NBT Scope", R::Text, nullptr},
    {48, "XWindows Font Server", R::Address, nullptr},
    {49, "XWindows Display Manager", R::Text, nullptr},
    {50, "Requested Address", R::Address, nullptr},
    {51, "IP Lease Time", R::Moment, nullptr},
    {52, "Overlap", R::NamedValue, OverloadNames},
    {53, "Message Type", R::NamedValue, MessageTypeNames},
    {54, "DHCP Server", R::Address, nullptr},
    {55, "Parameter Request List", R::Text, nullptr},
    {56, "Message", R::Text, nullptr},
    {57, "Message Length", R::Number, nullptr},
    {58, "DHCP Renewal Time", R::Moment, nullptr},
    {59, "DHCP Rebind Time", R::Moment, nullptr},
    {60, "Class Info", R::Text, nullptr},
    {61, "Client ID", R::NamedValue, HardwareTypeNames}, // the hardware type alone
    {62, kUnknownOption, R::NameOnly, nullptr},
    {63, kUnknownOption, R::NameOnly, nullptr},
    {64, kUnknownOption, R::NameOnly, nullptr},
    {65, kUnknownOption, R::NameOnly, nullptr},
    {66, "TFTP Server Name", R::Text, nullptr},
    {67, "Boot File Name", R::Text, nullptr},
    {255, "End Option", R::NameOnly, nullptr},
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
