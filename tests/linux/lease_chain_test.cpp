#include "linux/lease_chain.h"
#include "testing/fake_lease_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace
{
Lease LeaseOf(OptionMap options, std::uint32_t nAddress)
{
    Lease lease;
    lease.m_mapOptions = std::move(options);
    lease.m_nYourAddress = nAddress;
    lease.m_tObtained = 1000;
    lease.m_tExpires = 1600;
    return lease;
}

// Builds a chain of fake sources and keeps them for the checks.
struct Chain
{
    template <class... Sources> explicit Chain(Sources... sources) : fakes{sources...}
    {
        std::vector<CLeaseSource*> pointers;
        for (CFakeLeaseSource& fake : fakes)
            pointers.push_back(&fake);
        chain = std::make_unique<CLeaseChain>(std::move(pointers));
    }
    std::vector<CFakeLeaseSource> fakes;
    std::unique_ptr<CLeaseChain> chain;
};

const LeaseInterface kVcli{"vcli", 2, {0x0A630092}};

TEST(LeaseChain, EachOptionComesFromTheFirstSourceThatHasIt)
{
    Chain c(
        CFakeLeaseSource("dhcpcd", ENOENT),
        CFakeLeaseSource("networkd", 0, LeaseOf({{1, {255, 255, 255, 0}}, {6, {10, 99, 0, 1}}}, 1)),
        CFakeLeaseSource("dhclient", 0,
                         LeaseOf({{6, {10, 99, 0, 9}}, {43, {1, 2}}, {2, {0, 0, 14, 16}}}, 2)));
    Lease lease;
    ASSERT_EQ(0, c.chain->Read(kVcli, lease));
    EXPECT_EQ((OptionMap{
                  {1, {255, 255, 255, 0}}, {2, {0, 0, 14, 16}}, {6, {10, 99, 0, 1}}, {43, {1, 2}}}),
              lease.m_mapOptions);
    EXPECT_EQ((std::map<std::uint8_t, std::string>{
                  {1, "networkd"}, {2, "dhclient"}, {6, "networkd"}, {43, "dhclient"}}),
              lease.m_mapSources);
    // The address and times are those of the first source with a lease.
    EXPECT_EQ(1u, lease.m_nYourAddress);
    for (const CFakeLeaseSource& fake : c.fakes)
        EXPECT_EQ("vcli", fake.m_strAskedFor);
}

TEST(LeaseChain, ASourceThatCouldNotLookIsReportedOnlyWhenNoneHadALease)
{
    {
        Chain c(CFakeLeaseSource("dhcpcd", EACCES), CFakeLeaseSource("networkd", ENOENT));
        Lease lease;
        EXPECT_EQ(EACCES, c.chain->Read(kVcli, lease));
    }
    {
        Chain c(CFakeLeaseSource("dhcpcd", EACCES),
                CFakeLeaseSource("dhclient", 0, LeaseOf({{3, {10, 99, 0, 1}}}, 7)));
        Lease lease;
        EXPECT_EQ(0, c.chain->Read(kVcli, lease));
        EXPECT_EQ(1u, lease.m_mapOptions.size());
    }
    {
        Chain c(CFakeLeaseSource("dhcpcd", ENOENT), CFakeLeaseSource("networkd", ENOENT));
        Lease lease;
        lease.m_mapOptions[1] = {1};
        EXPECT_EQ(ENOENT, c.chain->Read(kVcli, lease));
        EXPECT_TRUE(lease.m_mapOptions.empty()) << "a failed read leaves no stale lease";
    }
}

TEST(LeaseChain, ALeaseWithoutOptionsStillCountsAsFound)
{
    Chain c(CFakeLeaseSource("dhcpcd", 0, LeaseOf({}, 5)));
    Lease lease;
    EXPECT_EQ(0, c.chain->Read(kVcli, lease));
    EXPECT_EQ(5u, lease.m_nYourAddress);
}
TEST(LeaseChain, EverySourcesAnswerIsKept)
{
    Chain c(CFakeLeaseSource("dhcpcd", EACCES),
            CFakeLeaseSource("dhclient", 0, LeaseOf({{3, {10, 99, 0, 1}}}, 7)),
            CFakeLeaseSource("inform", EPERM));
    Lease lease;
    ASSERT_EQ(0, c.chain->Read(kVcli, lease));
    EXPECT_EQ((std::map<std::string, int>{{"dhcpcd", EACCES}, {"dhclient", 0}, {"inform", EPERM}}),
              lease.m_mapAnswers);
    Chain none(CFakeLeaseSource("networkd", ENOENT), CFakeLeaseSource("inform", ETIMEDOUT));
    EXPECT_EQ(ETIMEDOUT, none.chain->Read(kVcli, lease));
    EXPECT_EQ((std::map<std::string, int>{{"networkd", ENOENT}, {"inform", ETIMEDOUT}}),
              lease.m_mapAnswers);
}

TEST(LeaseChain, UnmappedLinesAndCutOptionsFollowTheirSource)
{
    Lease socket = LeaseOf({{67, {'p', 'x', 'e'}}, {15, {'l', 'a', 'b'}}}, 1);
    socket.m_CutOptions = {67, 15};
    Lease file = LeaseOf({{15, {'c', 'o', 'r', 'p'}}, {252, {'w'}}}, 2);
    file.m_CutOptions = {252};
    file.m_Unmapped = {{"v6-only-preferred", 108, "soon", ""},
                       {"nds-servers", 85, "10.0.0.1 x", ""},
                       {"unknown-15", 15, "zz", ""}, // dhcpcd's option 15 came first
                       {"site-thing", std::nullopt, "1:2", ""}};
    Chain c(CFakeLeaseSource("dhcpcd", 0, socket), CFakeLeaseSource("dhclient", 0, file));
    Lease lease;
    ASSERT_EQ(0, c.chain->Read(kVcli, lease));
    EXPECT_EQ((std::set<std::uint8_t>{15, 67, 252}), lease.m_CutOptions);
    ASSERT_EQ(3u, lease.m_Unmapped.size());
    const char* kKept[] = {"v6-only-preferred", "nds-servers", "site-thing"};
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(kKept[i], lease.m_Unmapped[i].m_strName);
        EXPECT_EQ("dhclient", lease.m_Unmapped[i].m_strSource);
    }
}
} // namespace
