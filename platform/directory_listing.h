// The names in a directory that another program keeps, read once and bounded.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// No lease directory Veyra reads comes near this.
inline constexpr std::size_t kMaxDirectoryNames = 65536;

// Fills names with the entries of the directory, without "." and "..", sorted
// bytewise: 0, or the errno of opening it (names is then empty). Past
// nMaxNames entries the rest are not read.
int ListDirectory(const std::string& strPath, std::size_t nMaxNames,
                  std::vector<std::string>& names);
