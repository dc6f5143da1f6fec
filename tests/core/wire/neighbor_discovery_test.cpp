#include "core/wire/neighbor_discovery.h"

#include "core/wire/ipv6_datagram.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kPeerMac = {0x52, 0x54, 0, 0x12, 0x34, 0x56};
constexpr Ipv6Address kPeer = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x99};
constexpr Ipv6Address kUs = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2a};
constexpr Ipv6Address kUnspecified{};

// A Neighbor Solicitation for kUs: the message's fixed part, then options.
Bytes Solicitation(const Ipv6Address& source, const Ipv6Address& destination, const Bytes& options)
{
    Bytes message(24 + options.size());
    message[0] = 135;
    std::copy(kUs.begin(), kUs.end(), message.begin() + 8);
    std::copy(options.begin(), options.end(), message.begin() + 24);
    return BuildIcmpv6Packet(source, destination, message);
}

const Bytes kSourceLinkLayer = {1, 1, 0x52, 0x54, 0, 0x12, 0x34, 0x56};

TEST(NeighborSolicitation, ReadsSourceTargetAndLinkLayerAddress)
{
    const Bytes packet = Solicitation(kPeer, SolicitedNodeAddress(kUs), kSourceLinkLayer);
    const std::optional<NeighborSolicitation> read =
        ParseNeighborSolicitation(packet.data(), packet.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->source, kPeer);
    EXPECT_EQ(read->target, kUs);
    EXPECT_EQ(read->sourceLinkLayer, kPeerMac);

    const Bytes dad = Solicitation(kUnspecified, SolicitedNodeAddress(kUs), {});
    const std::optional<NeighborSolicitation> probe =
        ParseNeighborSolicitation(dad.data(), dad.size());
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->source, kUnspecified);
    EXPECT_FALSE(probe->sourceLinkLayer);
}

struct BrokenSolicitation
{
    const char* name;
    Bytes packet;
    std::size_t offset = 0; // with value: a byte changed after the checksum
    int value = -1;
};

class BrokenSolicitations : public testing::TestWithParam<BrokenSolicitation>
{
};

TEST_P(BrokenSolicitations, AreRefused)
{
    Bytes packet = GetParam().packet;
    if (GetParam().value >= 0)
        packet.at(GetParam().offset) = static_cast<std::uint8_t>(GetParam().value);
    EXPECT_FALSE(ParseNeighborSolicitation(packet.data(), packet.size())) << GetParam().name;
}

const Bytes kGood = Solicitation(kPeer, SolicitedNodeAddress(kUs), kSourceLinkLayer);

INSTANTIATE_TEST_SUITE_P(
    NeighborSolicitation, BrokenSolicitations,
    testing::Values(BrokenSolicitation{"hop limit 254: routed from elsewhere", kGood, 7, 254},
                    BrokenSolicitation{"checksum", kGood, 42, 0},
                    BrokenSolicitation{"code 1", kGood, 41, 1},
                    BrokenSolicitation{"an advertisement", kGood, 40, 136},
                    BrokenSolicitation{"multicast target", Solicitation(kPeer, kUs, {}), 48, 0xff},
                    BrokenSolicitation{"shorter than 24 bytes",
                                       BuildIcmpv6Packet(kPeer, kUs, {135, 0, 0, 0, 0, 0, 0, 0})},
                    BrokenSolicitation{"option of length 0",
                                       Solicitation(kPeer, kUs, {1, 0, 0, 0, 0, 0, 0, 0})},
                    BrokenSolicitation{"option past the end",
                                       Solicitation(kPeer, kUs, {1, 2, 0, 0, 0, 0, 0, 0})},
                    BrokenSolicitation{"a half option", Solicitation(kPeer, kUs, {1})},
                    BrokenSolicitation{
                        "from :: with a link-layer address",
                        Solicitation(kUnspecified, SolicitedNodeAddress(kUs), kSourceLinkLayer)},
                    BrokenSolicitation{"from :: not to a solicited-node group",
                                       Solicitation(kUnspecified, kUs, {})}));

TEST(NeighborResponder, AnswersOnlyOurAddressAtMostSixteenTimes)
{
    constexpr HardwareAddress kOurMac = {0x02, 0, 0, 0, 0, 0x2a};
    constexpr HardwareAddress kFrameSource = {0x52, 0x54, 0, 0, 0, 1};
    constexpr Ipv6Address kAllNodes = {0xff, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const struct
    {
        Ipv6Address from;
        Bytes options;
        Ipv6Address ours;
        std::optional<HardwareAddress> to;
    } cases[] = {
        {kPeer, kSourceLinkLayer, kUs, kPeerMac},
        {kPeer, {}, kUs, kFrameSource},
        {kUnspecified, {}, kUs, Ipv6MulticastMac(kAllNodes)},
        {kPeer, kSourceLinkLayer, kPeer, std::nullopt},
    };
    for (const auto& c : cases)
    {
        const Bytes packet = Solicitation(c.from, SolicitedNodeAddress(kUs), c.options);
        NeighborResponder responder{kOurMac, c.ours, 7, 0};
        const auto frame = responder.Answer(packet.data(), packet.size(), false, kFrameSource);
        ASSERT_EQ(frame.has_value(), c.to.has_value());
        if (frame)
        {
            EXPECT_EQ(*frame, BuildEthernetFrame(*c.to, kOurMac, 7, kEtherTypeIpv6,
                                                 BuildNeighborAdvertisement(kUs, kOurMac, c.from)));
        }
    }
    const Bytes packet = Solicitation(kPeer, SolicitedNodeAddress(kUs), {});
    NeighborResponder flooded{kOurMac, kUs, std::nullopt, 0};
    for (int i = 0; i < 16; ++i)
    {
        ASSERT_TRUE(flooded.Answer(packet.data(), packet.size(), false, kFrameSource));
    }
    EXPECT_FALSE(flooded.Answer(packet.data(), packet.size(), false, kFrameSource));
}

} // namespace
