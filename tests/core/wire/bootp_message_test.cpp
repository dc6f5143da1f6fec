#include "core/wire/bootp_message.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kServerName = 44; // sname, 64 bytes
constexpr std::size_t kFile = 108;      // file, 128 bytes
constexpr std::uint8_t kOverloadFile = 1;
constexpr std::uint8_t kOverloadServerName = 2;

// A BOOTREPLY to 02:00:00:99:00:02 and the magic cookie, then the given
// option bytes.
Bytes Reply(const Bytes& options)
{
    Bytes wire = {
        2,                            // op: BOOTREPLY
        1,                            // htype: Ethernet
        6,                            // hlen
        0,                            // hops
        0x12, 0x34, 0x56, 0x78,       // xid
        0,    0,                      // secs
        0,    0,                      // flags
        10,   99,   0,    146,        // ciaddr
        10,   99,   0,    147,        // yiaddr
        10,   99,   0,    1,          // siaddr
        10,   99,   0,    254,        // giaddr
        2,    0,    0,    0x99, 0, 2, // chaddr, then 10 bytes of padding
    };
    wire.resize(kBootpHeaderSize); // chaddr's padding, sname, file
    wire.insert(wire.end(), {99, 130, 83, 99});
    wire.insert(wire.end(), options.begin(), options.end());
    return wire;
}

Bytes WithField(Bytes wire, std::size_t nOffset, const Bytes& field)
{
    std::copy(field.begin(), field.end(), wire.begin() + static_cast<std::ptrdiff_t>(nOffset));
    return wire;
}

std::optional<BootpMessage> Parse(const Bytes& wire)
{
    return ParseBootpMessage(wire.data(), wire.size());
}

TEST(BootpMessage, SizesAroundTheHeaderAndTheCap)
{
    const Bytes bare = Reply({});
    ASSERT_EQ(bare.size(), 240u);
    EXPECT_TRUE(Parse(bare)); // no options, no end option
    EXPECT_FALSE(ParseBootpMessage(bare.data(), 239));
    EXPECT_FALSE(ParseBootpMessage(bare.data(), kBootpHeaderSize));
    EXPECT_FALSE(ParseBootpMessage(nullptr, 0));

    Bytes largest = Reply({6, 4, 10, 99, 0, 1});
    largest.resize(kMaxBootpMessage, 0); // a run of pad options
    const auto message = Parse(largest);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_mapOptions.at(6), (OptionBytes{10, 99, 0, 1}));
    largest.push_back(0);
    EXPECT_FALSE(Parse(largest));
}

TEST(BootpMessage, RefusesAnotherCookie)
{
    Bytes wire = Reply({255});
    wire[kBootpHeaderSize + 3] = 98; // 99.130.83.98
    EXPECT_FALSE(Parse(wire));
}

TEST(BootpMessage, OptionRunningPastTheEndRefusesTheMessage)
{
    EXPECT_FALSE(Parse(Reply({3, 4, 10, 99, 0})));           // router, 4 bytes, 3 present
    EXPECT_FALSE(Parse(Reply({1, 4, 255, 255, 255, 0, 3}))); // a code without its length
    EXPECT_FALSE(Parse(Reply({12, 255, 'h'})));              // length 255, 1 present
}

TEST(BootpMessage, PadsZeroLengthsMissingEndAndTrailingBytes)
{
    const auto message = Parse(Reply({
        0, 0, 0,                // pads
        1, 4, 255, 255, 255, 0, // subnet mask
        0,                      // pad
        80, 0,                  // rapid commit: present, no data
        3, 4, 10, 99, 0, 1,     // router, and no end option
    }));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_mapOptions.size(), 3u);
    EXPECT_EQ(message->m_mapOptions.at(1), (OptionBytes{255, 255, 255, 0}));
    EXPECT_TRUE(message->m_mapOptions.at(80).empty());
    EXPECT_EQ(message->m_mapOptions.at(3), (OptionBytes{10, 99, 0, 1}));

    const auto ended = Parse(Reply({
        53, 1, 5,      // DHCPACK
        255,           // end
        3, 9, 1, 2, 3, // after the end: neither read nor checked
    }));
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->m_mapOptions.size(), 1u);
    EXPECT_EQ(MessageType(*ended), kDhcpAck);
}

