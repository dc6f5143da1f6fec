// FrameSocket on a veth pair between two network namespaces (root; skipped
// otherwise): what each filter lets through, and the kernel's stamp of every
// send.
#include "core/wire/ethernet_frame.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/udp_datagram.h"
#include "linux/frame_socket.h"
#include "tests/linux/netns_pair_test.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Longer than any test takes: each read ends on the frame it waits for.
constexpr std::chrono::seconds kPatient(20);
constexpr HardwareAddress kBroadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr HardwareAddress kSender = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};
constexpr Ipv6Address kSenderLinkLocal = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

// The UDP packet alone, and in its frame.
struct Sent
{
    Bytes packet;
    Bytes frame;
};

Sent Udp4(std::optional<std::uint16_t> vlan, std::uint16_t port)
{
    const Bytes packet = BuildUdpPacket({0x0A4D0001, 0xFFFFFFFF, 67, port}, Bytes(20, 0x44));
    return {packet, BuildEthernetFrame(kBroadcast, kSender, vlan, kEtherTypeIpv4, packet)};
}

Sent Udp6(std::optional<std::uint16_t> vlan, std::uint16_t port)
{
    const Bytes packet =
        BuildUdp6Packet({kSenderLinkLocal, kSenderLinkLocal, 547, port}, Bytes(20, 0x66));
    return {packet, BuildEthernetFrame(Ipv6MulticastMac(kSenderLinkLocal), kSender, vlan,
                                       kEtherTypeIpv6, packet)};
}

class FrameSocketPair : public NetnsPairTest
{
protected:
    // A socket stays in the namespace it was made in.
    int OpenIn(const std::string& space, const char* interfaceName, FrameFilter filter,
               FrameSocket& socket)
    {
        const CNetnsScope scope(space);
        EXPECT_TRUE(scope.Entered());
        return socket.Open(interfaceName, filter, false);
    }
};

TEST_F(FrameSocketPair, EachFilterLetsThroughOnlyItsFrames)
{
    struct Case
    {
        const char* name;
        FrameFilter filter;
        std::vector<Sent> dropped;
        Sent kept;
        std::optional<std::uint16_t> keptVlan;
    };
    const Case cases[] = {
        {"DHCPv4 client",
         FrameFilter::Dhcpv4Client,
         {Udp4(5, 68), Udp4({}, 67), Udp6({}, 546)},
         Udp4({}, 68),
         {}},
        {"DHCPv6 client",
         FrameFilter::Dhcpv6Client,
         {Udp6(5, 546), Udp6({}, 547), Udp4({}, 68)},
         Udp6({}, 546),
         {}},
        // Its VLAN read behind the kernel's stamps of the frame.
        {"census", FrameFilter::Census, {Udp4(5, 67), Udp6({}, 547)}, Udp4(7, 68), 7},
    };
    FrameSocket sender;
    ASSERT_EQ(OpenIn(m_pair->ServerNamespace(), CNetnsPair::kServerInterface, FrameFilter::Census,
                     sender),
              0);
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        FrameSocket receiver;
        ASSERT_EQ(
            OpenIn(m_pair->ClientNamespace(), CNetnsPair::kClientInterface, test.filter, receiver),
            0);
        const auto deadline = Clock::now() + kPatient;
        for (const Sent& frame : test.dropped)
            ASSERT_EQ(sender.Send(frame.frame, deadline), 0);
        ASSERT_EQ(sender.Send(test.kept.frame, deadline), 0);

        Bytes buffer;
        ReceivedFrame frame;
        ASSERT_EQ(receiver.Receive(deadline, buffer, frame), 0);
        const std::uint8_t* start = buffer.data() + kEthernetHeaderSize;
        const Bytes packet(start, start + frame.packetSize);
        EXPECT_EQ(packet, test.kept.packet);
        EXPECT_EQ(frame.vlan, test.keptVlan);
        EXPECT_EQ(frame.sourceMac, kSender);
    }
}

TEST_F(FrameSocketPair, StampsEachSendBeforeItsFrameIsReceived)
{
    FrameSocket sender;
    FrameSocket receiver;
    ASSERT_EQ(OpenIn(m_pair->ClientNamespace(), CNetnsPair::kClientInterface,
                     FrameFilter::Dhcpv4Client, sender),
              0);
    ASSERT_EQ(OpenIn(m_pair->ServerNamespace(), CNetnsPair::kServerInterface, FrameFilter::Census,
                     receiver),
              0);
    const auto deadline = Clock::now() + kPatient;
    std::optional<std::chrono::system_clock::time_point> previous;
    Bytes buffer;
    for (SendId expected = 0; expected < 3; ++expected)
    {
        SendId id = 99;
        ASSERT_EQ(sender.Send(Udp4({}, 68).frame, deadline, id), 0);
        EXPECT_EQ(id, expected);
        ReceivedFrame frame;
        ASSERT_EQ(receiver.Receive(deadline, buffer, frame), 0);
        const auto sentAt = sender.SentAt(id);
        ASSERT_TRUE(sentAt) << id;
        EXPECT_LE(*sentAt, frame.received);
        if (previous)
        {
            EXPECT_LE(*previous, *sentAt);
        }
        previous = sentAt;
    }
    EXPECT_FALSE(sender.SentAt(3)); // not sent
}
} // namespace
