// Finding the DHCP servers of a link: the DHCPDISCOVER that asks them
// (RFC 2131 4.4.1), and the sorting of what comes back into servers, packets
// that answer someone else, and malformed ones. Nothing here takes a lease: a
// discovery never answers an offer.
#pragma once

#include "core/model/lease.h"
#include "core/wire/bootp_message.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

using HardwareAddress = std::array<std::uint8_t, 6>;

constexpr std::uint8_t kDhcpDiscover = 1;
constexpr std::uint8_t kDhcpOffer = 2;
constexpr std::uint16_t kDhcpServerPort = 67;
constexpr std::uint16_t kDhcpClientPort = 68;

// The settings that tell a client where it is (RFC 2132): other values under
// the same server id are another server's offer, and every output shows them.
constexpr std::uint8_t kOptionSubnetMask = 1;
constexpr std::uint8_t kOptionRouters = 3;
constexpr std::uint8_t kOptionDnsServers = 6;

struct DiscoverRequest
{
    HardwareAddress clientMac{};
    std::uint32_t transactionId = 0;
    std::vector<std::uint8_t> requestedOptions;
    std::uint16_t maxMessageSize = 1500;
};

// The DHCPDISCOVER: Ethernet chaddr, the broadcast flag (the client has no
// address, and with a made-up chaddr only a broadcast reaches us), the client
// identifier of hardware type and address, the parameter request list and the
// largest reply taken. No requested address, no host name.
std::vector<std::uint8_t> BuildDiscoverRequest(const DiscoverRequest& request);

// A client's message of that type: the BOOTP request from clientMac, with the
// message type and the client identifier (the Ethernet address) options.
BootpMessage ClientBootpMessage(const HardwareAddress& clientMac, std::uint32_t transactionId,
                                std::uint8_t type);

// The same as the IPv4 packet a client without an address sends: from
// 0.0.0.0 port 68 to 255.255.255.255 port 67.
std::vector<std::uint8_t> BuildDiscoverPacket(const DiscoverRequest& request);

// A locally administered unicast address (RFC 7042 2.1): one no vendor ever
// gave a device, so an offer made to it takes nobody's lease.
bool IsLocallyAdministeredUnicast(const HardwareAddress& address);

// Long enough for the servers that check an address before they offer it:
// dnsmasq pings it and waits about 3 s for an answer by default, ISC-style
// servers ping for 1 s, and a Windows server set to detect conflicts pings
// up to 5 times. 5 s holds the slowest default with room for a busy server.
constexpr std::chrono::milliseconds kDefaultDiscoveryWait{5000};

// Where a server's offer came from: the sender's IPv4 and Ethernet addresses
// (the server itself, or a relay).
struct OfferPath
{
    std::uint32_t address = 0; // host byte order
    HardwareAddress mac{};
};

// What a discovery finds wrong with a server, as bits of DiscoveredServer::flags.
enum ServerFlags : unsigned
{
    kServerConflict = 1,   // another offer names the same server id
    kServerNoId = 2,       // the offer has no server id (RFC 2131 table 3)
    kServerUnexpected = 4, // not on the approved list (the caller judges)
};

// The source each option of an offer names (Lease::m_mapSources): the
// server's DHCPOFFER, as "inform" names the answer to a DHCPINFORM.
inline constexpr const char* kOfferSource = "offer";

// One server, and its offer as every output shows it: a server id (or none)
// with one path, offering one set of routers, DNS servers and subnet mask. The
// same id from another path, or with other settings, is another server, and
// both are conflicts: a rogue can copy the real server's id, not its Ethernet
// address and its offer both.
struct DiscoveredServer
{
    std::optional<std::uint32_t> serverId; // option 54, host byte order
    OfferPath path;
    std::size_t offers = 0; // every copy received
    unsigned flags = 0;     // ServerFlags
    // The first offer as the lease it proposes: the address offered (yiaddr)
    // and its options, each from kOfferSource.
    Lease offer;
};

// What became of one received packet.
enum class PacketVerdict
{
    Offer,       // an offer to our request, kept or merged into a server kept
    Fragment,    // an IPv4 fragment of UDP: a reply too large to read whole
    OtherXid,    // a BOOTREPLY to another transaction
    OtherClient, // our transaction id, another client hardware address
    Nak,         // a DHCPNAK to our request
    Ignored,     // well-formed, but not an answer to us (ports, a request, an ACK)
    Malformed,   // not a readable IPv4/UDP/DHCP packet
    Dropped,     // an offer from one server too many: over the limits below
};

// The one record of what became of the packets received: each kind that was
// not an offer kept, and the offers without server id (kept as servers too).
struct DiscoveryCounts
{
    std::size_t packets = 0; // every packet taken, whatever became of it
    std::size_t offers = 0;  // offers kept, copies merged into a server included
    std::size_t fragments = 0;
    std::size_t noServerId = 0;
    std::size_t otherXid = 0;
    std::size_t otherClient = 0;
    std::size_t naks = 0;
    std::size_t ignored = 0;
    std::size_t malformed = 0;
    std::size_t dropped = 0;
};

// What a discovery keeps, whatever arrives: a flood of offers from forged
// server ids stops being stored at these bounds and is only counted.
struct DiscoveryLimits
{
    std::size_t maxServers = 64;
    std::size_t maxOptionBytes = 256 * 1024; // the options of all servers kept
};

// Sorts the packets received for one DHCPDISCOVER. An offer counts when it is
// a BOOTREPLY with our transaction id and chaddr, of message type DHCPOFFER,
// from UDP port 67 to port 68. Offers of the same server id, path and
// settings are one server; the flags of every server kept stay up to date.
class ServerDiscovery
{
public:
    ServerDiscovery(std::uint32_t transactionId, const HardwareAddress& clientMac,
                    const DiscoveryLimits& limits = DiscoveryLimits());

    // One IPv4 packet as received, and the Ethernet address it came from.
    // checksumPending as for ParseUdpPacket.
    PacketVerdict Take(const std::uint8_t* packet, std::size_t size,
                       const HardwareAddress& sourceMac, bool checksumPending = false);

    const std::vector<DiscoveredServer>& Servers() const { return m_servers; }
    const DiscoveryCounts& Counts() const { return m_counts; }
    // Bytes of option data kept, across all servers.
    std::size_t KeptOptionBytes() const { return m_optionBytes; }

    // Hands the servers over at the end of the discovery, without copying
    // their offers; nothing is kept after.
    std::vector<DiscoveredServer> TakeServers() { return std::move(m_servers); }

private:
    PacketVerdict Sort(const std::uint8_t* packet, std::size_t size,
                       const HardwareAddress& sourceMac, bool checksumPending);
    PacketVerdict Keep(BootpMessage& offer, std::optional<std::uint32_t> serverId,
                       const OfferPath& path);

    std::uint32_t m_transactionId;
    HardwareAddress m_clientMac;
    DiscoveryLimits m_limits;
    std::vector<DiscoveredServer> m_servers;
    DiscoveryCounts m_counts;
    std::size_t m_optionBytes = 0;
};