TEST(BootpMessage, RepeatedCodesAreJoinedInOrder)
{
    const auto message = Parse(Reply({
        6,   4, 10, 99, 0, 1,   // DNS server, first part
        3,   4, 10, 99, 0, 254, // router
        6,   0,                 // DNS server, an empty part
        6,   4, 10, 99, 0, 2,   // DNS server, second part
        255,
    }));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_mapOptions.at(6), (OptionBytes{10, 99, 0, 1, 10, 99, 0, 2}));
    EXPECT_EQ(message->m_mapOptions.at(3), (OptionBytes{10, 99, 0, 254}));
}

TEST(BootpMessage, MessageTypeNeedsOneByte)
{
    EXPECT_EQ(MessageType(*Parse(Reply({255}))), 0);
    EXPECT_EQ(MessageType(*Parse(Reply({53, 2, 5, 5, 255}))), 0);
    EXPECT_EQ(MessageType(*Parse(Reply({53, 1, 6, 255}))), kDhcpNak);
}

TEST(BootpOverload, FileThenServerNameAfterTheOptionsField)
{
    const Bytes wire = WithField(WithField(Reply({
                                               52,
                                               1,
                                               3, // overload: file and sname
                                               15,
                                               3,
                                               'l',
                                               'a',
                                               'b', // domain, first part
                                               255,
                                           }),
                                           kFile,
                                           {
                                               15,
                                               3,
                                               '.',
                                               't',
                                               'e', // domain, second part
                                               3,
                                               4,
                                               10,
                                               99,
                                               0,
                                               1, // router
                                               255,
                                           }),
                                 kServerName,
                                 {
                                     15, 2, 's', 't', // domain, third part
                                     0, 0,            // pads, then no end option
                                 });
    const auto message = Parse(wire);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_mapOptions.at(15), TextBytes("lab.test"));
    EXPECT_EQ(message->m_mapOptions.at(3), (OptionBytes{10, 99, 0, 1}));
    EXPECT_EQ(message->m_mapOptions.count(kOptionOverload), 0u);
}

TEST(BootpOverload, EachValueReadsOnlyItsFields)
{
    const Bytes fileOption = {66, 2, 't', 'f', 255};   // TFTP server name in file
    const Bytes serverOption = {67, 2, 'p', 'x', 255}; // boot file name in sname
    for (const std::uint8_t nValue : {kOverloadFile, kOverloadServerName})
    {
        const Bytes wire = WithField(WithField(Reply({52, 1, nValue, 255}), kFile, fileOption),
                                     kServerName, serverOption);
        const auto message = Parse(wire);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->m_mapOptions.count(66), nValue == kOverloadFile ? 1u : 0u);
        EXPECT_EQ(message->m_mapOptions.count(67), nValue == kOverloadServerName ? 1u : 0u);
    }
}

TEST(BootpOverload, FieldsAreTextWithoutAValidOverload)
{
    const Bytes router = {3, 4, 10, 99, 0, 1, 255};
    for (const Bytes& options : {Bytes{255},              // none
                                 Bytes{52, 1, 0, 255},    // 0
                                 Bytes{52, 1, 4, 255},    // past 3
                                 Bytes{52, 2, 1, 1, 255}, // two bytes
                                 Bytes{52, 1, 1, 52, 1, 1, 255}})
    {
        const auto message = Parse(WithField(Reply(options), kFile, router));
        ASSERT_TRUE(message);
        EXPECT_TRUE(message->m_mapOptions.empty());
    }
}

TEST(BootpOverload, DamagedOrNestedFields)
{
    // A length running past file's last byte would read into the cookie.
    Bytes wire = Reply({52, 1, 1, 255});
    wire[kFile + 126] = 3; // router
    wire[kFile + 127] = 4; // 4 bytes, none left in file
    EXPECT_FALSE(Parse(wire));

    // An overload inside file does not open sname.
    const auto message = Parse(WithField(WithField(Reply({52, 1, 1, 255}), kFile, {52, 1, 3, 255}),
                                         kServerName, {3, 0, 255}));
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->m_mapOptions.empty());
}

