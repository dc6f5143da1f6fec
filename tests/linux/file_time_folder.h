// A scratch folder on tmpfs, which keeps any 64-bit modification time (ext4
// clamps them to 2446): the lease sources must survive whatever time their
// files have, since the files' owners set it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>

class CFileTimeFolder
{
public:
    CFileTimeFolder()
    {
        char szTemplate[] = "/dev/shm/veyra-times-XXXXXX";
        if (mkdtemp(szTemplate) != nullptr)
            m_strPath = szTemplate;
    }
    CFileTimeFolder(const CFileTimeFolder&) = delete;
    CFileTimeFolder& operator=(const CFileTimeFolder&) = delete;
    ~CFileTimeFolder()
    {
        std::error_code ignored;
        if (!m_strPath.empty())
            std::filesystem::remove_all(m_strPath, ignored);
    }

    // Empty when there is no tmpfs to make it on.
    const std::string& Path() const { return m_strPath; }

    // Writes the file below the folder with that modification time; false
    // when the time did not stick.
    bool Write(const std::string& strRelative, std::string_view bytes, std::int64_t tModified) const
    {
        const std::filesystem::path path = std::filesystem::path(m_strPath) / strRelative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const timespec times[2] = {{tModified, 0}, {tModified, 0}};
        struct stat status = {};
        return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0 &&
               stat(path.c_str(), &status) == 0 && status.st_mtime == tModified;
    }

private:
    std::string m_strPath;
};

// Modification times at the ends of 64-bit time, and the expiry
// a lease of kFileTimeLeaseSeconds written then has.
struct FileTimeCase
{
    const char* pszWhat;
    std::int64_t tModified;
    std::int64_t tExpires;
};

inline constexpr std::uint32_t kFileTimeLeaseSeconds = 600;
inline constexpr FileTimeCase kFileTimeCases[] = {
    {"far future: the expiry stops at the last moment",
     std::numeric_limits<std::int64_t>::max() - 100, std::numeric_limits<std::int64_t>::max()},
    {"before 1970", -5000000000, -5000000000 + kFileTimeLeaseSeconds},
};
