// Helpers of the lease-file suites: captured samples, option bytes from text,
// and a scratch directory that is removed whatever the test's outcome.
#pragma once

#include "core/model/lease.h"
#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

inline OptionBytes TextBytes(std::string_view text)
{
    return OptionBytes(text.begin(), text.end());
}

// A file of tests/data/linux-dhcp, whole.
inline std::string ReadSample(const std::string& strName)
{
    std::ifstream file(std::string(VEYRA_LINUX_DHCP_DATA) + "/" + strName, std::ios::binary);
    EXPECT_TRUE(file.good()) << strName;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The same, as the bytes a message or dhcpcd's lease holds.
inline std::vector<std::uint8_t> ReadSampleBytes(const std::string& strName)
{
    const std::string strText = ReadSample(strName);
    return std::vector<std::uint8_t>(strText.begin(), strText.end());
}

class CScratchDir : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_scratch.Path().empty());
        m_path = m_scratch.Path();
    }

    // Writes a file below the scratch directory, making its directories.
    std::filesystem::path Write(const std::string& strRelative, std::string_view text)
    {
        const std::filesystem::path path = m_path / strRelative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        return path;
    }

    CScratchDirectory m_scratch;
    std::filesystem::path m_path;
};
