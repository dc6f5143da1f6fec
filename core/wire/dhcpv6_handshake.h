// The DHCPv6 exchange of a client that takes an address and gives it back
// (RFC 8415 18.2): Solicit, Request, Release, the reader of the server's
// Advertise and Replies, and the relay agent's wrapping of them (RFC 8415
// 19: Relay-forward with link-address, peer-address and Interface-Id, and
// the Relay-reply it comes back in).
#pragma once

#include "core/model/lease6.h"
#include "core/model/router_advertisements.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Dhcpv6Client
{
    std::vector<std::uint8_t> duid;
    std::uint32_t transactionId = 0; // 24 bits; each message takes its own
    std::uint32_t iaid = 0;
};

enum Dhcpv6HandshakeType : std::uint8_t
{
    kDhcpv6Release = 8,
    kDhcpv6RelayForward = 12,
    kDhcpv6RelayReply = 13,
};

// RFC 8415 21.13: the status codes a server answers with.
constexpr std::uint16_t kDhcpv6Success = 0;

// The Solicit: client id, Elapsed Time 0, one IA_NA with no hint, and an
// Option Request for the DNS servers. No Rapid Commit.
std::vector<std::uint8_t> BuildHandshakeSolicit(const Dhcpv6Client& client);

// The Request for the IA_NA an Advertise offered (its data as sent) from the
// server of that DUID; the Release of the same IA_NA to the same server.
std::vector<std::uint8_t> BuildHandshakeRequest6(const Dhcpv6Client& client,
                                                 const OptionBytes& serverDuid,
                                                 const OptionBytes& identityAssociation);
std::vector<std::uint8_t> BuildHandshakeRelease6(const Dhcpv6Client& client,
                                                 const OptionBytes& serverDuid,
                                                 const OptionBytes& identityAssociation);

// What a server answered this client: an Advertise or a Reply.
struct Dhcpv6Answer
{
    std::uint8_t type = 0;
    OptionBytes serverDuid;
    // The status: the message's own, else the first one inside our IA_NA
    // (RFC 8415 21.13); Success when there is none.
    std::uint16_t status = kDhcpv6Success;
    std::string statusText;                         // as sent (shown through peer_text)
    std::optional<OptionBytes> identityAssociation; // our IA_NA, as sent
    std::vector<Ipv6Address> addresses;             // leased in it
    std::optional<std::uint32_t> validLifetime;     // the first address's, in seconds
};

// Reads a DHCPv6 message to the client: Advertise or Reply with its
// transaction id and client DUID. Empty for anything else.
std::optional<Dhcpv6Answer> ReadDhcpv6Answer(const std::uint8_t* message, std::size_t size,
                                             const Dhcpv6Client& client);

// A Relay-forward of one client message, hop count 0.
std::vector<std::uint8_t> BuildRelayForward(const Ipv6Address& linkAddress,
                                            const Ipv6Address& peerAddress,
                                            const OptionBytes& interfaceId,
                                            const std::vector<std::uint8_t>& message);

// The message inside a Relay-reply to our Relay-forward: the same
// peer-address and Interface-Id (when it echoes one). Empty otherwise.
std::optional<std::vector<std::uint8_t>> ReadRelayReply(const std::uint8_t* message,
                                                        std::size_t size,
                                                        const Ipv6Address& peerAddress,
                                                        const OptionBytes& interfaceId);
