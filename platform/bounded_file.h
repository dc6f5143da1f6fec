// Reading a whole file that another program wrote and may have tampered with:
// only a regular file, only up to a size the caller names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/types.h>

// No lease or system file Veyra reads comes near this.
inline constexpr std::size_t kMaxFileBytes = 1024 * 1024;

// Whether a symbolic link at the path itself is followed. Lease directories
// belong to the DHCP clients (networkd and a privilege-separated dhcpcd run
// unprivileged), so a link there could point us, running as root, at any file
// on the system: lease readers refuse them. System files such as
// /etc/resolv.conf are links by design.
enum class SymbolicLinks
{
    Follow,
    Refuse
};

// The read(2) of the reader, behind a seam so that a test can make it fail or
// return short counts partway through a file.
class CFileReader
{
public:
    virtual ~CFileReader() = default;
    virtual ssize_t Read(int hFile, void* pBuffer, std::size_t nBytes) = 0;
};

// The system's own read(2).
CFileReader& SystemFileReader();

// Reads the file at strPath into strContent and its modification time
// (seconds since 1970 UTC) into tModified: 0, or an errno value: ENOENT when it
// is missing, ELOOP for a refused link, EISDIR for a directory, EINVAL for
// another file that is not regular (a FIFO is never waited on), EFBIG above
// nMaxBytes, or what open and read failed with (a read interrupted by a
// signal is resumed). strContent is empty on failure.
int ReadBoundedFile(const std::string& strPath, std::size_t nMaxBytes, SymbolicLinks links,
                    std::string& strContent, std::int64_t& tModified,
                    CFileReader& reader = SystemFileReader());

// The same, for a caller with no use for the time.
int ReadBoundedFile(const std::string& strPath, std::size_t nMaxBytes, SymbolicLinks links,
                    std::string& strContent);
