#include "linux/dhclient_lease_source.h"

#include "core/wire/dhclient_lease.h"
#include "platform/bounded_file.h"
#include "platform/directory_listing.h"

#include <cerrno>
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

// Keeps the first failure worth reporting: a missing directory or file only
// means there is no lease there.
void NoteFailure(int& nFailure, int nResult)
{
    if (nResult != ENOENT && nResult != ENOTDIR && nFailure == 0)
        nFailure = nResult;
}

// One of dhclient's directories, listed once for the source's run: every
// adapter's lease files are looked for in the same listing.
struct LeaseDirectory
{
    std::string m_strPath;
    bool m_bListed = false;
    int m_nListError = 0;
    std::vector<std::string> m_Names;
};

class CDhclientLeaseSource final : public CLeaseSource
{
public:
    explicit CDhclientLeaseSource(const LinuxPaths& paths) : m_strConf(paths.m_strDhclientConf)
    {
        const std::vector<std::string>& dirs = paths.m_DhclientDirs;
        for (const std::string& strDir : dirs)
        {
            LeaseDirectory dir;
            dir.m_strPath = strDir;
            m_Dirs.push_back(std::move(dir));
        }
    }

    const char* Name() const override { return "dhclient"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    // The lease file names for the interface in a directory, sorted, at most
    // kMaxLeaseFiles of them: 0 or the errno value of listing the directory.
    static int ListLeaseFiles(LeaseDirectory& dir, const std::string& strInterface,
                              std::vector<std::string>& names);

    // The declarations of dhclient.conf, read once for the source's run;
    // none where it cannot be read.
    const std::vector<DhclientDeclaration>& Declarations()
    {
        if (!m_bConfRead)
        {
            m_bConfRead = true;
            std::string text;
            std::int64_t tModified = 0;
            if (ReadBoundedFile(m_strConf, kMaxFileBytes, SymbolicLinks::Refuse, text, tModified) ==
                0)
                m_Declarations = ParseDhclientDeclarations(text);
        }
        return m_Declarations;
    }

    std::vector<LeaseDirectory> m_Dirs;
    std::string m_strConf;
    bool m_bConfRead = false;
    std::vector<DhclientDeclaration> m_Declarations;
};

int CDhclientLeaseSource::ListLeaseFiles(LeaseDirectory& dir, const std::string& strInterface,
                                         std::vector<std::string>& names)
{
    if (!dir.m_bListed)
    {
        dir.m_bListed = true;
        dir.m_nListError = ListDirectory(dir.m_strPath, kMaxDirectoryNames, dir.m_Names);
    }
    for (const std::string& strName : dir.m_Names)
    {
        if (names.size() == kMaxLeaseFiles)
            break;
        if (IsLeaseFileOf(strName, strInterface))
            names.push_back(strName);
    }
    return dir.m_nListError;
}

int CDhclientLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    int nFailure = 0;
    std::optional<std::int64_t> tNewest;
    for (LeaseDirectory& dir : m_Dirs)
    {
        const std::string& strDir = dir.m_strPath;
        std::vector<std::string> names;
        const int nListed = ListLeaseFiles(dir, iface.m_strName, names);
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
            if (ParseDhclientLeases(text, iface.m_strName, found, Declarations()) == 0 &&
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
    return std::make_unique<CDhclientLeaseSource>(paths);
}
