#include "linux/dhcpcd_router_dns.h"

#include "core/wire/dhcpcd_router_dns.h"
#include "linux/dhcpcd_control_socket.h"
#include "platform/file_descriptor.h"

#include <cerrno>
#include <string_view>
#include <vector>

#include <fcntl.h>

int ReadDhcpcdRouterDns(const std::string& strRun, const LeaseInterface& iface,
                        std::chrono::milliseconds timeout, RouterAdvertisements& learned)
{
    const std::string& strName = iface.m_strName;
    if (strName.empty() || strName.find('/') != std::string::npos ||
        strName.find("..") != std::string::npos)
        return EINVAL;
    // dhcpcd's folder is opened once, without following a link, and its
    // sockets are named through it.
    const CFileDescriptor folder(
        open((strRun + "/dhcpcd").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.IsOpen())
        return errno == ELOOP || errno == ENOTDIR ? ENOENT : errno;
    const std::string strFolder = "/proc/self/fd/" + std::to_string(folder.Get());

    int nFailure = ENOENT;
    for (const std::string& strSocket :
         {strFolder + "/" + strName + "-6.unpriv.sock", strFolder + "/unpriv.sock"})
    {
        std::string reply;
        int nResult = QueryDhcpcdState(strSocket, strName, timeout, reply, DhcpcdFamily::Ipv6);
        // A socket nobody listens on is left from a dhcpcd that has ended.
        if (nResult == ECONNREFUSED)
            nResult = ENOENT;
        if (nResult != 0)
        {
            if (nFailure == ENOENT)
                nFailure = nResult;
            continue;
        }
        std::vector<std::string_view> states;
        std::size_t nNeeded = 0;
        SplitDhcpcdReply(reply, states, nNeeded);
        bool bFound = false;
        for (const std::string_view state : states)
            bFound |= RouterDnsFromDhcpcdState(state, strName, learned.dnsServers,
                                               learned.searchDomains) == 0;
        if (bFound)
        {
            if (!learned.dnsServers.empty() || !learned.searchDomains.empty())
                learned.dnsSource = "dhcpcd";
            return 0;
        }
    }
    return nFailure;
}
