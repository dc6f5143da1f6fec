// The captured Linux DHCP data of tests/data/linux-dhcp.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string SamplePath(const char* pszName)
{
    return std::string(VEYRA_LINUX_DHCP_DATA) + "/" + pszName;
}

// The file's bytes; empty when it cannot be read.
inline std::vector<std::uint8_t> ReadSample(const char* pszName)
{
    std::ifstream file(SamplePath(pszName), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>());
}
