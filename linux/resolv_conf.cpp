#include "linux/resolv_conf.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <resolv.h>

namespace
{
constexpr char kBlanks[] = " \t\r";
} // namespace

std::vector<std::uint32_t> ResolvConfNameservers(const std::string& strText)
{
    std::vector<std::uint32_t> servers;
    for (std::size_t nLine = 0; nLine < strText.size() && servers.size() < MAXNS;)
    {
        std::size_t nEnd = strText.find('\n', nLine);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        const std::string strLine = strText.substr(nLine, nEnd - nLine);
        nLine = nEnd + 1;

        const std::size_t nKeyword = strLine.find_first_not_of(kBlanks);
        if (nKeyword == std::string::npos || strLine.compare(nKeyword, 10, "nameserver") != 0)
            continue;
        const std::size_t nAfter = nKeyword + 10;
        const std::size_t nValue = strLine.find_first_not_of(kBlanks, nAfter);
        if (nValue == nAfter || nValue == std::string::npos)
            continue; // "nameservers" or no value
        const std::size_t nValueEnd = strLine.find_first_of(std::string(kBlanks) + "#;", nValue);
        const std::string strValue = strLine.substr(nValue, nValueEnd - nValue);
        in_addr address{};
        if (strValue.find('\0') == std::string::npos &&
            inet_pton(AF_INET, strValue.c_str(), &address) == 1)
            servers.push_back(ntohl(address.s_addr));
    }
    return servers;
}
