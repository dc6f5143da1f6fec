// The handshake's messages as Wireshark reads them, field by field: the
// REQUEST that selects an offer, the RELEASE, a relay agent's DISCOVER, the
// DHCPv6 Request and Release, and a Solicit in a Relay-forward.
#include "core/wire/dhcp_handshake.h"
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/dhcpv6_handshake.h"
#include "core/wire/duid.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/udp_datagram.h"
#include "testing/pcap_writer.h"
#include "testing/scratch_directory.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

namespace
{
constexpr HardwareAddress kMac = {0x00, 0x00, 0x5e, 0x00, 0x53, 0x2a};
constexpr Ipv6Address kLink = {0x20, 0x01, 0x0d, 0xb8, 0, 0x72, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

struct Expected
{
    const char* field;
    const char* text;
};

struct BuiltFrame
{
    const char* name;
    std::vector<std::uint8_t> frame;
    std::vector<Expected> fields;
};

std::vector<std::uint8_t> Frame4(const std::vector<std::uint8_t>& message)
{
    return BuildEthernetFrame(kMac, kMac, std::nullopt, kEtherTypeIpv4,
                              BuildUdpPacket({0, 0xFFFFFFFF, 68, 67}, message));
}

std::vector<std::uint8_t> Frame6(const std::vector<std::uint8_t>& message, std::uint16_t port)
{
    return BuildEthernetFrame(kMac, kMac, std::nullopt, kEtherTypeIpv6,
                              BuildUdp6Packet({kLink, kAllDhcpv6Servers, port, 547}, message));
}

std::vector<BuiltFrame> Frames()
{
    DhcpClient client{kMac, 0x01020304, 0};
    DhcpClient relayed{kMac, 0x01020304, 0x0A480001};
    Dhcpv6Client client6{MakeDuidLl(kMac), 0xabcdef, 0x0a0b0c0d};
    const OptionBytes serverDuid = {0, 3, 0, 1, 2, 0, 0, 0, 0, 1};
    const OptionBytes ia = {0x0a, 0x0b, 0x0c, 0x0d, 0, 0, 0, 0, 0, 0, 0, 0};
    return {
        {"request",
         Frame4(BuildHandshakeRequest(client, 0xC0000201, 0xC000020A)),
         {{"dhcp.option.dhcp", "3"},
          {"dhcp.flags.bc", "1"},
          {"dhcp.ip.client", "0.0.0.0"},
          {"dhcp.option.requested_ip_address", "192.0.2.10"},
          {"dhcp.option.dhcp_server_id", "192.0.2.1"},
          {"dhcp.hw.type", "0x01"},
          {"dhcp.id", "0x01020304"},
          {"dhcp.hw.mac_addr", "00:00:5e:00:53:2a"}}},
        {"release",
         Frame4(BuildHandshakeRelease(client, 0xC0000201, 0xC000020A)),
         {{"dhcp.option.dhcp", "7"},
          {"dhcp.flags.bc", "0"},
          {"dhcp.ip.client", "192.0.2.10"},
          {"dhcp.option.dhcp_server_id", "192.0.2.1"},
          {"dhcp.hops", "0"}}},
        {"relayed discover",
         Frame4(BuildHandshakeDiscover(relayed)),
         {{"dhcp.option.dhcp", "1"},
          {"dhcp.hops", "1"},
          {"dhcp.ip.relay", "10.72.0.1"},
          {"dhcp.option.request_list_item", "1"}}},
        {"request6",
         Frame6(BuildHandshakeRequest6(client6, serverDuid, ia), 546),
         {{"dhcpv6.msgtype", "3"},
          {"dhcpv6.xid", "0xabcdef"},
          {"dhcpv6.duidll.link_layer_addr", "00:00:5e:00:53:2a"},
          {"dhcpv6.iaid", "0a0b0c0d"},
          {"dhcpv6.elapsed_time", "0"},
          {"dhcpv6.requested_option_code", "23"}}},
        {"release6",
         Frame6(BuildHandshakeRelease6(client6, serverDuid, ia), 546),
         {{"dhcpv6.msgtype", "8"}, {"dhcpv6.iaid", "0a0b0c0d"}}},
        {"relay-forward",
         Frame6(BuildRelayForward(kLink, LinkLocalFromMac(kMac), {'v', 'y'},
                                  BuildHandshakeSolicit(client6)),
                547),
         {{"dhcpv6.msgtype", "12"},
          {"dhcpv6.hopcount", "0"},
          {"dhcpv6.linkaddr", "2001:db8:72::1"},
          {"dhcpv6.peeraddr", "fe80::200:5eff:fe00:532a"},
          {"dhcpv6.interface_id", "76:79"}}},
    };
}

TEST(HandshakePacketsOracle, TsharkReadsWhatEachBuilderMeant)
{
    const std::string obstacle = TsharkObstacle();
    if (!obstacle.empty())
        GTEST_SKIP() << obstacle;
    const std::vector<BuiltFrame> built = Frames();
    std::vector<std::vector<std::uint8_t>> frames;
    for (const BuiltFrame& frame : built)
        frames.push_back(frame.frame);
    CScratchDirectory scratch;
    const std::string pcap = scratch.Path() + "/handshake.pcap";
    ASSERT_TRUE(WriteBytes(pcap, PcapFile(frames)));
    std::vector<TsharkNode> dissected;
    std::string error;
    ASSERT_TRUE(RunTshark(pcap, {"udp.check_checksum:TRUE"}, dissected, error)) << error;
    ASSERT_EQ(dissected.size(), built.size());
    for (std::size_t i = 0; i < built.size(); ++i)
    {
        const TsharkNode* checksum = dissected[i].Find("udp.checksum.status");
        EXPECT_TRUE(checksum != nullptr && checksum->m_strText == "1") << built[i].name;
        for (const Expected& expected : built[i].fields)
        {
            const TsharkNode* field = dissected[i].Find(expected.field);
            EXPECT_EQ(field != nullptr ? field->m_strText : "(none)", expected.text)
                << built[i].name << ": " << expected.field;
        }
    }
    // The Relay-forward carries the Solicit whole.
    const TsharkNode* inner = dissected.back().Find("dhcpv6.iaid");
    EXPECT_TRUE(inner != nullptr && inner->m_strText == "0a0b0c0d");
}
} // namespace
