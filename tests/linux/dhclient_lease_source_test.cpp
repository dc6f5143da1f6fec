#include "linux/dhclient_lease_source.h"
#include "platform/bounded_file.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/time.h>

namespace
{
class DhclientSource : public CScratchDir
{
protected:
    int Read(Lease& lease, const std::string& strInterface = "vcli")
    {
        LinuxPaths paths;
        paths.m_DhclientDirs = {(m_path / "missing").string(), (m_path / "dhcp").string(),
                                (m_path / "dhclient").string()};
        paths.m_strDhclientConf = (m_path / "dhclient.conf").string();
        LeaseInterface iface;
        iface.m_strName = strInterface;
        return MakeDhclientLeaseSource(paths)->Read(iface, lease);
    }

    static void SetModified(const std::filesystem::path& path, time_t tModified)
    {
        const timeval times[2] = {{tModified, 0}, {tModified, 0}};
        ASSERT_EQ(utimes(path.c_str(), times), 0);
    }

    static std::string Block(const char* pszInterface, const char* pszAddress)
    {
        return std::string("lease {\n  interface \"") + pszInterface + "\";\n  fixed-address " +
               pszAddress + ";\n}\n";
    }
};

TEST_F(DhclientSource, NameAndNoFilesAtAll)
{
    LinuxPaths paths;
    EXPECT_STREQ(MakeDhclientLeaseSource(paths)->Name(), "dhclient");
    Lease lease;
    EXPECT_EQ(Read(lease), ENOENT);
}

TEST_F(DhclientSource, ReadsTheCapturedFile)
{
    Write("dhcp/dhclient.vcli.leases", ReadSample("dhclient.leases"));
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    EXPECT_EQ(lease.m_mapOptions.size(), 24u);
    EXPECT_EQ(Read(lease, "eth0"), ENOENT);
}

TEST_F(DhclientSource, TheNewestFileWithALeaseWins)
{
    SetModified(Write("dhcp/dhclient.leases", Block("vcli", "10.0.0.1")), 1000);
    SetModified(Write("dhclient/dhclient-0b5c-4d2e-vcli.lease", Block("vcli", "10.0.0.2")), 3000);
    SetModified(Write("dhcp/dhclient-vcli.leases", Block("vcli", "10.0.0.3")), 2000);
    // Newer still, but not a lease of this interface, or not dhclient's IPv4 file.
    SetModified(Write("dhcp/dhclient.eth0.leases", Block("vcli", "10.0.0.4")), 4000);
    SetModified(Write("dhcp/dhclient6.vcli.leases", Block("vcli", "10.0.0.5")), 4000);
    SetModified(Write("dhcp/dhclient.vcli.leases", Block("eth0", "10.0.0.6")), 4000);
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_nYourAddress, 0x0A000002u);
}

TEST_F(DhclientSource, RefusedFilesAreSkippedAndReportedWhenNothingElseIsFound)
{
    std::filesystem::create_directories(m_path / "dhcp" / "dhclient.vcli.leases");
    Lease lease;
    EXPECT_EQ(Read(lease), EISDIR);

    Write("dhclient/dhclient.leases", Block("vcli", "10.0.0.1") + std::string(kMaxFileBytes, '#'));
    EXPECT_EQ(Read(lease), EISDIR); // the first failure met

    std::filesystem::remove_all(m_path / "dhcp");
    EXPECT_EQ(Read(lease), EFBIG);

    Write("dhcp/dhclient-vcli.leases", Block("vcli", "10.0.0.7"));
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_nYourAddress, 0x0A000007u);
}

TEST_F(DhclientSource, ALinkIsNotFollowed)
{
    Write("elsewhere", Block("vcli", "10.0.0.1"));
    std::filesystem::create_directories(m_path / "dhcp");
    std::filesystem::create_symlink(m_path / "elsewhere", m_path / "dhcp" / "dhclient.leases");
    Lease lease;
    EXPECT_EQ(Read(lease), ELOOP);
}
// The names of dhclient.conf's declarations give their options; a
// configuration that is a link is not read, and its names stay unmapped.
TEST_F(DhclientSource, TheConfigurationsDeclarationsNameOptions)
{
    const std::string strLease = "lease { interface \"vcli\"; option site-url \"http://x/\"; }";
    Write("dhcp/dhclient.vcli.leases", strLease);
    Write("declared.conf", "option site-url code 224 = text;\n");
    for (const bool bLink : {false, true})
    {
        SCOPED_TRACE(bLink ? "a link" : "the file");
        std::filesystem::remove(m_path / "dhclient.conf");
        if (bLink)
            std::filesystem::create_symlink(m_path / "declared.conf", m_path / "dhclient.conf");
        else
            std::filesystem::copy_file(m_path / "declared.conf", m_path / "dhclient.conf");
        Lease lease;
        ASSERT_EQ(Read(lease), 0);
        EXPECT_EQ(lease.m_mapOptions.count(224), bLink ? 0u : 1u);
        EXPECT_EQ(lease.m_Unmapped.size(), bLink ? 1u : 0u);
    }
}
} // namespace
