#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace
{
// A path of this process's own in the shared temporary folder: each test runs
// as its own process, and runs of the suite may overlap.
CString TempPath(const char* pszName)
{
#ifdef _WIN32
    const int nProcess = _getpid();
#else
    const int nProcess = static_cast<int>(getpid());
#endif
    return testing::TempDir() + "veyra-" + std::to_string(nProcess) + "-" + pszName;
}

// The file's bytes, read without any translation.
CString FileBytes(const CString& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return CString(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const CString& strPath)
{
    return std::ifstream(strPath).good();
}

TEST(TextFile, HoldsTheTextInTextModeAndReplacesWhatWasThere)
{
    const CString strPath = TempPath("text_file.txt");
    {
        std::ofstream previous(strPath, std::ios::binary);
        previous << CString(500, 'x');
    }
    // Each row's CR stays alone; only an LF inside a cell is a line end to the
    // platform's text mode.
    const CString strText = "DHCP Server\t10.0.0.1\t\rDomain Name\tcorp\nexample\t\r";
    CString strReason;
    ASSERT_TRUE(WriteTextFile(strPath, strText, strReason)) << strReason;
#ifdef _WIN32
    EXPECT_EQ(FileBytes(strPath), "DHCP Server\t10.0.0.1\t\rDomain Name\tcorp\r\nexample\t\r");
#else
    EXPECT_EQ(FileBytes(strPath), strText);
#endif
    ASSERT_TRUE(WriteTextFile(strPath, "", strReason));
    EXPECT_EQ(FileBytes(strPath), "");
    std::remove(strPath.c_str());
}

TEST(TextFile, PathThatCannotBeOpenedGivesTheSystemsReason)
{
    const CString strPath = TempPath("no_such_folder/report.txt");
    CString strReason;
    EXPECT_FALSE(WriteTextFile(strPath, "row\t\r", strReason));
    EXPECT_EQ(strReason, std::strerror(ENOENT));
    EXPECT_FALSE(Exists(strPath));
}

#ifndef _WIN32
// A full disk shows when the bytes go out, not when the file is opened.
TEST(TextFile, FullDiskIsAFailureWithItsReason)
{
    if (!Exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    CString strReason;
    EXPECT_FALSE(WriteTextFile("/dev/full", "DHCP Server\t10.0.0.1\t\r", strReason));
    EXPECT_EQ(strReason, std::strerror(ENOSPC));
}
#endif
} // namespace
