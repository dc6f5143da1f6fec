#include "core/wire/dhcpv6_discovery.h"

#include "core/options/dhcpv6_options.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kClientMac = {0x02, 0, 0x5e, 0x10, 0, 0x2a};

// The codes the Information-request has always left out of its Option
// Request: moving them into the table's marks must not change it.
TEST(SolicitRequestedOptions, LeaveOutWhatRfc8415ForbidsInAnOptionRequest)
{
    const std::uint16_t forbidden[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13,
                                       14, 15, 16, 18, 19, 20, 25, 26, 37, 38, 43, 44,
                                       45, 46, 47, 48, 53, 61, 62, 66, 68, 79, 80};
    std::vector<std::uint16_t> expected;
    for (const Dhcpv6Row& row : kDhcpv6Options)
    {
        if (std::find(std::begin(forbidden), std::end(forbidden), row.nCode) == std::end(forbidden))
            expected.push_back(row.nCode);
    }
    EXPECT_EQ(SolicitRequestedOptions(), expected);
    EXPECT_EQ(expected.size(), kDhcpv6Options.size() - std::size(forbidden));
}

TEST(Solicit, AsksWithDuidIdentityAssociationsAndOptionRequest)
{
    SolicitRequest request;
    request.transactionId = 0x12abcdef; // only 24 bits are sent
    request.clientDuid = MakeDuidLl(kClientMac);
    request.iaid = 7;
    const Bytes bytes = BuildSolicit(request);
    const std::optional<Dhcpv6Message> message = ParseDhcpv6Message(bytes.data(), bytes.size());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type, kDhcpv6Solicit);
    EXPECT_EQ(message->transactionId, 0xabcdefu);
    const Bytes association = {0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0}; // IAID, T1, T2
    std::vector<std::uint16_t> codes;
    for (const Dhcpv6Option& option : message->options)
        codes.push_back(option.code);
    EXPECT_EQ(codes, (std::vector<std::uint16_t>{1, 8, 3, 25, 6})); // no Rapid Commit
    EXPECT_EQ(message->options[0].data, (Bytes{0, 3, 0, 1, 0x02, 0, 0x5e, 0x10, 0, 0x2a}));
    EXPECT_EQ(message->options[1].data, (Bytes{0, 0}));
    EXPECT_EQ(message->options[2].data, association);
    EXPECT_EQ(message->options[3].data, association);
    EXPECT_EQ(message->options[4].data.size(), 2 * SolicitRequestedOptions().size());
}
} // namespace
