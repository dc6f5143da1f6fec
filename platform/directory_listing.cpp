#include "platform/directory_listing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>

int ListDirectory(const std::string& strPath, std::size_t nMaxNames,
                  std::vector<std::string>& names)
{
    names.clear();
    DIR* pDirectory = opendir(strPath.c_str());
    if (pDirectory == nullptr)
        return errno;
    while (names.size() < nMaxNames)
    {
        const dirent* pEntry = readdir(pDirectory);
        if (pEntry == nullptr)
            break;
        const std::string strName = pEntry->d_name;
        if (strName != "." && strName != "..")
            names.push_back(strName);
    }
    closedir(pDirectory);
    std::sort(names.begin(), names.end());
    return 0;
}
