// The DHCPINFORM source: asks the network's DHCP server itself for the
// options of an interface that already has its address (RFC 2131 3.4).
#pragma once

#include "linux/lease_source.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct InformSettings
{
    std::uint32_t m_nServerAddress = 0xFFFFFFFF; // host byte order; broadcast
    std::uint16_t m_nServerPort = 67;
    // One send per entry, each followed by its wait for the answer: the
    // schedule of retries, doubling by default.
    std::vector<std::chrono::milliseconds> m_Waits{std::chrono::milliseconds(500),
                                                   std::chrono::milliseconds(1000),
                                                   std::chrono::milliseconds(2000)};
    // Called once the packet socket is open, before anything is sent or read:
    // the place to give up the privileges that opening it took. A non-zero
    // errno value ends the read with it.
    std::function<int()> m_fnOpened;
};

// Sends a DHCPINFORM from the interface's first IPv4 address, port 68, on a
// packet socket (linux/frame_socket.h), and takes the first matching DHCPACK
// as it arrives below the kernel's UDP. It binds no port: a DHCP client
// holding port 68 keeps it, and a server's answer to port 68 reaches both. The lease holds the
// reply's options without 50, 51, 58 and 59, which a server must not send in answer to an inform
// (RFC 2131 4.3.5); it has no address or times. ENOENT when the interface has no IPv4 address or is
// not Ethernet; ETIMEDOUT when no server answered; ENODEV for no such interface; EPERM or EACCES
// without CAP_NET_RAW; other errno values of the socket calls pass through.
std::unique_ptr<CLeaseSource> MakeInformLeaseSource(const InformSettings& settings);
