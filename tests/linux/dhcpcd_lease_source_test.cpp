#include "core/wire/bootp_message.h"
#include "linux/dhcpcd_lease_source.h"
#include "tests/core/wire/lease_test_helpers.h"
#include "tests/linux/file_time_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kLeasedAddress = 0x0A630092; // 10.99.0.146
constexpr std::int64_t kAckTime = 1796738587;        // the file's modification time
// Offsets into the captured lease.
constexpr std::size_t kOp = 0;
constexpr std::size_t kMessageTypeValue = 242; // option 53's one byte
constexpr std::size_t kLeaseTimeValue = 251;   // option 51's four bytes

class DhcpcdLeaseSource : public CScratchDir
{
protected:
    void SetUp() override
    {
        CScratchDir::SetUp();
        m_strDirectory = m_path.string();
        m_paths.m_strDhcpcd = m_strDirectory;
        // No dhcpcd control socket here: an unreadable file stays unreadable.
        m_paths.m_strRun = m_strDirectory;
        m_iface.m_strName = "vcli";
        m_iface.m_IpAddresses = {0x7F000001, kLeasedAddress};
    }

    std::string LeasePath(const char* pszFile = "vcli.lease") const
    {
        return m_strDirectory + "/" + pszFile;
    }

    void WriteLease(const Bytes& bytes, const char* pszFile = "vcli.lease",
                    std::int64_t tWritten = kAckTime) const
    {
        std::ofstream file(LeasePath(pszFile), std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.close();
        const timespec times[2] = {{tWritten, 0}, {tWritten, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, LeasePath(pszFile).c_str(), times, 0), 0);
    }

    int Read(Lease& lease) const { return MakeDhcpcdLeaseSource(m_paths)->Read(m_iface, lease); }

    int Read() const
    {
        Lease lease;
        return Read(lease);
    }

    std::string m_strDirectory;
    LinuxPaths m_paths;
    LeaseInterface m_iface;
};

TEST_F(DhcpcdLeaseSource, ReadsTheCapturedAck)
{
    const Bytes captured = ReadSampleBytes("dhcpcd-vcli.lease");
    WriteLease(captured);
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_mapOptions,
              ParseBootpMessage(captured.data(), captured.size())->m_mapOptions);
    EXPECT_EQ(lease.m_mapOptions.at(kOptionLeaseTime), (OptionBytes{0, 0, 0x02, 0x58}));
    EXPECT_EQ(lease.m_nYourAddress, kLeasedAddress);
    EXPECT_EQ(lease.m_tObtained, kAckTime);
    EXPECT_EQ(lease.m_tExpires, kAckTime + 600);
    EXPECT_TRUE(lease.m_mapSources.empty());
    EXPECT_STREQ(MakeDhcpcdLeaseSource(m_paths)->Name(), "dhcpcd");
}

TEST_F(DhcpcdLeaseSource, AnyFileTimeGivesAnExpiry)
{
    const CFileTimeFolder folder;
    if (folder.Path().empty())
        GTEST_SKIP() << "no tmpfs at /dev/shm";
    m_paths.m_strDhcpcd = folder.Path();
    const std::string captured = ReadSample("dhcpcd-vcli.lease");
    for (const FileTimeCase& time : kFileTimeCases)
    {
        ASSERT_TRUE(folder.Write("vcli.lease", captured, time.tModified)) << time.pszWhat;
        Lease lease;
        ASSERT_EQ(Read(lease), 0) << time.pszWhat;
        EXPECT_EQ(lease.m_tObtained, time.tModified) << time.pszWhat;
        EXPECT_EQ(lease.m_tExpires, time.tExpires) << time.pszWhat;
    }
}

TEST_F(DhcpcdLeaseSource, InfiniteLeaseHasNoExpiry)
{
    Bytes lease = ReadSampleBytes("dhcpcd-vcli.lease");
    std::fill_n(lease.begin() + kLeaseTimeValue, 4, 0xFF);
    WriteLease(lease);
    Lease read;
    ASSERT_EQ(Read(read), 0);
    EXPECT_EQ(read.m_tObtained, kAckTime);
    EXPECT_FALSE(read.m_tExpires);
}

