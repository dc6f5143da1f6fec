#include "core/wire/ethernet_frame.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kTo = {0x33, 0x33, 0, 0, 0, 2};
constexpr HardwareAddress kFrom = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST(EthernetFrame, WritesTheTagOnlyForAVlan)
{
    const Bytes addresses = {0x33, 0x33, 0, 0, 0, 2, 0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    Bytes untagged = addresses;
    untagged.insert(untagged.end(), {0x86, 0xdd, 0xaa});
    Bytes tagged = addresses;
    tagged.insert(tagged.end(), {0x81, 0x00, 0x0f, 0xfe, 0x86, 0xdd, 0xaa});
    EXPECT_EQ(BuildEthernetFrame(kTo, kFrom, std::nullopt, kEtherTypeIpv6, {0xaa}), untagged);
    EXPECT_EQ(BuildEthernetFrame(kTo, kFrom, 4094, kEtherTypeIpv6, {0xaa}), tagged);
}

TEST(EthernetFrame, ReadsTheVlanWithoutPriorityAndDropBits)
{
    EXPECT_EQ(VlanOfTag(0xE02A), 42);   // priority 7
    EXPECT_EQ(VlanOfTag(0x1FFE), 4094); // drop eligible
    EXPECT_EQ(VlanOfTag(0x0000), 0);
}

TEST(EthernetFrame, DerivesIpv6AddressesFromEthernetOnes)
{
    const Ipv6Address servers = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2};
    EXPECT_EQ(Ipv6MulticastMac(servers), (HardwareAddress{0x33, 0x33, 0, 1, 0, 2}));
    // The universal/local bit flips either way (RFC 4291 appendix A).
    EXPECT_EQ(LinkLocalFromMac(kFrom), (Ipv6Address{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x00, 0x11, 0x22,
                                                    0xff, 0xfe, 0x33, 0x44, 0x55}));
    EXPECT_EQ(LinkLocalFromMac({0x00, 0x11, 0x22, 0x33, 0x44, 0x55})[8], 0x02);
}
} // namespace
