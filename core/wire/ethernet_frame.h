// Ethernet frames as a packet socket of type SOCK_RAW sends them: the header,
// an 802.1Q tag when the frame goes to a VLAN of a trunk, and the payload;
// and the addresses IPv6 derives from Ethernet's (RFC 2464, RFC 4291).
#pragma once

#include "core/model/router_advertisements.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using HardwareAddress = std::array<std::uint8_t, 6>; // as in dhcp_discovery.h

constexpr std::uint16_t kEtherTypeIpv4 = 0x0800;
constexpr std::uint16_t kEtherTypeIpv6 = 0x86DD;
constexpr std::uint16_t kEtherTypeVlan = 0x8100; // IEEE 802.1Q
constexpr std::size_t kEthernetHeaderSize = 14;
constexpr std::size_t kVlanTagSize = 4;

// destination, source, then with a VLAN the 802.1Q tag (priority 0, the VLAN
// in the low 12 bits of its TCI), then etherType and the payload. Ethernet's
// padding to 60 bytes is left to the driver, as for any packet socket.
std::vector<std::uint8_t> BuildEthernetFrame(const HardwareAddress& destination,
                                             const HardwareAddress& source,
                                             std::optional<std::uint16_t> vlan,
                                             std::uint16_t etherType,
                                             const std::vector<std::uint8_t>& payload);

// The VLAN of a received tag's TCI: its low 12 bits, whatever the priority
// and drop-eligible bits above them say.
constexpr std::uint16_t VlanOfTag(std::uint16_t tci)
{
    return static_cast<std::uint16_t>(tci & 0x0FFF);
}

// The Ethernet group address of an IPv6 multicast address: 33:33 and the
// address's low 32 bits (RFC 2464 7).
HardwareAddress Ipv6MulticastMac(const Ipv6Address& address);

// fe80::/64 with the modified EUI-64 interface identifier of a MAC address:
// ff:fe in the middle and the universal/local bit inverted (RFC 4291 2.5.1,
// appendix A).
Ipv6Address LinkLocalFromMac(const HardwareAddress& mac);
