// Reading a lease file another program wrote: whole, and only when it is a
// regular file of sane size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// No lease any client writes comes near this; anything larger is refused.
inline constexpr std::size_t kMaxLeaseFileBytes = 1024 * 1024;

// Reads the file into text and its modification time (seconds since 1970 UTC)
// into tModified: 0, or an errno value: ENOENT when it is missing, EISDIR for a
// directory, EINVAL for another file that is not regular (a FIFO is never
// waited on), EFBIG above kMaxLeaseFileBytes, or what open and read failed with.
int ReadLeaseFile(const std::string& strPath, std::string& text, std::int64_t& tModified);
