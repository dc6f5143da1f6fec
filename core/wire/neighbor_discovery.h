// Neighbor Discovery (RFC 4861): the options every ND message carries, and
// the Neighbor Solicitation and Advertisement by which a census answers for
// its own link-local addresses on a VLAN, where no kernel does: a DHCPv6
// server resolves a client's address before it sends an Advertise.
#pragma once

#include "core/wire/ethernet_frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

enum Icmpv6Type : std::uint8_t
{
    kIcmpv6RouterSolicitation = 133,
    kIcmpv6RouterAdvertisement = 134,
    kIcmpv6NeighborSolicitation = 135,
    kIcmpv6NeighborAdvertisement = 136,
};

// RFC 4861 4.6, RFC 8106 5.
enum NdOptionType : std::uint8_t
{
    kNdSourceLinkLayer = 1,
    kNdTargetLinkLayer = 2,
    kNdPrefixInformation = 3,
    kNdMtu = 5,
    kNdRdnss = 25,
    kNdDnssl = 31,
};

// One option: its type and the bytes after its type and length (8 times its
// length, less those 2). data points into the message.
struct NdOption
{
    std::uint8_t type = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The options filling the bytes, in order; empty when one has length zero or
// runs past the end (RFC 4861 6.1: the message is then dropped whole).
std::optional<std::vector<NdOption>> ReadNdOptions(const std::uint8_t* data, std::size_t size);

// The Ethernet address of a Source or Target Link-Layer Address option, when
// it has room for one.
std::optional<HardwareAddress> LinkLayerAddress(const NdOption& option);

// fe80::/10 (RFC 4291 2.5.6).
bool IsLinkLocalUnicast(const Ipv6Address& address);

// ff02::1:ff00:0/104 and the address's low 24 bits (RFC 4291 2.7.1).
Ipv6Address SolicitedNodeAddress(const Ipv6Address& address);

struct NeighborSolicitation
{
    Ipv6Address source{}; // :: for duplicate address detection
    Ipv6Address target{};
    std::optional<HardwareAddress> sourceLinkLayer;
};

// An IPv6 packet holding a Neighbor Solicitation that passes RFC 4861 7.1.1's
// checks: hop limit 255, code 0, a message of at least 24 bytes, a target that
// is not multicast, options that read whole, and from :: only to a
// solicited-node address and without a Source Link-Layer Address option.
std::optional<NeighborSolicitation> ParseNeighborSolicitation(const std::uint8_t* ipv6Packet,
                                                              std::size_t size,
                                                              bool checksumPending = false);

// The answer from target (our link-local address) with our Ethernet address
// as its Target Link-Layer Address option and the override flag: to the
// solicitation's source, solicited, or to all nodes (ff02::1) and not
// solicited when that source was :: (RFC 4861 7.2.4).
std::vector<std::uint8_t> BuildNeighborAdvertisement(const Ipv6Address& target,
                                                     const HardwareAddress& ourMac,
                                                     const Ipv6Address& destination);

// Answers the Neighbor Solicitations for one link-local address no kernel
// answers for (a census's probe on a VLAN, a handshake's client). A server
// asks again when an answer is lost, but a flood of solicitations gets no
// more answers than kMaxNeighborAnswers.
struct NeighborResponder
{
    static constexpr std::uint8_t kMaxNeighborAnswers = 16;

    HardwareAddress mac{};
    Ipv6Address linkLocal{};
    std::optional<std::uint16_t> vlan;
    std::uint8_t answers = 0;

    // The Advertisement's whole frame, on our VLAN, when the IPv6 packet that
    // came from sourceMac solicits our address; else empty. To the
    // solicitation's link-layer address, or to all nodes when it came from ::.
    std::optional<std::vector<std::uint8_t>> Answer(const std::uint8_t* ipv6Packet,
                                                    std::size_t size, bool checksumPending,
                                                    const HardwareAddress& sourceMac);
};

// Appends a Source or Target Link-Layer Address option for Ethernet.
void AppendLinkLayerOption(std::vector<std::uint8_t>& message, NdOptionType type,
                           const HardwareAddress& mac);
