#include "core/wire/ipv6_datagram.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

// fe80::1 port 546 to ff02::1:2 port 547, as an Information-request goes.
Udp6Endpoints ClientToServers()
{
    Udp6Endpoints endpoints;
    endpoints.source = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    endpoints.destination = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2};
    endpoints.sourcePort = 546;
    endpoints.destinationPort = 547;
    return endpoints;
}

// Worked by hand (RFC 1071, RFC 8200 8.1): the addresses' words fe80 0001
// ff02 0001 0002, the length 000a, protocol 0011 and the datagram 0222 0223
// 000a 0b00 sum to 20cf0, folded 0cf2: the checksum is f30d.
TEST(Udp6Packet, TwoBytePayloadHasTheHandWorkedChecksum)
{
    const Bytes expected = {
        0x60, 0,    0,    0,    0x00, 0x0a, 17,   1, // version, length, UDP, hops
        0xfe, 0x80, 0,    0,    0,    0,    0,    0,    0,    0,   0, 0, 0, 0, 0, 1, // source
        0xff, 0x02, 0,    0,    0,    0,    0,    0,    0,    0,   0, 0, 0, 1, 0, 2, // destination
        0x02, 0x22, 0x02, 0x23, 0x00, 0x0a, 0xf3, 0x0d, 0x0b, 0x00};                 // UDP
    EXPECT_EQ(BuildUdp6Packet(ClientToServers(), {0x0b, 0x00}), expected);
}

TEST(Udp6Packet, ReadsBackWhatItWritesAndIgnoresPadding)
{
    const Bytes payload = {1, 2, 3, 4, 5}; // odd: the last byte is a word's high byte
    Bytes packet = BuildUdp6Packet(ClientToServers(), payload);
    packet.resize(packet.size() + 7, 0);
    const std::optional<Udp6PacketView> view = ParseUdp6Packet(packet.data(), packet.size());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->endpoints.source, ClientToServers().source);
    EXPECT_EQ(view->endpoints.destination, ClientToServers().destination);
    EXPECT_EQ(view->endpoints.sourcePort, 546);
    EXPECT_EQ(view->endpoints.destinationPort, 547);
    EXPECT_EQ(Bytes(view->payload, view->payload + view->payloadSize), payload);
}

TEST(Udp6Packet, RefusesAPayloadNoPacketHolds)
{
    EXPECT_TRUE(BuildUdp6Packet(ClientToServers(), Bytes(0xFFFF - 8 + 1)).empty());
    EXPECT_EQ(BuildUdp6Packet(ClientToServers(), Bytes(0xFFFF - 8)).size(), 0xFFFFu + 40);
}

struct Damage6
{
    const char* name;
    std::size_t offset; // byte changed; past the end: the packet is cut to value bytes
    std::uint8_t value;
};

class DamagedPacket6 : public testing::TestWithParam<Damage6>
{
};

TEST_P(DamagedPacket6, IsRefused)
{
    const Damage6& damage = GetParam();
    Bytes packet = BuildUdp6Packet(ClientToServers(), {1, 2, 3, 4});
    if (damage.offset >= packet.size())
        packet.resize(damage.value);
    else
        packet[damage.offset] = damage.value;
    EXPECT_FALSE(ParseUdp6Packet(packet.data(), packet.size())) << damage.name;
}

INSTANTIATE_TEST_SUITE_P(
    Udp6Packet, DamagedPacket6,
    testing::Values(Damage6{"IPv4 version", 0, 0x45}, Damage6{"hop-by-hop header", 6, 0},
                    Damage6{"TCP", 6, 6}, Damage6{"payload length past the end", 5, 13},
                    Damage6{"payload length below UDP's header", 5, 7},
                    Damage6{"UDP length short of the payload", 45, 11},
                    Damage6{"UDP length past the payload", 45, 13},
                    Damage6{"source address", 23, 2}, Damage6{"UDP checksum", 46, 0x00},
                    Damage6{"payload byte", 48, 0xEE}, Damage6{"cut inside the header", 1000, 39},
                    Damage6{"cut inside the payload", 1000, 50}));

TEST(Udp6Packet, RefusesAMissingChecksumAndTakesAPendingOne)
{
    Bytes packet = BuildUdp6Packet(ClientToServers(), {1, 2, 3, 4});
    Bytes none = packet;
    none[46] = none[47] = 0; // "no checksum": IPv4's, not IPv6's
    EXPECT_FALSE(ParseUdp6Packet(none.data(), none.size()));
    packet[46] ^= 0x5A;
    EXPECT_FALSE(ParseUdp6Packet(packet.data(), packet.size()));
    EXPECT_TRUE(ParseUdp6Packet(packet.data(), packet.size(), true));
}
TEST(Icmpv6Packet, ChecksumsWithHopLimit255AndRefusesWhatIsNoMessage)
{
    const Udp6Endpoints ends = ClientToServers();
    Bytes packet = BuildIcmpv6Packet(ends.source, ends.destination, {128, 0, 0xaa, 0xbb, 1});
    ASSERT_EQ(packet.size(), 45u);
    EXPECT_EQ(packet[7], 255);
    const std::optional<Icmpv6PacketView> view = ParseIcmpv6Packet(packet.data(), packet.size());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->messageSize, 5u);
    EXPECT_EQ(view->message[4], 1);
    EXPECT_EQ(Ipv6NextHeader(packet.data(), packet.size()), kProtocolIcmpv6);

    EXPECT_TRUE(BuildIcmpv6Packet(ends.source, ends.destination, {128, 0, 0}).empty());
    packet[5] = 3; // a payload length under ICMPv6's 4 bytes
    EXPECT_FALSE(ParseIcmpv6Packet(packet.data(), packet.size(), true));
    packet[5] = 5;
    packet[44] = 2; // the checksum no longer holds, unless the sender's hardware fills it in
    EXPECT_FALSE(ParseIcmpv6Packet(packet.data(), packet.size()));
    EXPECT_TRUE(ParseIcmpv6Packet(packet.data(), packet.size(), true));
    const Bytes udp = BuildUdp6Packet(ends, {1});
    EXPECT_FALSE(ParseIcmpv6Packet(udp.data(), udp.size(), true));
    EXPECT_FALSE(Ipv6NextHeader(udp.data(), kIpv6HeaderSize - 1));
}
} // namespace
