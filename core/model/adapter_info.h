// AdapterInfo: one network adapter of the machine, as the inventory keeps it.
#pragma once

#include "platform/cstring.h"

#include <cstdint>
#include <vector>

// Dotted-decimal address texts, in the order of the platform's chain.
using AddressList = std::vector<CString>;

struct AdapterInfo
{
    std::uint32_t m_nType = 0; // the platform's adapter type code, not interpreted
    CString m_strAdapterName;  // the platform's name, handed to the DHCP request
    CString m_strDescription;
    CString m_strSubnetMask;          // mask of the first IpAddressList entry
    CString m_strMacAddress;          // "%02X:%02X:%02X:%02X:%02X:%02X"
    std::uint32_t m_bDhcpEnabled = 0; // the platform's flags, copied unchanged
    std::uint32_t m_bAutoconfigEnabled = 0;
    std::uint32_t m_bAutoconfigActive = 0;
    std::int32_t m_bHaveWins = 0;
    AddressList m_IpAddresses;
    AddressList m_Ipv6Addresses; // "2001:db8::5/64", "fe80::1/64"; Linux only
    AddressList m_Gateways;
    AddressList m_DhcpServers;          // only when DHCP is enabled
    AddressList m_PrimaryWinsServers;   // only when the adapter has WINS
    AddressList m_SecondaryWinsServers; // only when the adapter has WINS
    AddressList m_DnsServers;
    // Seconds since 1970-01-01 00:00:00 UTC. The platform's time_t is 32 bits
    // wide on 32-bit Windows and 64 bits elsewhere; both fit here unchanged.
    std::int64_t m_tLeaseObtained = 0;
    std::int64_t m_tLeaseExpires = 0;
};

// One record per adapter, in the platform's order.
using AdapterList = std::vector<AdapterInfo>;