TEST(BootpSamples, DhcpcdLeaseIsTheServersAck)
{
    const Bytes wire = ReadSampleBytes("dhcpcd-vcli.lease");
    ASSERT_EQ(wire.size(), 428u);
    const auto message = Parse(wire);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_nOp, kBootReply);
    EXPECT_EQ(message->m_nTransactionId, 0x4674E04Du);
    EXPECT_EQ(message->m_nYourAddress, 0x0A630092u); // 10.99.0.146
    EXPECT_EQ(message->m_nServerAddress, 0x0A630001u);
    const std::array<std::uint8_t, 16> chaddr = {2, 0, 0, 0x99, 0, 2};
    EXPECT_EQ(message->m_ClientHardware, chaddr);

    const OptionMap& options = message->m_mapOptions;
    EXPECT_EQ(MessageType(*message), kDhcpAck);
    EXPECT_EQ(options.at(54), (OptionBytes{10, 99, 0, 1}));
    EXPECT_EQ(options.at(51), (OptionBytes{0, 0, 0x02, 0x58})); // 600 s
    EXPECT_EQ(options.at(58), (OptionBytes{0, 0, 0x01, 0x2C})); // 300 s
    EXPECT_EQ(options.at(59), (OptionBytes{0, 0, 0x02, 0x0D})); // 525 s
    EXPECT_EQ(options.at(1), (OptionBytes{255, 255, 255, 0}));
    EXPECT_EQ(options.at(6), (OptionBytes{10, 99, 0, 1, 10, 99, 0, 2}));
    EXPECT_EQ(options.at(15), TextBytes("lab.test"));
    EXPECT_EQ(options.at(33), (OptionBytes{10, 99, 5, 0, 10, 99, 0, 1}));
    EXPECT_EQ(options.at(43), (OptionBytes{1, 4, 0xDE, 0xAD, 0xBE, 0xEF, 2, 3, 'a', 'b', 'c'}));
    // dnsmasq sends the TFTP server and boot file names with their NUL.
    EXPECT_EQ(options.at(66), TextBytes(std::string("tftp.lab.test") + '\0'));
    EXPECT_EQ(options.at(67), TextBytes(std::string("pxelinux.0") + '\0'));
    EXPECT_EQ(options.size(), 24u);
}

TEST(BootpSamples, InformRepliesOfThreeServers)
{
    const auto dnsmasq = Parse(ReadSampleBytes("inform-reply-dnsmasq.bin"));
    const auto kea = Parse(ReadSampleBytes("inform-reply-kea.bin"));
    const auto iscdhcpd = Parse(ReadSampleBytes("inform-reply-iscdhcpd.bin"));
    ASSERT_TRUE(dnsmasq && kea && iscdhcpd);
    for (const BootpMessage* pReply : {&*dnsmasq, &*kea, &*iscdhcpd})
    {
        EXPECT_EQ(pReply->m_nOp, kBootReply);
        EXPECT_EQ(MessageType(*pReply), kDhcpAck);
        EXPECT_EQ(pReply->m_nClientAddress, 0x0A630092u);
        EXPECT_EQ(pReply->m_nYourAddress, 0u); // an inform leases nothing
        EXPECT_EQ(pReply->m_mapOptions.at(3), (OptionBytes{10, 99, 0, 1}));
        EXPECT_EQ(pReply->m_mapOptions.count(58), 0u);
        EXPECT_EQ(pReply->m_mapOptions.count(59), 0u);
    }
    // Only dnsmasq sends the boot file name with its NUL.
    EXPECT_EQ(dnsmasq->m_mapOptions.at(67), TextBytes(std::string("pxelinux.0") + '\0'));
    EXPECT_EQ(kea->m_mapOptions.at(67), TextBytes("pxelinux.0"));
    EXPECT_EQ(iscdhcpd->m_mapOptions.at(67), TextBytes("pxelinux.0"));
    // dnsmasq still tells what is left of the lease it knows.
    EXPECT_EQ(dnsmasq->m_mapOptions.at(51), (OptionBytes{0, 0, 0x02, 0x14}));
    EXPECT_EQ(kea->m_mapOptions.count(51), 0u);
    EXPECT_EQ(iscdhcpd->m_mapOptions.count(51), 0u);
    // Kea leaves out the subnet mask and broadcast address, and echoes the client id.
    EXPECT_EQ(kea->m_mapOptions.count(1), 0u);
    EXPECT_EQ(kea->m_mapOptions.count(28), 0u);
    EXPECT_EQ(kea->m_mapOptions.at(61), (OptionBytes{1, 2, 0, 0, 0x99, 0, 2}));
    EXPECT_EQ(kea->m_mapOptions.at(2), (OptionBytes{0, 0, 0x0E, 0x10}));
    EXPECT_EQ(iscdhcpd->m_mapOptions.at(43),
              (OptionBytes{1, 4, 0xDE, 0xAD, 0xBE, 0xEF, 2, 3, 'a', 'b', 'c'}));
    EXPECT_EQ(iscdhcpd->m_mapOptions.at(66), TextBytes("tftp.lab.test"));
}

