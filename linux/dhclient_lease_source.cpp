#include "linux/dhclient_lease_source.h"

#include "core/wire/dhclient_lease.h"
#include "platform/bounded_file.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace
{
// Most lease files read for one interface in one directory.
constexpr std::size_t kMaxLeaseFiles = 16;

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The names dhclient, its distributions' scripts and NetworkManager give the
// IPv4 lease files of an interface.
bool IsLeaseFileOf(std::string_view fileName, const std::string& strInterface)
{
    if (fileName == "dhclient.leases" || fileName == "dhclient." + strInterface + ".leases" ||
        fileName == "dhclient-" + strInterface + ".leases")
        return true;
    return fileName.substr(0, 9) == "dhclient-" &&
           (EndsWith(fileName, "-" + strInterface + ".lease") ||
            EndsWith(fileName, "-" + strInterface + ".leases"));
}

// The lease file names for the interface in a directory, sorted, at most
// kMaxLeaseFiles of them: 0 or the errno value of opening the directory.
int ListLeaseFiles(const std::string& strDir, const std::string& strInterface,
                   std::vector<std::string>& names)
{
    DIR* pDir = opendir(strDir.c_str());
    if (pDir == nullptr)
        return errno;
    while (const dirent* pEntry = readdir(pDir))
    {
        if (IsLeaseFileOf(pEntry->d_name, strInterface))
            names.emplace_back(pEntry->d_name);
    }
    closedir(pDir);
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxLeaseFiles)
        names.resize(kMaxLeaseFiles);
    return 0;
}

// Keeps the first failure worth reporting: a missing directory or file only
// means there is no lease there.
void NoteFailure(int& nFailure, int nResult)
{
    if (nResult != ENOENT && nResult != ENOTDIR && nFailure == 0)
        nFailure = nResult;
}

class CDhclientLeaseSource final : public CLeaseSource
{
public:
    explicit CDhclientLeaseSource(std::vector<std::string> dirs) : m_Dirs(std::move(dirs)) {}

    const char* Name() const override { return "dhclient"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    std::vector<std::string> m_Dirs;
};

int CDhclientLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    int nFailure = 0;
    std::optional<std::int64_t> tNewest;
    for (const std::string& strDir : m_Dirs)
    {
        std::vector<std::string> names;
        const int nListed = ListLeaseFiles(strDir, iface.m_strName, names);
        if (nListed != 0)
        {
            NoteFailure(nFailure, nListed);
            continue;
        }
        for (const std::string& strName : names)
        {
            std::string text;
            std::int64_t tModified = 0;
            const int nRead = ReadBoundedFile(strDir + "/" + strName, kMaxFileBytes,
                                              SymbolicLinks::Refuse, text, tModified);
            if (nRead != 0)
            {
                NoteFailure(nFailure, nRead);
                continue;
            }
            Lease found;
            if (ParseDhclientLeases(text, iface.m_strName, found) == 0 &&
                (!tNewest || tModified > *tNewest))
            {
                lease = std::move(found);
                tNewest = tModified;
            }
        }
    }
    if (tNewest)
        return 0;
    return nFailure != 0 ? nFailure : ENOENT;
}
} // namespace

std::unique_ptr<CLeaseSource> MakeDhclientLeaseSource(const LinuxPaths& paths)
{
    return std::make_unique<CDhclientLeaseSource>(paths.m_DhclientDirs);
}
