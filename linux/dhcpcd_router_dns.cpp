#include "linux/dhcpcd_router_dns.h"

#include "core/wire/dhcpcd_router_dns.h"
#include "linux/dhcpcd_control_socket.h"
#include "platform/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace
{
using Clock = std::chrono::steady_clock;

int WaitFor(int hSocket, short nEvents, Clock::time_point deadline)
{
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return ETIMEDOUT;
        pollfd poller = {hSocket, nEvents, 0};
        const int nReady = poll(&poller, 1, static_cast<int>(left.count()));
        if (nReady > 0)
            return 0;
        if (nReady < 0 && errno != EINTR)
            return errno;
    }
}

// Connects to the socket file named in the folder without following a link:
// the file is opened O_PATH and reached through /proc/self/fd.
int Connect(int hFolder, const std::string& strName, CFileDescriptor& socketFile)
{
    const CFileDescriptor path(openat(hFolder, strName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!path.IsOpen())
        return errno == ELOOP ? ENOENT : errno;
    struct stat status = {};
    if (fstat(path.Get(), &status) != 0)
        return errno;
    if (!S_ISSOCK(status.st_mode))
        return ENOENT;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string strThrough = "/proc/self/fd/" + std::to_string(path.Get());
    std::memcpy(address.sun_path, strThrough.c_str(), strThrough.size() + 1);
    socketFile.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socketFile.IsOpen())
        return errno;
    if (connect(socketFile.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errno == ECONNREFUSED ? ENOENT : errno; // left by a dhcpcd that has ended
    return 0;
}

// dhcpcd's own client asks with its command line: dump the IPv6 state.
int Query(int hSocket, const std::string& strInterface, Clock::time_point deadline,
          std::string& reply)
{
    std::string strRequest("dhcpcd\0-U\0-6\0", 13);
    strRequest += strInterface;
    strRequest += '\0';
    for (std::size_t nSent = 0; nSent < strRequest.size();)
    {
        if (const int nWait = WaitFor(hSocket, POLLOUT, deadline))
            return nWait;
        const ssize_t nWritten =
            send(hSocket, strRequest.data() + nSent, strRequest.size() - nSent, MSG_NOSIGNAL);
        if (nWritten < 0 && errno != EAGAIN && errno != EINTR)
            return errno;
        if (nWritten > 0)
            nSent += static_cast<std::size_t>(nWritten);
    }
    // dhcpcd keeps the connection open: only what the counts announce is read.
    reply.clear();
    std::vector<std::string_view> states;
    std::size_t nNeeded = 0;
    int nSplit = 0;
    while ((nSplit = SplitDhcpcdReply(reply, states, nNeeded)) == EAGAIN)
    {
        if (const int nWait = WaitFor(hSocket, POLLIN, deadline))
            return nWait;
        const std::size_t nHave = reply.size();
        reply.resize(nHave + nNeeded);
        const ssize_t nRead = recv(hSocket, reply.data() + nHave, nNeeded, 0);
        if (nRead == 0)
            return EBADMSG;
        if (nRead < 0 && errno != EAGAIN && errno != EINTR)
            return errno;
        reply.resize(nHave + static_cast<std::size_t>(std::max<ssize_t>(nRead, 0)));
    }
    return nSplit;
}
} // namespace

int ReadDhcpcdRouterDns(const std::string& strRun, const LeaseInterface& iface,
                        std::chrono::milliseconds timeout, RouterAdvertisements& learned)
{
    const std::string& strName = iface.m_strName;
    if (strName.empty() || strName.find_first_of(std::string_view("/\0", 2)) != std::string::npos ||
        strName == "." || strName == "..")
        return EINVAL;
    const auto deadline = Clock::now() + timeout;
    const CFileDescriptor folder(
        open((strRun + "/dhcpcd").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.IsOpen())
        return errno == ELOOP || errno == ENOTDIR ? ENOENT : errno;

    int nFailure = ENOENT;
    for (const std::string& strSocket : {strName + "-6.unpriv.sock", std::string("unpriv.sock")})
    {
        CFileDescriptor socketFile;
        std::string reply;
        int nResult = Connect(folder.Get(), strSocket, socketFile);
        if (nResult == 0)
            nResult = Query(socketFile.Get(), strName, deadline, reply);
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
