// Kea's Reply to veyra-probe's Information-request, carrying every option
// Kea can send (captured by tests/linux/inform6_netns.sh): Veyra's decoding
// of each option against Wireshark's dissection of the same bytes. Skipped
// without tshark.
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/byte_order.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_datagram.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
const std::string kPcap = std::string(VEYRA_LINUX_DHCP_DATA) + "/inform6-kea-reply.pcap";
constexpr std::size_t kPcapHeader = 24;
constexpr std::size_t kRecordHeader = 16;
constexpr std::size_t kEthernetHeader = 14;

// The frames of a little-endian classic pcap file, as captured.
std::vector<std::vector<std::uint8_t>> Frames(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t at = kPcapHeader; at + kRecordHeader <= bytes.size();)
    {
        const std::size_t size = std::size_t{bytes[at + 8]} | std::size_t{bytes[at + 9]} << 8 |
                                 std::size_t{bytes[at + 10]} << 16 |
                                 std::size_t{bytes[at + 11]} << 24;
        at += kRecordHeader;
        if (size > bytes.size() - at)
            break;
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    return frames;
}

// One option as tshark shows it: its code and length, and the texts of every
// field it made of the data, suboptions' included.
struct TsharkOption6
{
    std::string code;
    std::string length;
    std::vector<std::string> texts;
};

void CollectFields(const TsharkNode& node, TsharkOption6& option)
{
    for (const TsharkNode& child : node.m_Children)
    {
        if (child.m_strName == "dhcpv6.option.type" && option.code.empty())
            option.code = child.m_strText;
        else if (child.m_strName == "dhcpv6.option.length" && option.length.empty())
            option.length = child.m_strText;
        else if (!child.m_Children.empty())
            CollectFields(child, option);
        else
            option.texts.push_back(child.m_strText);
    }
}

std::vector<TsharkOption6> TsharkOptions6(const TsharkNode& dhcpv6)
{
    std::vector<TsharkOption6> options;
    for (const TsharkNode& child : dhcpv6.m_Children)
    {
        if (child.m_strName != "dhcpv6.option.type_str_tree")
            continue;
        options.emplace_back();
        CollectFields(child, options.back());
    }
    return options;
}

// Every string and number inside a typed value.
void Scalars(const nlohmann::ordered_json& value, std::vector<std::string>& scalars)
{
    if (value.is_string())
        scalars.push_back(value.get<std::string>());
    else if (value.is_number())
        scalars.push_back(value.dump());
    else
        for (const auto& element : value)
            Scalars(element, scalars);
}

TEST(Inform6Oracle, KeaReplyTypedValuesEqualTsharks)
{
    if (const std::string obstacle = TsharkObstacle(); !obstacle.empty())
        GTEST_SKIP() << obstacle;
    const std::vector<std::vector<std::uint8_t>> frames = Frames(kPcap);
    ASSERT_EQ(frames.size(), 2u); // the Information-request and Kea's Reply
    const std::vector<std::uint8_t>& frame = frames[1];
    ASSERT_GT(frame.size(), kEthernetHeader);
    // Captured on a veth: Kea's UDP checksum was left to the hardware.
    const std::optional<Udp6PacketView> udp =
        ParseUdp6Packet(frame.data() + kEthernetHeader, frame.size() - kEthernetHeader, true);
    ASSERT_TRUE(udp);
    const std::optional<Dhcpv6Message> reply = ParseDhcpv6Message(udp->payload, udp->payloadSize);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->type, kDhcpv6Reply);

    std::vector<TsharkNode> dissected;
    std::string error;
    ASSERT_TRUE(RunTshark(kPcap, {}, dissected, error)) << error;
    ASSERT_EQ(dissected.size(), 2u);
    const TsharkNode* dhcpv6 = dissected[1].Find("dhcpv6");
    ASSERT_NE(dhcpv6, nullptr);
    const std::vector<TsharkOption6> expected = TsharkOptions6(*dhcpv6);
    const std::vector<ExtendedOption> decoded = DecodeAllOptions6(reply->options);

    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_GE(decoded.size(), 35u);
    for (std::size_t i = 0; i < decoded.size(); ++i)
    {
        const Dhcpv6Option& option = reply->options[i];
        SCOPED_TRACE("option " + std::to_string(option.code));
        EXPECT_EQ(std::to_string(decoded[i].m_nCode), expected[i].code);
        EXPECT_EQ(std::to_string(option.data.size()), expected[i].length);
        // An option Veyra shows as hex alone has no typed value to compare.
        if (decoded[i].m_value == HexText(option.data.data(), option.data.size()))
            continue;
        std::vector<std::string> scalars;
        Scalars(decoded[i].m_value, scalars);
        for (const std::string& scalar : scalars)
        {
            EXPECT_NE(std::find(expected[i].texts.begin(), expected[i].texts.end(), scalar),
                      expected[i].texts.end())
                << scalar << " is no field of tshark's";
        }
    }
}
} // namespace
