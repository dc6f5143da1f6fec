// Finding the DHCPv6 servers of a link: the Solicit that asks them (RFC 8415
// 18.2.1), without Rapid Commit so that no server commits a lease, and the
// sorting of the Advertises that answer it into servers. Nothing here takes a
// lease: a census never sends a Request.
#pragma once

#include "core/model/lease6.h"
#include "core/model/router_advertisements.h"
#include "core/wire/dhcp_discovery.h"
#include "core/wire/responder_list.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::uint16_t kDhcpv6ClientPort = 546;
constexpr std::uint16_t kDhcpv6ServerPort = 547;
// All_DHCP_Relay_Agents_and_Servers (RFC 8415 7.1).
constexpr Ipv6Address kAllDhcpv6Servers = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2};

// Every code of kDhcpv6Options a client may ask for (the rows not marked
// kNotRequested), in code order: the Option Request of the Solicit and of the
// Information-request.
std::vector<std::uint16_t> SolicitRequestedOptions();

struct SolicitRequest
{
    std::uint32_t transactionId = 0; // 24 bits
    std::vector<std::uint8_t> clientDuid;
    std::uint32_t iaid = 0;
};

// The Solicit as DHCPv6 message bytes: the client's DUID, Elapsed Time 0, an
// IA_NA and an IA_PD (so that servers show what they would lease) and an ORO
// of every code a client may ask for (SolicitRequestedOptions). No Rapid Commit.
std::vector<std::uint8_t> BuildSolicit(const SolicitRequest& request);

// The Solicit as the IPv6 packet a client sends from its link-local address:
// UDP port 546 to All_DHCP_Relay_Agents_and_Servers port 547.
std::vector<std::uint8_t> BuildSolicitPacket(const SolicitRequest& request,
                                             const Ipv6Address& source);

// Where an Advertise came from: its IPv6 source and Ethernet source.
struct Server6Path
{
    Ipv6Address address{};
    HardwareAddress mac{};
};

// What a census finds wrong with a DHCPv6 server, as bits of DiscoveredServer6::flags.
enum Server6Flags : unsigned
{
    kServer6Conflict = 1,   // another Advertise names the same DUID from another path
    kServer6Unexpected = 4, // not on the approved list (the caller judges)
};

// One DHCPv6 server, by its DUID (option 2) and path, and its first
// Advertise's options in their order.
struct DiscoveredServer6
{
    std::vector<std::uint8_t> duid;
    Server6Path path;
    std::size_t advertises = 0;  // every copy received
    unsigned flags = 0;          // Server6Flags
    std::uint8_t preference = 0; // option 7; 0 when the Advertise has none
    Dhcpv6Options options;
};

struct Dhcpv6DiscoveryCounts
{
    std::size_t packets = 0;    // every packet taken
    std::size_t advertises = 0; // kept, copies merged into a server included
    std::size_t otherTransaction = 0;
    std::size_t otherClient = 0; // our transaction id, another client DUID
    std::size_t noServerId = 0;  // an Advertise without a server DUID: dropped (RFC 8415 16.3)
    std::size_t ignored = 0;     // well-formed, not an Advertise to us
    std::size_t malformed = 0;
    std::size_t dropped = 0; // past the limits
};

// Sorts the packets received for one Solicit into servers. An Advertise
// counts when it comes from UDP port 547 to 546 with our transaction id and
// our client DUID, and names its server (RFC 8415 16.3). Advertises of the
// same server DUID and path are one server; its first Advertise's options
// and preference are kept. Bounded as ServerDiscovery is: maxServers, and
// maxOptionBytes of the options kept.
class Dhcpv6ServerDiscovery
{
public:
    Dhcpv6ServerDiscovery(std::uint32_t transactionId, std::vector<std::uint8_t> clientDuid,
                          const DiscoveryLimits& limits = DiscoveryLimits());

    // One IPv6 packet as received, and the Ethernet address it came from.
    // Offer: kept or merged; OtherXid, OtherClient; Ignored: another packet, a
    // Reply or any other message; Malformed: unreadable, or an Advertise
    // without a server DUID (counted as noServerId); Dropped: past the limits.
    PacketVerdict Take(const std::uint8_t* ipv6Packet, std::size_t size,
                       const HardwareAddress& sourceMac, bool checksumPending = false);

    const std::vector<DiscoveredServer6>& Servers() const { return m_servers.Kept(); }
    const Dhcpv6DiscoveryCounts& Counts() const { return m_counts; }
    // Bytes of option data kept, across all servers.
    std::size_t KeptBytes() const { return m_servers.KeptBytes(); }
    // Hands the servers over at the end, without copying; nothing is kept after.
    std::vector<DiscoveredServer6> TakeServers() { return m_servers.TakeKept(); }

private:
    Sorted<Dhcpv6DiscoveryCounts> Sort(const std::uint8_t* ipv6Packet, std::size_t size,
                                       const HardwareAddress& sourceMac, bool checksumPending);

    std::uint32_t m_transactionId;
    std::vector<std::uint8_t> m_clientDuid;
    ResponderList<DiscoveredServer6> m_servers;
    Dhcpv6DiscoveryCounts m_counts;
};
