#include "core/wire/udp_datagram.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

UdpEndpoints ClientToServers()
{
    UdpEndpoints endpoints;
    endpoints.m_nDestinationAddress = 0xFFFFFFFF;
    endpoints.m_nSourcePort = 68;
    endpoints.m_nDestinationPort = 67;
    return endpoints;
}

// Worked by hand (RFC 1071): the header words 4500 001c 0000 0000 4011 0000
// 0000 0000 ffff ffff sum to 852d, so the checksum is 7ad2; the UDP sum of
// the pseudo-header (ffff ffff, 17, 8) and 0044 0043 0008 is 00a8: ff57.
TEST(UdpPacket, EmptyDatagramHasTheHandWorkedChecksums)
{
    const Bytes expected = {0x45, 0x00, 0x00, 0x1c, 0x00, 0x00, 0x00, 0x00, 0x40, 0x11,
                            0x7a, 0xd2, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff,
                            0x00, 0x44, 0x00, 0x43, 0x00, 0x08, 0xff, 0x57};
    EXPECT_EQ(BuildUdpPacket(ClientToServers(), {}), expected);
}

TEST(UdpPacket, ReadsBackWhatItWrites)
{
    // An odd length: the last byte is summed as a word's high byte.
    const Bytes payload = {1, 2, 3, 4, 5};
    UdpEndpoints endpoints = ClientToServers();
    endpoints.m_nSourceAddress = 0x0A4D0001;
    const Bytes packet = BuildUdpPacket(endpoints, payload);
    const std::optional<UdpPacketView> view = ParseUdpPacket(packet.data(), packet.size());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->m_endpoints.m_nSourceAddress, 0x0A4D0001u);
    EXPECT_EQ(view->m_endpoints.m_nDestinationAddress, 0xFFFFFFFFu);
    EXPECT_EQ(view->m_endpoints.m_nSourcePort, 68);
    EXPECT_EQ(view->m_endpoints.m_nDestinationPort, 67);
    EXPECT_EQ(Bytes(view->m_pPayload, view->m_pPayload + view->m_nPayloadSize), payload);
}

TEST(UdpPacket, IgnoresEthernetPaddingAfterThePacket)
{
    Bytes packet = BuildUdpPacket(ClientToServers(), {9});
    packet.resize(46, 0);
    const std::optional<UdpPacketView> view = ParseUdpPacket(packet.data(), packet.size());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->m_nPayloadSize, 1u);
}

TEST(UdpPacket, RefusesAPayloadNoPacketHolds)
{
    EXPECT_TRUE(BuildUdpPacket(ClientToServers(), Bytes(0xFFFF - 28 + 1)).empty());
    EXPECT_EQ(BuildUdpPacket(ClientToServers(), Bytes(0xFFFF - 28)).size(), 0xFFFFu);
}

struct Damage
{
    const char* pszName;
    std::size_t nOffset; // byte changed; past the end: the packet is cut to that size
    std::uint8_t nValue;
};

// Each damage makes the packet unreadable; the header checksum is fixed up
// after changes to the header, so the fault itself is what is refused.
class DamagedPacket : public testing::TestWithParam<Damage>
{
};

TEST_P(DamagedPacket, IsRefused)
{
    const Damage& damage = GetParam();
    Bytes packet = BuildUdpPacket(ClientToServers(), {1, 2, 3, 4});
    if (damage.nOffset >= packet.size())
    {
        packet.resize(damage.nValue);
    }
    else
    {
        packet[damage.nOffset] = damage.nValue;
        if (damage.nOffset < kIpv4HeaderSize && damage.nOffset != 10 && damage.nOffset != 11)
        {
            packet[10] = packet[11] = 0;
            std::uint32_t nSum = 0;
            for (std::size_t i = 0; i < kIpv4HeaderSize; i += 2)
                nSum += std::uint32_t{packet[i]} << 8 | packet[i + 1];
            while (nSum > 0xFFFF)
                nSum = (nSum & 0xFFFF) + (nSum >> 16);
            packet[10] = static_cast<std::uint8_t>(~nSum >> 8);
            packet[11] = static_cast<std::uint8_t>(~nSum);
        }
    }
    EXPECT_FALSE(ParseUdpPacket(packet.data(), packet.size())) << damage.pszName;
}

INSTANTIATE_TEST_SUITE_P(
    UdpPacket, DamagedPacket,
    testing::Values(Damage{"IPv6 version", 0, 0x65}, Damage{"header length 16", 0, 0x44},
                    Damage{"header longer than the packet", 0, 0x4F}, Damage{"TCP", 9, 6},
                    Damage{"more fragments", 6, 0x20}, Damage{"a later fragment", 7, 0x01},
                    Damage{"total length past the end", 3, 0xFF},
                    Damage{"total length below the headers", 3, 27},
                    Damage{"header checksum", 10, 0x00},
                    Damage{"UDP length past the packet", 25, 13},
                    Damage{"UDP length below its header", 25, 7}, Damage{"UDP checksum", 26, 0x00},
                    Damage{"payload byte", 28, 0xEE}, Damage{"cut inside the header", 1000, 19},
                    Damage{"cut inside the payload", 1000, 30}));

TEST(UdpPacket, TakesAMissingChecksumAndAPendingOne)
{
    Bytes packet = BuildUdpPacket(ClientToServers(), {1, 2, 3, 4});
    Bytes none = packet;
    none[26] = none[27] = 0; // "no checksum" (RFC 768)
    EXPECT_TRUE(ParseUdpPacket(none.data(), none.size()));
    packet[26] ^= 0x5A;
    EXPECT_FALSE(ParseUdpPacket(packet.data(), packet.size()));
    EXPECT_TRUE(ParseUdpPacket(packet.data(), packet.size(), true));
}
} // namespace