TEST(BootpWriter, WhatIsWrittenReadsBackTheSame)
{
    auto lease = Parse(ReadSampleBytes("dhcpcd-vcli.lease"));
    ASSERT_TRUE(lease);
    lease->flags = kBroadcastFlag;
    const Bytes written = SerializeBootpMessage(*lease);
    const auto again = Parse(written);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->m_mapOptions, lease->m_mapOptions);
    EXPECT_EQ(again->m_nTransactionId, lease->m_nTransactionId);
    EXPECT_EQ(again->flags, kBroadcastFlag);
    EXPECT_EQ(again->m_nYourAddress, lease->m_nYourAddress);
    EXPECT_EQ(again->m_ClientHardware, lease->m_ClientHardware);
}

TEST(BootpWriter, LongOptionsAreSplitAndShortMessagesPadded)
{
    BootpMessage message;
    message.m_nOp = kBootReply;
    message.m_mapOptions[119] = OptionBytes(600, 'a');
    message.m_mapOptions[80] = {};
    const Bytes wire = SerializeBootpMessage(message);
    const std::size_t nOptions = 240;
    EXPECT_EQ(wire[nOptions], 80);
    EXPECT_EQ(wire[nOptions + 1], 0);
    EXPECT_EQ(wire[nOptions + 2], 119);
    EXPECT_EQ(wire[nOptions + 3], 255);
    EXPECT_EQ(wire[nOptions + 4 + 255], 119);
    EXPECT_EQ(wire[nOptions + 4 + 255 + 1], 255);
    EXPECT_EQ(wire[nOptions + 2 + 2 * (2 + 255)], 119);
    EXPECT_EQ(wire[nOptions + 2 + 2 * (2 + 255) + 1], 90);
    EXPECT_EQ(wire.size(), nOptions + 2 + 3 * 2 + 600 + 1);
    EXPECT_EQ(Parse(wire)->m_mapOptions, message.m_mapOptions);

    EXPECT_EQ(SerializeBootpMessage(BootpMessage()).size(), kMinBootpMessage);
}

TEST(BootpWriter, InformRequestOnTheWire)
{
    InformRequest request;
    request.m_HardwareAddress = {2, 0, 0, 0x99, 0, 2};
    request.m_nTransactionId = 0xCAFEF00D;
    request.m_nClientAddress = 0x0A630092;
    request.m_RequestedOptions = {1, 3, 6};
    request.m_nMaxMessageSize = 1500;
    const Bytes wire = BuildInformRequest(request);

    Bytes expected = {
        1,                            // op: BOOTREQUEST
        1,                            // htype: Ethernet
        6,                            // hlen
        0,                            // hops
        0xCA, 0xFE, 0xF0, 0x0D,       // xid
        0,    0,                      // secs
        0,    0,                      // flags: no broadcast, the answer comes to ciaddr
        10,   99,   0,    146,        // ciaddr: the interface's address
        0,    0,    0,    0,          // yiaddr
        0,    0,    0,    0,          // siaddr
        0,    0,    0,    0,          // giaddr
        2,    0,    0,    0x99, 0, 2, // chaddr
    };
    expected.resize(kBootpHeaderSize);
    expected.insert(expected.end(),
                    {
                        99,  130, 83,   99,                     // magic cookie
                        53,  1,   8,                            // DHCPINFORM
                        55,  3,   1,    3,    6,                // parameter request list
                        57,  2,   0x05, 0xDC,                   // max message size 1500
                        61,  7,   1,    2,    0, 0, 0x99, 0, 2, // client id: type, MAC
                        255,                                    // end
                    });
    expected.resize(kMinBootpMessage, 0);
    EXPECT_EQ(wire, expected);
}

TEST(BootpWriter, HardwareAddressCutToChaddr)
{
    InformRequest request;
    request.m_HardwareAddress = Bytes(20, 0xAB);
    const auto message = Parse(BuildInformRequest(request));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->m_nHardwareLength, 16);
    EXPECT_EQ(message->m_mapOptions.at(61).size(), 17u);
}
} // namespace
