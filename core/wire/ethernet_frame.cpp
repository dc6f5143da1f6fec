#include "core/wire/ethernet_frame.h"

#include <algorithm>

namespace
{
void AppendBe16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}
} // namespace

std::vector<std::uint8_t> BuildEthernetFrame(const HardwareAddress& destination,
                                             const HardwareAddress& source,
                                             std::optional<std::uint16_t> vlan,
                                             std::uint16_t etherType,
                                             const std::vector<std::uint8_t>& payload)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(kEthernetHeaderSize + kVlanTagSize + payload.size());
    frame.insert(frame.end(), destination.begin(), destination.end());
    frame.insert(frame.end(), source.begin(), source.end());
    if (vlan)
    {
        AppendBe16(frame, kEtherTypeVlan);
        AppendBe16(frame, VlanOfTag(*vlan));
    }
    AppendBe16(frame, etherType);
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

HardwareAddress Ipv6MulticastMac(const Ipv6Address& address)
{
    HardwareAddress mac = {0x33, 0x33};
    std::copy(address.end() - 4, address.end(), mac.begin() + 2);
    return mac;
}

Ipv6Address LinkLocalFromMac(const HardwareAddress& mac)
{
    Ipv6Address address = {0xfe, 0x80};
    address[8] = static_cast<std::uint8_t>(mac[0] ^ 0x02);
    address[9] = mac[1];
    address[10] = mac[2];
    address[11] = 0xff;
    address[12] = 0xfe;
    std::copy(mac.begin() + 3, mac.end(), address.begin() + 13);
    return address;
}
