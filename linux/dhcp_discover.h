// Finding every DHCP server on a link: one DHCPDISCOVER broadcast on an
// interface, and every DHCPOFFER that answers it until the wait ends. Takes no
// lease (never sends a DHCPREQUEST), binds no UDP port and leaves a DHCP
// client running on the interface alone. Needs root or CAP_NET_RAW.
#pragma once

#include "core/wire/dhcp_discovery.h"
#include "linux/packet_socket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DiscoverySettings
{
    std::string m_strInterface;
    std::chrono::milliseconds m_wait = kDefaultDiscoveryWait;
    // The client hardware address asked for; empty: the interface's own.
    std::optional<HardwareAddress> m_ClientMac;
    DiscoveryLimits m_limits;
    // Called once the socket is open, before anything is sent: the place to
    // give up the privileges that opening it took. A non-zero errno value
    // ends the discovery with it.
    std::function<int()> m_fnOpened;
    // Every packet as received, before it is sorted, with the time since the
    // send: a privileged helper hands them on to an unprivileged caller.
    std::function<void(const ReceivedPacket&, const std::uint8_t*, std::chrono::microseconds)>
        m_fnPacket;
    // Called at every packet and at least every m_tick while waiting, with
    // the time left (a progress line on a terminal). Empty: never.
    std::function<void(const ServerDiscovery&, std::chrono::steady_clock::duration)> m_fnProgress;
    std::chrono::milliseconds m_tick{100};
    // Asked after each packet: true ends the wait early (a test's event, a
    // window's Cancel button). Empty: the whole wait.
    std::function<bool(const ServerDiscovery&)> m_fnDone;
};

struct DiscoveryResult
{
    HardwareAddress m_ClientMac{};
    std::uint32_t m_nTransactionId = 0;
    // From the send to the first offer kept, when one came.
    std::optional<std::chrono::steady_clock::duration> m_firstOffer;
    std::vector<DiscoveredServer> m_servers;
    DiscoveryCounts m_counts;
};

// Sends the DHCPDISCOVER and collects the offers. 0 when the wait ended, with
// or without servers; ENODEV for no such interface, ENOENT when it is not
// Ethernet, EPERM or EACCES without CAP_NET_RAW, other errno values of the
// socket calls as they come.
int DiscoverDhcpServers(const DiscoverySettings& settings, DiscoveryResult& result);

// What the DHCPDISCOVER asks for: every code the extended catalogue knows but
// those describing the request itself, in code order, so that each offer
// shows everything a server would give.
std::vector<std::uint8_t> DiscoveryRequestedOptions();

// A fresh random locally administered unicast address; 0 or an errno value.
int RandomLocalMac(HardwareAddress& address);
