// veyra-decode: decodes DHCP options given as text, one per line, with the
// program's own decoder.
//
//   input:  CODE HEX [HEX ...]     e.g. "6 0a000001 0a000002"
//   output: CODE<TAB>parameter<TAB>data
//
// Blank lines and lines starting with '#' are skipped. A malformed line is
// reported on standard error and the tool goes on; the exit status is then 1.
#include "core/options/option_decoder.h"
#include "core/wire/hex_digit.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace
{
bool ParseCode(const std::string& token, std::uint32_t& nCode)
{
    if (token.empty() || token.size() > 10)
        return false;
    std::uint64_t nValue = 0;
    for (const char c : token)
    {
        if (c < '0' || c > '9')
            return false;
        nValue = nValue * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (nValue > std::numeric_limits<std::uint32_t>::max())
        return false;
    nCode = static_cast<std::uint32_t>(nValue);
    return true;
}

// Parses one line; on failure returns false with the reason.
bool ParseLine(const std::string& line, std::uint32_t& nCode, std::vector<std::uint8_t>& data,
               std::string& reason)
{
    std::istringstream words(line);
    std::string token;
    words >> token;
    if (!ParseCode(token, nCode))
    {
        reason = "option code \"" + token + "\" is not a number from 0 to 4294967295";
        return false;
    }
    std::string hex;
    while (words >> token)
        hex += token;
    if (hex.empty())
    {
        reason = "no data bytes";
        return false;
    }
    if (hex.size() % 2 != 0)
    {
        reason = "odd number of hexadecimal digits";
        return false;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2)
    {
        const int nHigh = HexDigit(hex[i]);
        const int nLow = HexDigit(hex[i + 1]);
        if (nHigh < 0 || nLow < 0)
        {
            reason = "\"" + hex.substr(i, 2) + "\" is not a hexadecimal byte";
            return false;
        }
        data.push_back(static_cast<std::uint8_t>(nHigh * 16 + nLow));
    }
    return true;
}

bool IsSkipped(const std::string& line)
{
    for (const char c : line)
    {
        if (c == '#')
            return true;
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}
} // namespace

int main()
{
    int nStatus = 0;
    std::string line;
    for (long nLine = 1; std::getline(std::cin, line); ++nLine)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (IsSkipped(line))
            continue;
        std::uint32_t nCode = 0;
        std::vector<std::uint8_t> data;
        std::string reason;
        if (!ParseLine(line, nCode, data, reason))
        {
            std::cerr << "veyra-decode: line " << nLine << ": " << reason << '\n';
            nStatus = 1;
            continue;
        }
        DhcpOption option;
        DecodeOption(nCode, data.data(), data.size(), option);
        std::cout << option.m_nCode << '\t' << option.m_strParameter << '\t' << option.m_strData
                  << '\n';
    }
    return nStatus;
}
