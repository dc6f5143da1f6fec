#include "testing/netns_pair.h"

#include "core/wire/hex_text.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// Runs a program found on PATH, its output discarded; true when it exits with 0.
bool RunQuietly(const std::vector<std::string>& command)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0)
    {
        const int nNull = open("/dev/null", O_WRONLY);
        dup2(nNull, STDOUT_FILENO);
        dup2(nNull, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& strArg : command)
            argv.push_back(const_cast<char*>(strArg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int nStatus = 0;
    return waitpid(child, &nStatus, 0) == child && WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

bool Running(const char* interfaceName)
{
    const CFileDescriptor udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq request{};
    std::strncpy(request.ifr_name, interfaceName, IFNAMSIZ - 1);
    return udp.IsOpen() && ioctl(udp.Get(), SIOCGIFFLAGS, &request) == 0 &&
           (request.ifr_flags & IFF_RUNNING) != 0;
}

// A fresh veth is running (has its carrier, which a census asks first) once
// the kernel's link watch has seen it: each link message is a time to look.
bool AwaitCarrier(const char* interfaceName)
{
    const CFileDescriptor link(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    sockaddr_nl groups{};
    groups.nl_family = AF_NETLINK;
    groups.nl_groups = RTMGRP_LINK;
    if (!link.IsOpen() ||
        bind(link.Get(), reinterpret_cast<const sockaddr*>(&groups), sizeof groups) != 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Running(interfaceName))
    {
        pollfd wait = {link.Get(), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        char message[8192];
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) != 1 ||
            recv(link.Get(), message, sizeof message, 0) < 0)
            return false;
    }
    return true;
}
} // namespace

CNetnsPair::CNetnsPair()
    : m_strServer("vyb-s-" + std::to_string(getpid())),
      m_strClient("vyb-c-" + std::to_string(getpid()))
{
    const std::uint8_t kServerMac[6] = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};
    const bool bMade =
        Run({"ip", "netns", "add", m_strServer}) && Run({"ip", "netns", "add", m_strClient}) &&
        Run({"ip", "-n", m_strServer, "link", "add", kServerInterface, "address",
             MacText(kServerMac, 6), "type", "veth", "peer", "name", kClientInterface, "address",
             MacText(kClientMac, 6), "netns", m_strClient}) &&
        Run({"ip", "-n", m_strServer, "address", "add", "10.77.0.1/24", "dev", kServerInterface}) &&
        Run({"ip", "-n", m_strClient, "address", "add", "10.77.0.2/24", "dev", kClientInterface}) &&
        Run({"ip", "-n", m_strServer, "link", "set", kServerInterface, "up"}) &&
        Run({"ip", "-n", m_strClient, "link", "set", kClientInterface, "up"}) &&
        Run({"ip", "-n", m_strServer, "link", "set", "lo", "up"}) &&
        Run({"ip", "-n", m_strClient, "link", "set", "lo", "up"});
    if (!bMade && m_strFailure.empty())
        m_strFailure = "the namespaces could not be made";
    if (bMade)
    {
        const CNetnsScope scope(m_strClient);
        if (!scope.Entered() || !AwaitCarrier(kClientInterface))
            m_strFailure = "the client's veth got no carrier";
    }
}

CNetnsPair::~CNetnsPair()
{
    // Deleting a namespace deletes the veth end in it, and with it the peer.
    RunQuietly({"ip", "netns", "delete", m_strClient});
    RunQuietly({"ip", "netns", "delete", m_strServer});
}

bool CNetnsPair::Run(const std::vector<std::string>& command)
{
    if (RunQuietly(command))
        return true;
    m_strFailure = "failed:";
    for (const std::string& strArg : command)
        m_strFailure += " " + strArg;
    return false;
}

CNetnsScope::CNetnsScope(const std::string& strNamespace)
    : m_home(open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC))
{
    const CFileDescriptor target(
        open(("/run/netns/" + strNamespace).c_str(), O_RDONLY | O_CLOEXEC));
    m_bEntered = m_home.IsOpen() && target.IsOpen() && setns(target.Get(), CLONE_NEWNET) == 0;
}

CNetnsScope::~CNetnsScope()
{
    if (m_bEntered)
        setns(m_home.Get(), CLONE_NEWNET);
}

CFileDescriptor HoldClientPort()
{
    CFileDescriptor holder(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    sockaddr_in port68{};
    port68.sin_family = AF_INET;
    port68.sin_port = htons(68);
    if (holder.IsOpen() &&
        bind(holder.Get(), reinterpret_cast<const sockaddr*>(&port68), sizeof port68) != 0)
        holder.Reset();
    return holder;
}

std::string NamespaceTestObstacle()
{
    if (geteuid() != 0)
        return "network namespaces need root";
    if (!ProgramOnPath("ip"))
        return "the ip command (iproute2) is missing";
    return std::string();
}

bool ProgramOnPath(const std::string& strProgram)
{
    const char* pszPath = std::getenv("PATH");
    std::string strDirectories = pszPath != nullptr ? pszPath : "/usr/sbin:/usr/bin:/sbin:/bin";
    std::size_t nStart = 0;
    while (nStart <= strDirectories.size())
    {
        std::size_t nEnd = strDirectories.find(':', nStart);
        if (nEnd == std::string::npos)
            nEnd = strDirectories.size();
        const std::string strFile = strDirectories.substr(nStart, nEnd - nStart) + "/" + strProgram;
        if (nEnd > nStart && access(strFile.c_str(), X_OK) == 0)
            return true;
        nStart = nEnd + 1;
    }
    return false;
}
