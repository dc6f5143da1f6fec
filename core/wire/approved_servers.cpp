#include "core/wire/approved_servers.h"

#include "core/wire/hex_digit.h"

#include <algorithm>

namespace
{
constexpr std::size_t kMacTextSize = 17;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}
} // namespace

bool ParseIpv4Text(std::string_view text, std::uint32_t& nAddress)
{
    nAddress = 0;
    std::size_t nAt = 0;
    for (int nPart = 0; nPart < 4; ++nPart)
    {
        if (nPart > 0 && (nAt >= text.size() || text[nAt++] != '.'))
            return false;
        std::uint32_t nValue = 0;
        std::size_t nDigits = 0;
        for (; nAt < text.size() && IsDigit(text[nAt]); ++nAt, ++nDigits)
        {
            nValue = nValue * 10 + static_cast<std::uint32_t>(text[nAt] - '0');
            if (nDigits == 3 || nValue > 255)
                return false;
        }
        if (nDigits == 0)
            return false;
        nAddress = nAddress << 8 | nValue;
    }
    return nAt == text.size();
}

bool ParseMacText(std::string_view text, HardwareAddress& address)
{
    if (text.size() != kMacTextSize)
        return false;
    for (std::size_t i = 0; i < address.size(); ++i)
    {
        const int nHigh = HexDigit(text[3 * i]);
        const int nLow = HexDigit(text[3 * i + 1]);
        if (nHigh < 0 || nLow < 0 || (i < 5 && text[3 * i + 2] != ':' && text[3 * i + 2] != '-'))
            return false;
        address[i] = static_cast<std::uint8_t>(nHigh << 4 | nLow);
    }
    return true;
}

std::optional<ApprovedServer> ParseApprovedServer(std::string_view text)
{
    ApprovedServer server;
    const std::size_t nAt = text.find('@');
    if (!ParseIpv4Text(text.substr(0, nAt), server.m_nServerId))
        return std::nullopt;
    if (nAt != std::string_view::npos)
    {
        HardwareAddress mac{};
        if (!ParseMacText(text.substr(nAt + 1), mac))
            return std::nullopt;
        server.m_Mac = mac;
    }
    return server;
}

std::size_t ParseApprovedServers(std::string_view text, std::vector<ApprovedServer>& list)
{
    std::size_t nLine = 0;
    std::size_t nEntries = 0;
    while (!text.empty())
    {
        ++nLine;
        const std::size_t nEnd = text.find('\n');
        std::string_view line = text.substr(0, nEnd);
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const std::optional<ApprovedServer> server = ParseApprovedServer(line);
        if (!server || ++nEntries > kMaxApprovedServers)
            return nLine;
        list.push_back(*server);
    }
    return 0;
}

bool IsApproved(const DiscoveredServer& server, const std::vector<ApprovedServer>& list)
{
    return server.serverId &&
           std::any_of(list.begin(), list.end(),
                       [&server](const ApprovedServer& approved)
                       {
                           return approved.m_nServerId == *server.serverId &&
                                  (!approved.m_Mac || *approved.m_Mac == server.path.mac);
                       });
}
