#include "core/wire/probe_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(ProbeMessages, EachEventReadsBackWhatItWrites)
{
    ProbeMessage opened;
    opened.m_event = ProbeEvent::Opened;
    opened.m_strStatus = "CapEff:\t0000000000000000\nNoNewPrivs:\t1\n";
    ProbeMessage options;
    options.m_event = ProbeEvent::Options;
    options.m_mapOptions = {{0, {}}, {1, {255, 255, 255, 0}}, {255, {7}}};
    ProbeMessage end;
    end.m_nError = 110;
    end.m_nUnrelayed = 3;

    ProbeMessage census;
    census.m_event = ProbeEvent::Census;
    census.families = kCensusDhcpv6 | kCensusRouters;
    census.carrier = false;
    ProbeMessage probe;
    probe.m_event = ProbeEvent::Probe;
    probe.probe.vlan = kMaxVlanId;
    probe.probe.clientMac = HardwareAddress{0x02, 0, 0, 0, 0, 0x10};
    probe.probe.linkLocal = {0xfe, 0x80, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    probe.probe.transactionId = 0xFFFFFFFF;
    probe.probe.transactionId6 = 0xFFFFFF;
    probe.probe.clientDuid = std::vector<std::uint8_t>(kMaxProbeDuidBytes, 0xAB);
    ProbeMessage untaggedProbe = probe;
    untaggedProbe.probe.vlan.reset();
    ProbeMessage frame;
    frame.m_event = ProbeEvent::Frame;
    frame.m_Packet = {0x45, 0x00, 0xFF};
    frame.m_SourceMac = HardwareAddress{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    frame.m_bChecksumPending = true;
    frame.m_nMicroseconds = 1234;
    frame.vlan = 1;
    frame.etherType = 0x86DD;
    ProbeMessage untaggedFrame = frame;
    untaggedFrame.vlan.reset();
    untaggedFrame.etherType = 0x0800;

    for (const ProbeMessage& message :
         {opened, options, end, census, probe, untaggedProbe, frame, untaggedFrame})
    {
        const std::string strLine = FormatProbeMessage(message);
        ASSERT_EQ(strLine.back(), '\n');
        ASSERT_EQ(strLine.find('\n'), strLine.size() - 1) << strLine;
        const std::optional<ProbeMessage> read =
            ParseProbeMessage(std::string_view(strLine).substr(0, strLine.size() - 1));
        ASSERT_TRUE(read) << strLine;
        EXPECT_EQ(read->m_event, message.m_event);
        EXPECT_EQ(read->m_strStatus, message.m_strStatus);
        EXPECT_EQ(read->m_Packet, message.m_Packet);
        EXPECT_EQ(read->m_SourceMac, message.m_SourceMac);
        EXPECT_EQ(read->m_bChecksumPending, message.m_bChecksumPending);
        EXPECT_EQ(read->m_nMicroseconds, message.m_nMicroseconds);
        EXPECT_EQ(read->m_mapOptions, message.m_mapOptions);
        EXPECT_EQ(read->m_nError, message.m_nError);
        EXPECT_EQ(read->m_nUnrelayed, message.m_nUnrelayed);
        EXPECT_EQ(read->families, message.families);
        EXPECT_EQ(read->carrier, message.carrier);
        EXPECT_EQ(read->probe.vlan, message.probe.vlan);
        EXPECT_EQ(read->probe.clientMac, message.probe.clientMac);
        EXPECT_EQ(read->probe.linkLocal, message.probe.linkLocal);
        EXPECT_EQ(read->probe.transactionId, message.probe.transactionId);
        EXPECT_EQ(read->probe.transactionId6, message.probe.transactionId6);
        EXPECT_EQ(read->probe.clientDuid, message.probe.clientDuid);
        EXPECT_EQ(read->vlan, message.vlan);
        EXPECT_EQ(read->etherType, message.etherType);
    }
}

// Lines a broken or hostile helper could write: each must be refused whole.
const char* const kRefused[] = {
    "",
    "null",
    "[]",
    "{}",
    "{\"event\":\"end\",\"error\":0,\"unrelayed\":0",    // cut short
    "{\"event\":\"end\",\"error\":0,\"unrelayed\":0}{}", // two values
    "{\"event\":\"END\",\"error\":0,\"unrelayed\":0}",   // events are lower case
    "{\"event\":7,\"error\":0,\"unrelayed\":0}",
    // end: the errno is small and positive, and nothing else is there
    "{\"event\":\"end\",\"error\":-1,\"unrelayed\":0}",
    "{\"event\":\"end\",\"error\":4096,\"unrelayed\":0}",
    "{\"event\":\"end\",\"error\":1.5,\"unrelayed\":0}",
    "{\"event\":\"end\",\"error\":\"0\",\"unrelayed\":0}",
    "{\"event\":\"end\",\"error\":0}",
    "{\"event\":\"end\",\"error\":0,\"unrelayed\":0,\"more\":1}",
    // opened: the status alone, bounded
    "{\"event\":\"opened\"}",
    "{\"event\":\"opened\",\"status\":1}",
    "{\"event\":\"opened\",\"status\":\"\",\"xid\":1,\"mac\":\"02:00:00:00:00:01\"}",
    // packet: the DHCPv4-only discovery's relay is no event any more
    "{\"event\":\"packet\",\"data\":\"45\",\"source\":\"02:00:00:00:00:01\",\"pending\":false,"
    "\"us\":0}",
    // frame: whole bytes of hex, a time within the hour
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"450\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false,\"us\":0}",
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"4x\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false,\"us\":0}",
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"45\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":0,\"us\":0}",
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"45\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false,\"us\":3600000001}",
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"45\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false}",
    // options: decimal codes 0 to 255 without leading zeros, each once
    "{\"event\":\"options\",\"options\":{\"256\":\"00\"}}",
    "{\"event\":\"options\",\"options\":{\"01\":\"00\"}}",
    "{\"event\":\"options\",\"options\":{\"-1\":\"00\"}}",
    "{\"event\":\"options\",\"options\":{\"\":\"00\"}}",
    "{\"event\":\"options\",\"options\":{\"1\":\"0\"}}",
    "{\"event\":\"options\",\"options\":{\"1\":[0]}}",
    "{\"event\":\"options\",\"options\":[]}",
    // options6: options whole to the last byte
    "{\"event\":\"options6\",\"data\":\"001700\"}",     // a header cut short
    "{\"event\":\"options6\",\"data\":\"0017000220\"}", // data past the end
    "{\"event\":\"options6\",\"data\":\"00170000ff\"}", // a byte after the last
    "{\"event\":\"options6\",\"data\":\"0017000\"}",    // half a byte
    "{\"event\":\"options6\",\"data\":[0]}",
    "{\"event\":\"options6\"}",
    "{\"event\":\"options6\",\"data\":\"\",\"options\":{}}",
    // census: families 1 to 7, a carrier that is true or false
    "{\"event\":\"census\",\"families\":0,\"carrier\":true}",
    "{\"event\":\"census\",\"families\":8,\"carrier\":true}",
    "{\"event\":\"census\",\"families\":7,\"carrier\":1}",
    "{\"event\":\"census\",\"families\":7}",
    // probe: VLAN 1 to 4094 or none, 24-bit Solicit ids, 16-byte addresses, bounded DUIDs
    "{\"event\":\"probe\",\"vlan\":0,\"mac\":\"02:00:00:00:00:01\",\"xid\":1,\"xid6\":1,"
    "\"ll\":\"fe800000000000000000000000000001\",\"duid\":\"\"}",
    "{\"event\":\"probe\",\"vlan\":4095,\"mac\":\"02:00:00:00:00:01\",\"xid\":1,\"xid6\":1,"
    "\"ll\":\"fe800000000000000000000000000001\",\"duid\":\"\"}",
    "{\"event\":\"probe\",\"mac\":\"02:00:00:00:00:01\",\"xid\":1,\"xid6\":16777216,"
    "\"ll\":\"fe800000000000000000000000000001\",\"duid\":\"\"}",
    "{\"event\":\"probe\",\"mac\":\"02:00:00:00:00:01\",\"xid\":1,\"xid6\":1,"
    "\"ll\":\"fe8000000000000000000000000001\",\"duid\":\"\"}",
    "{\"event\":\"probe\",\"mac\":\"02:00:00:00:00:01\",\"xid\":1,\"xid6\":1,"
    "\"ll\":\"fe800000000000000000000000000001\"}",
    // frame: IPv4 or IPv6 only, with a packet's members
    "{\"event\":\"frame\",\"type\":2054,\"data\":\"45\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false,\"us\":0}",
    "{\"event\":\"frame\",\"vlan\":\"10\",\"type\":2048,\"data\":\"45\","
    "\"source\":\"02:00:00:00:00:01\",\"pending\":false,\"us\":0}",
    "{\"event\":\"frame\",\"data\":\"45\",\"source\":\"02:00:00:00:00:01\",\"pending\":false,"
    "\"us\":0}",
    "{\"event\":\"frame\",\"type\":2048,\"data\":\"45\",\"source\":\"02:00:00:00:00:01\","
    "\"pending\":false,\"us\":0,\"more\":1}",
};

// A Reply's options keep their order, their repeats and their empty data.
TEST(ProbeMessages, Options6ReadBackInTheirOrder)
{
    ProbeMessage options6;
    options6.m_event = ProbeEvent::Options6;
    options6.options6 = {{23, {0x20, 0x01, 0x0d, 0xb8}}, {14, {}}, {23, {1}}, {0xFFFF, {7, 8}}};
    const std::string line = FormatProbeMessage(options6);
    EXPECT_EQ(line, "{\"data\":\"0017000420010db8000e00000017000101ffff00020708\","
                    "\"event\":\"options6\"}\n");
    const std::optional<ProbeMessage> read =
        ParseProbeMessage(std::string_view(line).substr(0, line.size() - 1));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->m_event, ProbeEvent::Options6);
    ASSERT_EQ(read->options6.size(), options6.options6.size());
    for (std::size_t i = 0; i < options6.options6.size(); ++i)
    {
        EXPECT_EQ(read->options6[i].code, options6.options6[i].code) << i;
        EXPECT_EQ(read->options6[i].data, options6.options6[i].data) << i;
    }
    // As many options as the bound's bytes hold, all empty.
    std::string most = "{\"event\":\"options6\",\"data\":\"";
    for (std::size_t i = 0; i < kMaxProbeValueBytes / 4; ++i)
        most += "00170000";
    EXPECT_EQ(ParseProbeMessage(most + "\"}")->options6.size(), kMaxProbeValueBytes / 4);
    EXPECT_FALSE(ParseProbeMessage(most + "00170000\"}"));
}

TEST(ProbeMessages, RefusesWhatAHelperDoesNotWrite)
{
    for (const char* pszLine : kRefused)
        EXPECT_FALSE(ParseProbeMessage(pszLine)) << pszLine;
}

struct SizeCase
{
    std::size_t m_nHexDigits;
    bool m_bRead;
};

TEST(ProbeMessages, PacketsAndLinesAreBounded)
{
    const SizeCase cases[] = {
        {0, true},
        {2 * kMaxProbeValueBytes, true},
        {2 * kMaxProbeValueBytes + 2, false},
        {2 * kMaxProbeLine, false}, // past the line's own bound, before any parsing
    };
    for (const SizeCase& test : cases)
    {
        const std::string strLine =
            "{\"event\":\"frame\",\"type\":2048,\"data\":\"" + std::string(test.m_nHexDigits, 'a') +
            "\",\"source\":\"02:00:00:00:00:01\",\"pending\":false,\"us\":1}";
        EXPECT_EQ(ParseProbeMessage(strLine).has_value(), test.m_bRead) << test.m_nHexDigits;
    }
    // Deep nesting within the line's bound is refused, not recursed into.
    const std::string strDeep =
        std::string(kMaxProbeLine / 2, '[') + std::string(kMaxProbeLine / 2, ']');
    EXPECT_FALSE(ParseProbeMessage(strDeep));
}

TEST(ProbeMessages, VlanArgumentIsAListOrADash)
{
    using Vlans = std::vector<std::uint16_t>;
    const std::pair<const char*, std::optional<Vlans>> cases[] = {
        {"-", Vlans{}},       {"20,10-11", Vlans{10, 11, 20}}, {"", std::nullopt},
        {"- ", std::nullopt}, {"-,5", std::nullopt},           {"4095", std::nullopt},
    };
    for (const auto& [text, vlans] : cases)
        EXPECT_EQ(ParseProbeVlans(text), vlans) << text;
    EXPECT_EQ(ProbeVlanText({}), "-");
    EXPECT_EQ(ProbeVlanText({20, 10, 11}), "10-11,20");
}

TEST(ProbeMessages, MacTextIsSixColonedPairs)
{
    const HardwareAddress mac = {0x02, 0xAB, 0xCD, 0, 0x10, 0xFF};
    EXPECT_EQ(ProbeMacText(mac), "02:ab:cd:00:10:ff");
    EXPECT_EQ(ParseProbeMac("02:AB:cd:00:10:ff"), mac);
    for (const char* pszText : {"", "02:ab:cd:00:10", "02:ab:cd:00:10:ff:", "02ab:cd:00:10:ff:0",
                                "02:ab:cd:00:10:fg", "02 ab cd 00 10 ff"})
        EXPECT_FALSE(ParseProbeMac(pszText)) << pszText;
}
} // namespace
