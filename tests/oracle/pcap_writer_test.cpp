// The pcap writer and the reading of tshark's output, checked against tshark
// itself: a wrong checksum or a misread field would make every oracle
// comparison meaningless.
#include "testing/pcap_writer.h"
#include "testing/scratch_directory.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

TEST(PcapWriter, InternetChecksum)
{
    // RFC 1071's worked example, then an odd byte counted as the high half.
    const Bytes rfc = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    EXPECT_EQ(InternetChecksum(rfc.data(), rfc.size()), 0x220D);
    const Bytes odd = {0x01};
    EXPECT_EQ(InternetChecksum(odd.data(), odd.size()), 0xFEFF);
    // Carries from the partial sum fold back in.
    const Bytes ones = {0xFF, 0xFF};
    EXPECT_EQ(InternetChecksum(ones.data(), ones.size(), 0x1FFFE), 0x0000);
}

TEST(PcapWriter, FrameLayout)
{
    const Bytes frame = EthernetFrame(DhcpReplyDatagram({0xAB, 0xCD, 0xEF}));
    ASSERT_EQ(frame.size(), 14u + 20 + 8 + 3);
    EXPECT_EQ(frame[12], 0x08);
    EXPECT_EQ(frame[13], 0x00);
    EXPECT_EQ(frame[14 + 2] << 8 | frame[14 + 3], 20 + 8 + 3); // IPv4 total length
    EXPECT_EQ(InternetChecksum(&frame[14], 20), 0);            // the header sums to all ones
    EXPECT_EQ(frame[34] << 8 | frame[35], 67);
    EXPECT_EQ(frame[36] << 8 | frame[37], 68);
    EXPECT_EQ(frame[38] << 8 | frame[39], 8 + 3); // UDP length
    EXPECT_EQ(Bytes(frame.end() - 3, frame.end()), (Bytes{0xAB, 0xCD, 0xEF}));

    UdpDatagram unchecked = DhcpReplyDatagram({0xAB});
    unchecked.m_bChecksum = false;
    const Bytes uncheckedFrame = EthernetFrame(unchecked);
    EXPECT_EQ(uncheckedFrame[40] << 8 | uncheckedFrame[41], 0);
}

TEST(PcapWriter, PayloadBounds)
{
    EXPECT_EQ(EthernetFrame(DhcpReplyDatagram(Bytes(kMaxUdpPayload))).size(),
              14 + 20 + 8 + kMaxUdpPayload);
    EXPECT_TRUE(EthernetFrame(DhcpReplyDatagram(Bytes(kMaxUdpPayload + 1))).empty());
}

TEST(PcapWriter, FileLayout)
{
    const Bytes file = PcapFile({Bytes{1, 2, 3}, Bytes{4}});
    ASSERT_EQ(file.size(), 24u + 16 + 3 + 16 + 1);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(file[20], 1);              // Ethernet
    EXPECT_EQ(file[24 + 16 + 3], 1);     // the second record, one second later
    EXPECT_EQ(file[24 + 16 + 3 + 8], 1); // of one byte
    EXPECT_EQ(file.back(), 4);
}

class TsharkOracle : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string strObstacle = TsharkObstacle();
        if (!strObstacle.empty())
            GTEST_SKIP() << strObstacle;
        ASSERT_FALSE(m_scratch.Path().empty());
    }

    // tshark's reading of the frames, written as one pcap file.
    std::vector<TsharkNode> Dissect(const std::vector<Bytes>& frames,
                                    const std::vector<std::string>& preferences = {})
    {
        const std::string strPcap = m_scratch.Path() + "/frames.pcap";
        EXPECT_TRUE(WriteBytes(strPcap, PcapFile(frames)));
        std::vector<TsharkNode> dissected;
        std::string strError;
        EXPECT_TRUE(RunTshark(strPcap, preferences, dissected, strError)) << strError;
        EXPECT_EQ(dissected.size(), frames.size());
        return dissected;
    }

    CScratchDirectory m_scratch;
};

std::string FieldText(const TsharkNode& layers, const std::string& strName)
{
    const TsharkNode* pField = layers.Find(strName);
    return pField != nullptr ? pField->m_strText : "(none)";
}

TEST_F(TsharkOracle, AgreesOnTheChecksums)
{
    // A payload whose sum makes the UDP checksum come out 0, which is sent as
    // all ones: first find the checksum of two zero bytes, then put it there.
    const Bytes probe = EthernetFrame(DhcpReplyDatagram({0, 0}));
    const Bytes zeroSum = {probe[40], probe[41]};
    ASSERT_EQ(EthernetFrame(DhcpReplyDatagram(zeroSum))[40], 0xFF);
    ASSERT_EQ(EthernetFrame(DhcpReplyDatagram(zeroSum))[41], 0xFF);

    UdpDatagram unchecked = DhcpReplyDatagram({1, 2, 3});
    unchecked.m_bChecksum = false;
    const std::vector<Bytes> frames = {
        EthernetFrame(DhcpReplyDatagram({1, 2, 3, 4})), EthernetFrame(DhcpReplyDatagram({1, 2, 3})),
        EthernetFrame(DhcpReplyDatagram(zeroSum)), EthernetFrame(unchecked)};
    const std::vector<TsharkNode> dissected =
        Dissect(frames, {"ip.check_checksum:TRUE", "udp.check_checksum:TRUE"});
    ASSERT_EQ(dissected.size(), frames.size());
    // tshark's checksum statuses: 1 good, 3 not present.
    const char* const kUdpStatus[] = {"1", "1", "1", "3"};
    for (std::size_t n = 0; n < frames.size(); ++n)
    {
        SCOPED_TRACE(n);
        EXPECT_EQ(FieldText(dissected[n], "ip.checksum.status"), "1");
        EXPECT_EQ(FieldText(dissected[n], "udp.checksum.status"), kUdpStatus[n]);
        EXPECT_EQ(FieldText(dissected[n], "udp.srcport"), "67");
        EXPECT_EQ(FieldText(dissected[n], "ip.dst"), "10.99.0.146");
    }
}

