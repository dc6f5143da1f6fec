// A directory of a test's own under the test temporary directory, removed
// with everything in it at the end.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class CScratchDirectory
{
public:
    CScratchDirectory()
    {
        std::string strTemplate = testing::TempDir() + "veyra-XXXXXX";
        std::vector<char> name(strTemplate.begin(), strTemplate.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) != nullptr)
            m_strPath = name.data();
    }
    CScratchDirectory(const CScratchDirectory&) = delete;
    CScratchDirectory& operator=(const CScratchDirectory&) = delete;
    ~CScratchDirectory()
    {
        std::error_code ignored;
        if (!m_strPath.empty())
            std::filesystem::remove_all(m_strPath, ignored);
    }

    // Empty when the directory could not be made.
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