TEST_F(DhcpcdLeaseSource, StaleOrMissingLeaseIsAbsent)
{
    EXPECT_EQ(Read(), ENOENT);

    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"));
    m_iface.m_IpAddresses = {0x0A630093}; // the interface has moved on
    EXPECT_EQ(Read(), ENOENT);
    m_iface.m_IpAddresses.clear();
    EXPECT_EQ(Read(), ENOENT);
}

// dhcpcd keeps a wireless interface's leases per network: <if>-<ssid>.lease.
TEST_F(DhcpcdLeaseSource, AWirelessInterfaceHasTheLeaseOfTheNetworkItIsOn)
{
    Bytes other = ReadSampleBytes("dhcpcd-vcli.lease");
    other[16 + 3] = 0x93; // yiaddr 10.99.0.147: a network the interface has left
    WriteLease(other, "vcli-cafe.lease", kAckTime + 100);
    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"), "vcli-home net.lease");
    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"), "vcli0.lease"); // another interface's

    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_nYourAddress, kLeasedAddress);
    EXPECT_EQ(lease.m_tObtained, kAckTime);

    // Two networks that gave the same address: the newer lease is the one in use.
    Bytes newer = ReadSampleBytes("dhcpcd-vcli.lease");
    newer[kLeaseTimeValue + 3] ^= 1;
    WriteLease(newer, "vcli-office.lease", kAckTime + 50);
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_tObtained, kAckTime + 50);
    EXPECT_EQ(lease.m_mapOptions.at(kOptionLeaseTime), (OptionBytes{0x00, 0x00, 0x02, 0x59}));
}

TEST_F(DhcpcdLeaseSource, OnlyARegularFileIsALease)
{
    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"));
    ASSERT_EQ(rename(LeasePath().c_str(), (m_strDirectory + "/real").c_str()), 0);

    ASSERT_EQ(symlink("real", LeasePath().c_str()), 0);
    EXPECT_EQ(Read(), ENOENT);
    ASSERT_EQ(unlink(LeasePath().c_str()), 0);

    ASSERT_EQ(mkdir(LeasePath().c_str(), 0700), 0);
    EXPECT_EQ(Read(), ENOENT);
    ASSERT_EQ(rmdir(LeasePath().c_str()), 0);

    // Opening a FIFO for reading would wait for a writer.
    ASSERT_EQ(mkfifo(LeasePath().c_str(), 0600), 0);
    EXPECT_EQ(Read(), ENOENT);
}

TEST_F(DhcpcdLeaseSource, NamesThatLeaveTheDirectoryAreRefused)
{
    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"));
    for (const char* pszName : {"", "../vcli", "x/../../vcli", "..", "a/b"})
    {
        m_iface.m_strName = pszName;
        EXPECT_EQ(Read(), EINVAL) << pszName;
    }
}

TEST_F(DhcpcdLeaseSource, OnlyADhcpAckOfBoundedSizeIsRead)
{
    Bytes nak = ReadSampleBytes("dhcpcd-vcli.lease");
    nak[kMessageTypeValue] = kDhcpNak;
    WriteLease(nak);
    EXPECT_EQ(Read(), EBADMSG);

    Bytes request = ReadSampleBytes("dhcpcd-vcli.lease");
    request[kOp] = kBootRequest;
    WriteLease(request);
    EXPECT_EQ(Read(), EBADMSG);

    WriteLease({'n', 'o', 't', ' ', 'a', ' ', 'l', 'e', 'a', 's', 'e'});
    EXPECT_EQ(Read(), EBADMSG);

    Bytes huge = ReadSampleBytes("dhcpcd-vcli.lease");
    huge.resize(kMaxBootpMessage + 1, 0);
    WriteLease(huge);
    EXPECT_EQ(Read(), EFBIG);
}

// dhcpcd keeps its leases for root. As root, a child that gives up root reads.
TEST_F(DhcpcdLeaseSource, UnreadableLeasePassesEaccesThrough)
{
    WriteLease(ReadSampleBytes("dhcpcd-vcli.lease"));
    ASSERT_EQ(chmod(LeasePath().c_str(), 0600), 0);
    ASSERT_EQ(chmod(m_strDirectory.c_str(), 0755), 0);
    if (geteuid() != 0)
    {
        ASSERT_EQ(chmod(LeasePath().c_str(), 0), 0);
        EXPECT_EQ(Read(), EACCES);
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        const uid_t nobody = 65534;
        if (setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
            _exit(255);
        _exit(Read());
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(child, &nStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), EACCES);
}
} // namespace
