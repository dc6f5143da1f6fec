#include "linux/dhclient_lease6_source.h"

#include "core/wire/dhclient6_lease.h"
#include "platform/bounded_file.h"
#include "platform/directory_listing.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace
{
// Most lease files read for one interface in one directory.
constexpr std::size_t kMaxLeaseFiles = 16;

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool IsLease6FileOf(std::string_view fileName, const std::string& iface)
{
    if (fileName == "dhclient6.leases" || fileName == "dhclient6." + iface + ".leases" ||
        fileName == "dhclient6-" + iface + ".leases")
        return true;
    return fileName.substr(0, 10) == "dhclient6-" && (EndsWith(fileName, "-" + iface + ".lease") ||
                                                      EndsWith(fileName, "-" + iface + ".leases"));
}

// A missing directory or file only means there is no lease there.
void NoteFailure(int& failure, int result)
{
    if (result != ENOENT && result != ENOTDIR && failure == 0)
        failure = result;
}

// One of dhclient's directories, listed once for the source's run.
struct LeaseDirectory
{
    std::string path;
    bool listed = false;
    int listError = 0;
    std::vector<std::string> names;
};

class DhclientLease6Source final : public Lease6Source
{
public:
    explicit DhclientLease6Source(const LinuxPaths& paths)
    {
        for (const std::string& dir : paths.m_DhclientDirs)
            m_dirs.push_back({dir, false, 0, {}});
    }

    const char* Name() const override { return "dhclient"; }

    int Read(const LeaseInterface& iface, Lease6& lease) override
    {
        int failure = 0;
        std::optional<std::int64_t> newest;
        for (LeaseDirectory& dir : m_dirs)
        {
            if (!dir.listed)
            {
                dir.listed = true;
                dir.listError = ListDirectory(dir.path, kMaxDirectoryNames, dir.names);
            }
            if (dir.listError != 0)
            {
                NoteFailure(failure, dir.listError);
                continue;
            }
            std::size_t files = 0;
            for (const std::string& name : dir.names)
            {
                if (files == kMaxLeaseFiles)
                    break;
                if (!IsLease6FileOf(name, iface.m_strName))
                    continue;
                ++files;
                std::string text;
                std::int64_t modified = 0;
                const int read = ReadBoundedFile(dir.path + "/" + name, kMaxFileBytes,
                                                 SymbolicLinks::Refuse, text, modified);
                if (read != 0)
                {
                    NoteFailure(failure, read);
                    continue;
                }
                Lease6 found;
                if (ParseDhclient6Leases(text, iface.m_strName, found) == 0 &&
                    (!newest || modified > *newest))
                {
                    lease = std::move(found);
                    newest = modified;
                }
            }
        }
        if (newest)
            return 0;
        return failure != 0 ? failure : ENOENT;
    }

private:
    std::vector<LeaseDirectory> m_dirs;
};
} // namespace

std::unique_ptr<Lease6Source> MakeDhclientLease6Source(const LinuxPaths& paths)
{
    return std::make_unique<DhclientLease6Source>(paths);
}
