// Kea's Reply to veyra-probe's Information-request, carrying every option
// Kea can send (captured by tests/linux/inform6_netns.sh): Veyra's typed
// values equal Wireshark's for the same bytes. Skipped without tshark.
#include "testing/dhcpv6_oracle.h"
#include "testing/tshark_oracle.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(Inform6Oracle, KeaReplyTypedValuesEqualTsharks)
{
    if (const std::string obstacle = TsharkObstacle(); !obstacle.empty())
        GTEST_SKIP() << obstacle;
    Dhcpv6Comparison comparison;
    std::string error;
    ASSERT_TRUE(CompareDhcpv6WithTshark(
        std::string(VEYRA_LINUX_DHCP_DATA) + "/inform6-kea-reply.pcap", comparison, error))
        << error;
    // The Information-request's 3 options and the Reply's 35.
    EXPECT_EQ(comparison.messages, 2u);
    EXPECT_GE(comparison.options, 38u);
    EXPECT_GE(comparison.leaves, 44u); // as measured with the catalogue of 2026-12-10
    for (const Dhcpv6Difference& difference : comparison.differences)
        ADD_FAILURE() << "frame " << difference.frame << ", " << difference.where << ": Veyra "
                      << difference.veyra << ", tshark " << difference.tshark;
}
} // namespace