// A DHCPACK written by hand, so that this test does not lean on the writer it
// helps to check: routers (a repeated field), a mask one byte short, a code
// tshark has no dissection for, a relay agent suboption that runs past the
// option's end, and pads before the end option.
TEST_F(TsharkOracle, ReadsEachOptionInOrder)
{
    Bytes message(236);
    message[0] = 2; // BOOTREPLY
    message[1] = 1;
    message[2] = 6;
    const Bytes options = {99,   130,  83, 99, 53, 1, 5,   3,   8,   10,  99,  0,
                           1,    10,   99, 0,  2,  1, 3,   255, 255, 255, 200, 2,
                           0xAB, 0xCD, 82, 5,  1,  9, 'a', 'b', 'c', 0,   0,   255};
    message.insert(message.end(), options.begin(), options.end());
    message.resize(300, 0);

    const std::vector<TsharkNode> dissected = Dissect({EthernetFrame(DhcpReplyDatagram(message))});
    ASSERT_EQ(dissected.size(), 1u);
    const std::vector<TsharkOption> read = DhcpOptions(dissected[0]);
    ASSERT_EQ(read.size(), 5u);

    EXPECT_EQ(read[0].m_nCode, 53);
    EXPECT_EQ(read[0].Texts("dhcp.option.dhcp"), std::vector<std::string>{"5"});

    EXPECT_EQ(read[1].m_nCode, 3);
    EXPECT_EQ(read[1].m_Value, (Bytes{10, 99, 0, 1, 10, 99, 0, 2}));
    EXPECT_EQ(read[1].Texts("dhcp.option.router"),
              (std::vector<std::string>{"10.99.0.1", "10.99.0.2"}));
    EXPECT_TRUE(read[1].m_Complaints.empty());

    EXPECT_EQ(read[2].m_nCode, 1);
    EXPECT_TRUE(read[2].m_Fields.empty());
    EXPECT_FALSE(read[2].m_Complaints.empty());

    EXPECT_EQ(read[3].m_nCode, 200);
    EXPECT_EQ(read[3].m_Value, (Bytes{0xAB, 0xCD}));
    EXPECT_TRUE(read[3].m_Fields.empty());
    EXPECT_TRUE(read[3].m_Complaints.empty());

    EXPECT_EQ(read[4].m_nCode, 82);
    EXPECT_EQ(read[4].Texts("dhcp.option.agent_information_option.suboption"),
              std::vector<std::string>{"1"});
    EXPECT_FALSE(read[4].m_Complaints.empty());
}

// tshark writes a name it cannot read as a text in angle brackets, and an
// exception marks the packet, not the option it stopped in.
TEST_F(TsharkOracle, TellsWhatItCouldNotRead)
{
    const auto ack = [](const Bytes& option)
    {
        Bytes message(236);
        message[0] = 2;
        const Bytes start = {99, 130, 83, 99, 53, 1, 5};
        message.insert(message.end(), start.begin(), start.end());
        message.insert(message.end(), option.begin(), option.end());
        message.push_back(255);
        message.resize(300, 0);
        return EthernetFrame(DhcpReplyDatagram(message));
    };
    const std::vector<TsharkNode> dissected =
        Dissect({ack({119, 2, 0xC0, 0x00}), ack({119, 3, 5, 'a', 'b'}), ack({119, 1, 0})});
    ASSERT_EQ(dissected.size(), 3u);
    const char* const kComplaint[] = {"<Name contains a pointer that loops>", "malformed packet",
                                      nullptr};
    for (std::size_t n = 0; n < dissected.size(); ++n)
    {
        SCOPED_TRACE(n);
        const std::vector<TsharkOption> read = DhcpOptions(dissected[n]);
        ASSERT_EQ(read.size(), 2u);
        EXPECT_TRUE(read[0].m_Complaints.empty());
        if (kComplaint[n] != nullptr)
            EXPECT_EQ(read[1].m_Complaints, std::vector<std::string>{kComplaint[n]});
        else
            EXPECT_TRUE(read[1].m_Complaints.empty());
    }
}

TEST_F(TsharkOracle, ReportsWhyItFailed)
{
    std::vector<TsharkNode> frames;
    std::string strError;
    EXPECT_FALSE(RunTshark(m_scratch.Path() + "/absent.pcap", {}, frames, strError));
    EXPECT_NE(strError.find("tshark failed"), std::string::npos) << strError;
    EXPECT_TRUE(frames.empty());
}
} // namespace
