#include "linux/lease_memo.h"
#include "testing/fake_lease_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace
{
Lease LeaseOf(OptionMap options)
{
    Lease lease;
    lease.m_mapOptions = std::move(options);
    return lease;
}

const LeaseInterface kVcli{"vcli", 2, {0x0A630092}};
const LeaseInterface kWlan{"wlan0", 3, {0x0A630093}};

TEST(LeaseMemo, AsksTheSourceOncePerInterfaceAndRepeatsItsAnswer)
{
    auto pFake = std::make_unique<CFakeLeaseSource>("dhcpcd", 0, LeaseOf({{3, {10, 99, 0, 1}}}));
    CFakeLeaseSource& fake = *pFake;
    CLeaseMemo memo(std::move(pFake));
    EXPECT_STREQ("dhcpcd", memo.Name());
    for (int nRead = 0; nRead < 3; ++nRead)
    {
        Lease lease;
        ASSERT_EQ(0, memo.Read(kVcli, lease));
        EXPECT_EQ((OptionMap{{3, {10, 99, 0, 1}}}), lease.m_mapOptions);
    }
    Lease lease;
    ASSERT_EQ(0, memo.Read(kWlan, lease));
    EXPECT_EQ((std::map<std::string, int>{{"vcli", 1}, {"wlan0", 1}}), fake.ReadsByName());
}

TEST(LeaseMemo, AFailureIsAnAnswerToo)
{
    auto pFake = std::make_unique<CFakeLeaseSource>("NetworkManager", ETIMEDOUT);
    CFakeLeaseSource& fake = *pFake;
    CLeaseMemo memo(std::move(pFake));
    Lease lease;
    EXPECT_EQ(ETIMEDOUT, memo.Read(kVcli, lease));
    EXPECT_EQ(ETIMEDOUT, memo.Read(kVcli, lease));
    EXPECT_EQ(1, fake.m_nReads) << "a bus that did not answer is not waited for twice";
}

TEST(LeaseMemo, AnInterfaceWithoutAnIndexIsNeverTakenForAnother)
{
    auto pFake = std::make_unique<CFakeLeaseSource>("dhcpcd", 0, LeaseOf({{3, {10, 99, 0, 1}}}));
    CFakeLeaseSource& fake = *pFake;
    CLeaseMemo memo(std::move(pFake));
    Lease lease;
    EXPECT_EQ(0, memo.Read(LeaseInterface{"a", 0, {}}, lease));
    EXPECT_EQ(0, memo.Read(LeaseInterface{"b", 0, {}}, lease));
    EXPECT_EQ(2, fake.m_nReads);
    EXPECT_EQ("b", fake.m_strAskedFor);
}

// The listing reads every adapter's lease, then the request reads one again:
// each kept source answers each adapter once, and only the request asks the
// network.
class RunLeaseSourcesTest : public testing::Test
{
protected:
    RunLeaseSourcesTest()
    {
        std::vector<std::unique_ptr<CLeaseSource>> kept;
        kept.push_back(std::make_unique<CFakeLeaseSource>("dhcpcd", ENOENT));
        kept.push_back(std::make_unique<CFakeLeaseSource>(
            "networkd", 0, LeaseOf({{1, {255, 255, 255, 0}}, {3, {10, 99, 0, 1}}})));
        kept.push_back(std::make_unique<CFakeLeaseSource>("NetworkManager", EACCES));
        for (const auto& pSource : kept)
            m_Kept.push_back(static_cast<CFakeLeaseSource*>(pSource.get()));
        auto pAsking = std::make_unique<CFakeLeaseSource>(
            "inform", 0, LeaseOf({{3, {10, 99, 0, 9}}, {15, {'x'}}}));
        m_pAsking = pAsking.get();
        m_pSources = std::make_unique<CRunLeaseSources>(std::move(kept), std::move(pAsking));
    }

    void List()
    {
        for (const LeaseInterface& iface : {kVcli, kWlan})
        {
            Lease lease;
            ASSERT_EQ(0, m_pSources->Kept().Read(iface, lease));
        }
    }

    std::unique_ptr<CRunLeaseSources> m_pSources;
    std::vector<CFakeLeaseSource*> m_Kept;
    CFakeLeaseSource* m_pAsking = nullptr;
};

TEST_F(RunLeaseSourcesTest, ListingThenRequestingAsksEachSourceOncePerAdapter)
{
    List();
    Lease lease;
    ASSERT_EQ(0, m_pSources->Request(true).Read(kVcli, lease));
    EXPECT_EQ((OptionMap{{1, {255, 255, 255, 0}}, {3, {10, 99, 0, 1}}, {15, {'x'}}}),
              lease.m_mapOptions);
    EXPECT_EQ(
        (std::map<std::uint8_t, std::string>{{1, "networkd"}, {3, "networkd"}, {15, "inform"}}),
        lease.m_mapSources);
    for (const CFakeLeaseSource* pFake : m_Kept)
        EXPECT_EQ((std::map<std::string, int>{{"vcli", 1}, {"wlan0", 1}}), pFake->ReadsByName())
            << pFake->Name();
    EXPECT_EQ((std::map<std::string, int>{{"vcli", 1}}), m_pAsking->ReadsByName());
}

TEST_F(RunLeaseSourcesTest, OnlyARequestThatAsksReachesTheNetwork)
{
    List();
    Lease lease;
    ASSERT_EQ(0, m_pSources->Request(false).Read(kWlan, lease));
    EXPECT_EQ(0u, lease.m_mapOptions.count(15));
    EXPECT_EQ(0, m_pAsking->m_nReads);
    for (const CFakeLeaseSource* pFake : m_Kept)
        EXPECT_EQ(2, pFake->m_nReads) << pFake->Name();
}
} // namespace
