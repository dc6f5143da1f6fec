// Finding every DHCP server on a link: one DHCPDISCOVER broadcast on an
// interface, and every DHCPOFFER that answers it until the wait ends. Takes no
// lease (never sends a DHCPREQUEST), binds no UDP port and leaves a DHCP
// client running on the interface alone. Needs root or CAP_NET_RAW.
#pragma once

#include "core/wire/dhcp_discovery.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DiscoverySettings
{
    std::string m_strInterface;
    std::chrono::milliseconds m_wait{3000};
    // The client hardware address asked for; empty: the interface's own.
    std::optional<HardwareAddress> m_ClientMac;
    DiscoveryLimits m_limits;
    // Asked after each packet: true ends the wait early (a test's event, a
    // window's Cancel button). Empty: the whole wait.
    std::function<bool(const CServerDiscovery&)> m_fnDone;
};

struct DiscoveryResult
{
    HardwareAddress m_ClientMac{};
    std::uint32_t m_nTransactionId = 0;
    // From the send to the first offer kept, when one came.
    std::optional<std::chrono::steady_clock::duration> m_firstOffer;
    std::vector<DiscoveredServer> m_servers;
    std::size_t m_nIgnored = 0;
    std::size_t m_nMalformed = 0;
    std::size_t m_nDropped = 0;
};

// Sends the DHCPDISCOVER and collects the offers. 0 when the wait ended, with
// or without servers; ENODEV for no such interface, ENOENT when it is not
// Ethernet, EPERM or EACCES without CAP_NET_RAW, other errno values of the
// socket calls as they come.
int DiscoverDhcpServers(const DiscoverySettings& settings, DiscoveryResult& result);

// A fresh random locally administered unicast address; 0 or an errno value.
int RandomLocalMac(HardwareAddress& address);
