// The census's packets as Wireshark reads them: each builder's frame on a
// VLAN, its checksums, flags and addresses field by field.
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/duid.h"
#include "core/wire/neighbor_discovery.h"
#include "core/wire/router_discovery.h"
#include "testing/pcap_writer.h"
#include "testing/scratch_directory.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

namespace
{
// RFC 7042 2.1.2's documentation range, universal: tshark shows the MAC
// address inside a modified EUI-64 only for those.
constexpr HardwareAddress kMac = {0x00, 0x00, 0x5e, 0x00, 0x53, 0x2a};
constexpr Ipv6Address kPeer = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x99};
constexpr Ipv6Address kUnspecified{};

struct Expected
{
    const char* field;
    const char* text;
};

struct BuiltPacket
{
    const char* name;
    std::vector<std::uint8_t> ipv6Packet;
    std::vector<Expected> fields;
};

std::vector<BuiltPacket> Packets()
{
    const Ipv6Address linkLocal = LinkLocalFromMac(kMac);
    SolicitRequest solicit;
    solicit.transactionId = 0xabcdef;
    solicit.clientDuid = MakeDuidLl(kMac);
    solicit.iaid = 0x01020304;
    const std::vector<Expected> fromUs = {{"ipv6.src", "fe80::200:5eff:fe00:532a"},
                                          {"ipv6.src_slaac_mac", "00:00:5e:00:53:2a"}};
    std::vector<BuiltPacket> packets = {
        {"router solicitation",
         BuildRouterSolicitation(linkLocal, kMac),
         {{"ipv6.hlim", "255"},
          {"ipv6.dst", "ff02::2"},
          {"icmpv6.type", "133"},
          {"icmpv6.checksum.status", "1"},
          {"icmpv6.opt.src_linkaddr", "00:00:5e:00:53:2a"}}},
        {"solicited neighbor advertisement",
         BuildNeighborAdvertisement(linkLocal, kMac, kPeer),
         {{"ipv6.hlim", "255"},
          {"ipv6.dst", "fe80::99"},
          {"icmpv6.type", "136"},
          {"icmpv6.checksum.status", "1"},
          {"icmpv6.nd.na.flag.r", "0"},
          {"icmpv6.nd.na.flag.s", "1"},
          {"icmpv6.nd.na.flag.o", "1"},
          {"icmpv6.nd.na.target_address", "fe80::200:5eff:fe00:532a"},
          {"icmpv6.opt.target_linkaddr", "00:00:5e:00:53:2a"}}},
        {"unsolicited neighbor advertisement",
         BuildNeighborAdvertisement(linkLocal, kMac, kUnspecified),
         {{"ipv6.dst", "ff02::1"}, {"icmpv6.nd.na.flag.s", "0"}, {"icmpv6.nd.na.flag.o", "1"}}},
        {"solicit",
         BuildSolicitPacket(solicit, linkLocal),
         {{"ipv6.hlim", "1"},
          {"ipv6.dst", "ff02::1:2"},
          {"udp.srcport", "546"},
          {"udp.dstport", "547"},
          {"udp.checksum.status", "1"},
          {"dhcpv6.msgtype", "1"},
          {"dhcpv6.xid", "0xabcdef"},
          {"dhcpv6.duid.type", "3"},
          {"dhcpv6.duidll.link_layer_addr", "00:00:5e:00:53:2a"},
          {"dhcpv6.elapsed_time", "0"},
          {"dhcpv6.iaid", "01020304"}}},
    };
    for (BuiltPacket& packet : packets)
        packet.fields.insert(packet.fields.end(), fromUs.begin(), fromUs.end());
    return packets;
}

TEST(CensusPacketsOracle, TsharkReadsWhatEachBuilderMeant)
{
    const std::string obstacle = TsharkObstacle();
    if (!obstacle.empty())
        GTEST_SKIP() << obstacle;
    const std::vector<BuiltPacket> packets = Packets();
    std::vector<std::vector<std::uint8_t>> frames;
    for (const BuiltPacket& packet : packets)
        frames.push_back(BuildEthernetFrame(Ipv6MulticastMac(kAllRouters), kMac, 42, kEtherTypeIpv6,
                                            packet.ipv6Packet));
    CScratchDirectory scratch;
    const std::string pcap = scratch.Path() + "/census.pcap";
    ASSERT_TRUE(WriteBytes(pcap, PcapFile(frames)));
    std::vector<TsharkNode> dissected;
    std::string error;
    ASSERT_TRUE(RunTshark(pcap, {"udp.check_checksum:TRUE"}, dissected, error)) << error;
    ASSERT_EQ(dissected.size(), packets.size());
    for (std::size_t i = 0; i < packets.size(); ++i)
    {
        const TsharkNode* vlan = dissected[i].Find("vlan.id");
        EXPECT_TRUE(vlan != nullptr && vlan->m_strText == "42") << packets[i].name;
        for (const Expected& expected : packets[i].fields)
        {
            const TsharkNode* field = dissected[i].Find(expected.field);
            EXPECT_EQ(field != nullptr ? field->m_strText : "(none)", expected.text)
                << packets[i].name << ": " << expected.field;
        }
    }
}

} // namespace
