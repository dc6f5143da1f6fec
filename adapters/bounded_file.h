// Reading a small system file that may have been tampered with.
#pragma once

#include <cstddef>
#include <string>

// Files above this size are refused.
constexpr std::size_t kMaxBoundedFile = 1024 * 1024;

// Reads a regular file of at most kMaxBoundedFile bytes into strContent: 0,
// or an errno value (EFBIG for a larger file, EINVAL for anything but a
// regular file, so that a FIFO or a device is never read or waited on).
int ReadBoundedFile(const std::string& strPath, std::string& strContent);
