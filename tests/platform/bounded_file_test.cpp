#include "platform/bounded_file.h"
#include "testing/faulty_file_reader.h"
#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace
{
class BoundedFile : public testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_scratch.Path().empty()); }

    std::string Write(const std::string& strName, const std::string& strContent) const
    {
        const std::string strPath = Path(strName);
        std::ofstream(strPath, std::ios::binary) << strContent;
        return strPath;
    }
    std::string Path(const std::string& strName) const { return m_scratch.Path() + "/" + strName; }

    int Read(const std::string& strName, std::size_t nMaxBytes,
             SymbolicLinks links = SymbolicLinks::Follow)
    {
        m_strContent = "stale";
        return ReadBoundedFile(Path(strName), nMaxBytes, links, m_strContent, m_tModified);
    }

    CScratchDirectory m_scratch;
    std::string m_strContent;
    std::int64_t m_tModified = 0;
};

TEST_F(BoundedFile, ReadsUpToTheLimitWithItsTimeAndRefusesMore)
{
    const std::string strPath = Write("limit", std::string("a\0b", 3));
    const timeval times[2] = {{1796795000, 0}, {1796795000, 0}};
    ASSERT_EQ(utimes(strPath.c_str(), times), 0);
    EXPECT_EQ(Read("limit", 3), 0);
    EXPECT_EQ(m_strContent, std::string("a\0b", 3));
    EXPECT_EQ(m_tModified, 1796795000);

    EXPECT_EQ(Read("limit", 2), EFBIG);
    EXPECT_TRUE(m_strContent.empty());

    Write("empty", "");
    EXPECT_EQ(Read("empty", 0), 0);
    EXPECT_TRUE(m_strContent.empty());
}

// A file bigger than its first read, as with sysfs files whose size says 4096.
TEST_F(BoundedFile, LargerFilesAreReadWhole)
{
    const std::string strLarge(kMaxFileBytes, 'x');
    Write("large", strLarge);
    EXPECT_EQ(Read("large", kMaxFileBytes), 0);
    EXPECT_EQ(m_strContent, strLarge);
    EXPECT_EQ(Read("large", kMaxFileBytes - 1), EFBIG);
}

// /proc reports a size of 0 for files that hold more than one read takes.
TEST(BoundedProcFile, TheSizeStatReportsIsNotTrusted)
{
    std::string strContent;
    ASSERT_EQ(ReadBoundedFile("/proc/self/smaps", kMaxFileBytes, SymbolicLinks::Follow, strContent),
              0);
    EXPECT_GT(strContent.size(), 4096u);
    EXPECT_EQ(strContent.back(), '\n');
    EXPECT_EQ(ReadBoundedFile("/proc/self/smaps", 5000, SymbolicLinks::Follow, strContent), EFBIG);
}

// What read(2) may do partway through a file: pass on fewer bytes than asked
// for, be interrupted by a signal, or fail.
TEST_F(BoundedFile, ShortInterruptedAndFailedReads)
{
    const std::string strText(10000, 'x');
    const std::string strPath = Write("faults", strText);
    struct Case
    {
        const char* pszFault;
        std::vector<FileReadStep> steps;
        int nResult;
    };
    const Case cases[] = {
        {"one byte at a time", std::vector<FileReadStep>(50, {1, 0}), 0},
        {"interrupted before any byte", {{0, EINTR}, {0, EINTR}}, 0},
        {"interrupted after a short read", {{7, 0}, {0, EINTR}, {3000, 0}}, 0},
        {"fails partway", {{4096, 0}, {0, EIO}}, EIO},
        {"fails at once", {{0, EACCES}}, EACCES},
    };
    for (const Case& c : cases)
    {
        CFaultyFileReader reader(c.steps);
        std::string strContent = "stale";
        std::int64_t tModified = 0;
        EXPECT_EQ(ReadBoundedFile(strPath, kMaxFileBytes, SymbolicLinks::Refuse, strContent,
                                  tModified, reader),
                  c.nResult)
            << c.pszFault;
        EXPECT_EQ(strContent, c.nResult == 0 ? strText : "") << c.pszFault;
        EXPECT_EQ(reader.StepsTaken(), c.steps.size()) << c.pszFault; // every fault was met
    }
}

TEST_F(BoundedFile, OnlyRegularFilesAreRead)
{
    EXPECT_EQ(Read("missing", kMaxFileBytes), ENOENT);
    ASSERT_EQ(mkdir(Path("directory").c_str(), 0700), 0);
    EXPECT_EQ(Read("directory", kMaxFileBytes), EISDIR);
    // Opening a FIFO for reading would wait for a writer.
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(Read("fifo", kMaxFileBytes), EINVAL);
    EXPECT_TRUE(m_strContent.empty());
    std::string strContent;
    EXPECT_EQ(ReadBoundedFile("/dev/zero", kMaxFileBytes, SymbolicLinks::Follow, strContent),
              EINVAL);
}

TEST_F(BoundedFile, SymbolicLinksAreFollowedOnlyWhenAllowed)
{
    Write("target", "text");
    ASSERT_EQ(symlink("target", Path("link").c_str()), 0);
    EXPECT_EQ(Read("link", kMaxFileBytes), 0);
    EXPECT_EQ(m_strContent, "text");
    EXPECT_EQ(Read("link", kMaxFileBytes, SymbolicLinks::Refuse), ELOOP);
    EXPECT_TRUE(m_strContent.empty());
    EXPECT_EQ(Read("target", kMaxFileBytes, SymbolicLinks::Refuse), 0);
}
} // namespace
