#include "core/wire/networkd_lease.h"
#include "linux/networkd_lease_source.h"
#include "platform/bounded_file.h"
#include "tests/core/wire/lease_test_helpers.h"
#include "tests/linux/file_time_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/time.h>

namespace
{
class NetworkdSource : public CScratchDir
{
protected:
    int Read(Lease& lease, unsigned nIndex = 2)
    {
        LinuxPaths paths;
        paths.m_strRun = m_path.string();
        LeaseInterface iface;
        iface.m_strName = "vcli";
        iface.m_nIndex = nIndex;
        return MakeNetworkdLeaseSource(paths)->Read(iface, lease);
    }
    static constexpr const char* kLeaseFile = "systemd/netif/leases/2";
};

TEST_F(NetworkdSource, CapturedLeaseWithTheFileTimes)
{
    const auto path = Write(kLeaseFile, ReadSample("networkd-lease-2"));
    const timeval times[2] = {{1796795000, 0}, {1796795000, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_STREQ(MakeNetworkdLeaseSource(LinuxPaths())->Name(), "networkd");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    Lease parsed;
    ASSERT_EQ(ParseNetworkdLease(ReadSample("networkd-lease-2"), parsed), 0);
    EXPECT_EQ(lease.m_mapOptions, parsed.m_mapOptions);
    EXPECT_EQ(lease.m_tObtained, 1796795000);
    EXPECT_EQ(lease.m_tExpires, 1796795000 + 600);
}

TEST(NetworkdSourceTimes, AnyFileTimeGivesAnExpiry)
{
    const CFileTimeFolder folder;
    if (folder.Path().empty())
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    LinuxPaths paths;
    paths.m_strRun = folder.Path();
    LeaseInterface iface;
    iface.m_nIndex = 2;
    for (const FileTimeCase& time : kFileTimeCases)
    {
        ASSERT_TRUE(folder.Write("systemd/netif/leases/2", "ADDRESS=10.0.0.1\nLIFETIME=600\n",
                                 time.tModified))
            << time.pszWhat;
        Lease lease;
        ASSERT_EQ(MakeNetworkdLeaseSource(paths)->Read(iface, lease), 0) << time.pszWhat;
        EXPECT_EQ(lease.m_tObtained, time.tModified) << time.pszWhat;
        EXPECT_EQ(lease.m_tExpires, time.tExpires) << time.pszWhat;
    }
}

TEST_F(NetworkdSource, AnInfiniteLeaseHasNoExpiry)
{
    Write(kLeaseFile, "ADDRESS=10.0.0.1\nLIFETIME=4294967295\n");
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_TRUE(lease.m_tObtained);
    EXPECT_FALSE(lease.m_tExpires);
}

TEST_F(NetworkdSource, MissingRefusedAndEmptyFiles)
{
    Lease lease;
    EXPECT_EQ(Read(lease), ENOENT);
    EXPECT_EQ(Read(lease, 0), ENOENT);

    std::filesystem::create_directories(m_path / kLeaseFile);
    EXPECT_EQ(Read(lease), EISDIR);
    std::filesystem::remove(m_path / kLeaseFile);

    // networkd writes plain files; its directory is not root's.
    Write("elsewhere", "ADDRESS=10.0.0.1\n");
    std::filesystem::create_symlink(m_path / "elsewhere", m_path / kLeaseFile);
    EXPECT_EQ(Read(lease), ELOOP);
    std::filesystem::remove(m_path / kLeaseFile);

    Write(kLeaseFile, "ADDRESS=10.0.0.1\n" + std::string(kMaxFileBytes, '#'));
    EXPECT_EQ(Read(lease), EFBIG);

    Write(kLeaseFile, "");
    EXPECT_EQ(Read(lease), ENOENT);

    Write(kLeaseFile, "{\"Address\": ");
    EXPECT_EQ(Read(lease), EBADMSG);
}
} // namespace
