// The DHCPv4 exchange of a client that takes a lease and gives it back (RFC
// 2131 3.1, 4.4.1, 4.4.4): DISCOVER, REQUEST in the selecting state and
// RELEASE, sent by the client itself or by a relay agent on its behalf
// (giaddr, RFC 2131 4.1; RFC 1542 4.1), and the reader of the server's
// answers to them.
#pragma once

#include "core/wire/dhcp_discovery.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DhcpClient
{
    HardwareAddress mac{};
    std::uint32_t transactionId = 0;
    std::uint32_t relayAddress = 0; // giaddr, host byte order; 0: on the link
};

constexpr std::uint8_t kDhcpRequest = 3;
constexpr std::uint8_t kDhcpRelease = 7;
constexpr std::uint8_t kOptionMessage = 56;

// The DHCPDISCOVER of BuildDiscoverRequest; relayed, with giaddr and hops 1.
std::vector<std::uint8_t> BuildHandshakeDiscover(const DhcpClient& client);

// The DHCPREQUEST that selects one offer: broadcast flag, ciaddr 0, the
// requested address and the server id of the offer, the client identifier.
std::vector<std::uint8_t> BuildHandshakeRequest(const DhcpClient& client, std::uint32_t serverId,
                                                std::uint32_t address);

// The DHCPRELEASE: ciaddr the address given back, the server id, the client
// identifier, no broadcast flag.
std::vector<std::uint8_t> BuildHandshakeRelease(const DhcpClient& client, std::uint32_t serverId,
                                                std::uint32_t address);

// What a server answered: an OFFER, ACK or NAK to this client.
struct DhcpAnswer
{
    std::uint8_t type = 0;
    std::uint32_t address = 0;             // yiaddr, host byte order
    std::optional<std::uint32_t> serverId; // option 54
    std::optional<std::uint32_t> leaseTime;
    // The subnet's scope as the server gives it: the mask and the routers.
    std::optional<std::uint32_t> subnetMask;
    std::vector<std::uint32_t> routers;
    std::string message; // option 56 of a NAK, as sent (shown through peer_text)
};

// Reads a BOOTREPLY (the UDP payload) with the client's transaction id and
// chaddr, of type OFFER, ACK or NAK. Empty for anything else, malformed
// messages included.
std::optional<DhcpAnswer> ReadDhcpAnswer(const std::uint8_t* bytes, std::size_t size,
                                         const DhcpClient& client);
