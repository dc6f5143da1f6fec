// Finding the DHCP servers of a link: the DHCPDISCOVER that asks them
// (RFC 2131 4.4.1), and the sorting of what comes back into servers, packets
// that answer someone else, and malformed ones. Nothing here takes a lease: a
// discovery never answers an offer.
#pragma once

#include "core/wire/bootp_message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using HardwareAddress = std::array<std::uint8_t, 6>;

constexpr std::uint8_t kDhcpDiscover = 1;
constexpr std::uint8_t kDhcpOffer = 2;
constexpr std::uint16_t kDhcpServerPort = 67;
constexpr std::uint16_t kDhcpClientPort = 68;

struct DiscoverRequest
{
    HardwareAddress m_ClientMac{};
    std::uint32_t m_nTransactionId = 0;
    std::vector<std::uint8_t> m_RequestedOptions;
    std::uint16_t m_nMaxMessageSize = 1500;
};

// The DHCPDISCOVER: Ethernet chaddr, the broadcast flag (the client has no
// address, and with a made-up chaddr only a broadcast reaches us), the client
// identifier of hardware type and address, the parameter request list and the
// largest reply taken. No requested address, no host name.
std::vector<std::uint8_t> BuildDiscoverRequest(const DiscoverRequest& request);

// The same as the IPv4 packet a client without an address sends: from
// 0.0.0.0 port 68 to 255.255.255.255 port 67.
std::vector<std::uint8_t> BuildDiscoverPacket(const DiscoverRequest& request);

// A locally administered unicast address (RFC 7042 2.1): one no vendor ever
// gave a device, so an offer made to it takes nobody's lease.
bool IsLocallyAdministeredUnicast(const HardwareAddress& address);

// Where one copy of a server's offer came from: the sender's IPv4 and
// Ethernet addresses (the server itself, or a relay).
struct OfferPath
{
    std::uint32_t m_nSourceAddress = 0; // host byte order
    HardwareAddress m_SourceMac{};
};

struct DiscoveredServer
{
    std::uint32_t m_nServerId = 0;  // option 54, host byte order
    std::vector<OfferPath> m_Paths; // in the order they were first seen
    std::size_t m_nOffers = 0;      // every copy, repeated paths included
    // Of the first offer: the address offered (yiaddr) and its options.
    std::uint32_t m_nYourAddress = 0;
    OptionMap m_mapOptions;
};

// What became of one received packet.
enum class PacketVerdict
{
    Offer,     // an offer to our request, from a server kept or merged
    Ignored,   // well-formed, but not an offer to our request
    Malformed, // not a readable IPv4/UDP/DHCP packet, or an offer without server id
    Dropped,   // an offer from one server too many: over the limits below
};

// What became of the packets that were not offers kept, each kind counted.
struct DiscoveryCounts
{
    std::size_t m_nIgnored = 0;
    std::size_t m_nMalformed = 0;
    std::size_t m_nDropped = 0;
};

// What a discovery keeps, whatever arrives: a flood of offers from forged
// server ids stops being stored at these bounds and is only counted.
struct DiscoveryLimits
{
    std::size_t m_nMaxServers = 64;
    std::size_t m_nMaxPathsPerServer = 8;
    std::size_t m_nMaxOptionBytes = 256 * 1024; // the options of all servers kept
};

// Sorts the packets received for one DHCPDISCOVER. An offer counts when it is
// a BOOTREPLY with our transaction id and chaddr, of message type DHCPOFFER,
// from UDP port 67 to port 68. Offers of the same server id are one server,
// with each path they came by listed once.
class CServerDiscovery
{
public:
    CServerDiscovery(std::uint32_t nTransactionId, const HardwareAddress& clientMac,
                     const DiscoveryLimits& limits = DiscoveryLimits());

    // One IPv4 packet as received, and the Ethernet address it came from.
    // bChecksumPending as for ParseUdpPacket.
    PacketVerdict Take(const std::uint8_t* pPacket, std::size_t nSize,
                       const HardwareAddress& sourceMac, bool bChecksumPending = false);

    const std::vector<DiscoveredServer>& Servers() const { return m_servers; }
    const DiscoveryCounts& Counts() const { return m_counts; }
    // Bytes of option data kept, across all servers.
    std::size_t KeptOptionBytes() const { return m_nOptionBytes; }

private:
    PacketVerdict Sort(const std::uint8_t* pPacket, std::size_t nSize,
                       const HardwareAddress& sourceMac, bool bChecksumPending);
    PacketVerdict Keep(BootpMessage& offer, std::uint32_t nServerId, const OfferPath& path);

    std::uint32_t m_nTransactionId;
    HardwareAddress m_ClientMac;
    DiscoveryLimits m_limits;
    std::vector<DiscoveredServer> m_servers;
    DiscoveryCounts m_counts;
    std::size_t m_nOptionBytes = 0;
};
