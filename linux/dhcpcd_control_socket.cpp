#include "linux/dhcpcd_control_socket.h"

#include "core/wire/option_text.h"
#include "core/wire/option_value.h"
#include "linux/dhcpcd_state6.h"
#include "platform/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace
{
constexpr std::string_view kNewPrefix = "new_";
constexpr std::string_view kAddressName = "ip_address";

// The options dhcpcd 9 defines as "string" (dhcpcd -V), by its names. It
// passes their bytes on unescaped, control bytes and all, but only up to the
// first NUL or byte above 0x7F: whether anything followed, the socket does
// not say.
constexpr std::pair<std::string_view, std::uint8_t> kDhcpcdStrings[] = {
    {"merit_dump", 14},
    {"root_path", 17},
    {"extensions_path", 18},
    {"nis_domain", 40},
    {"netbios_scope", 47},
    {"dhcp_message", 56},
    {"vendor_class_identifier", 60},
    {"nisplus_domain", 64},
    {"bootfile_name", 67},
    {"uap_servers", 98},
    {"posix_timezone", 100},
    {"tzdb_timezone", 101},
    {"mudurl", 161},
    {"config_file", 209},
    {"path_prefix", 210},
    {"wpad_url", 252},
};

std::optional<std::uint8_t> DhcpcdStringCode(std::string_view name)
{
    for (const auto& [stringName, nCode] : kDhcpcdStrings)
    {
        if (name == stringName)
            return nCode;
    }
    return std::nullopt;
}

// Reads one size_t, as dhcpcd writes it, from the front of bytes.
std::size_t ReadHostSize(std::string_view bytes)
{
    std::size_t nValue = 0;
    std::memcpy(&nValue, bytes.data(), sizeof nValue);
    return nValue;
}

// Opens the socket's path without following a link (connect(2) would follow
// one, and the folder belongs to dhcpcd, which may run unprivileged) and
// checks that it is a socket; connecting through /proc/self/fd then reaches
// that very file, whatever the path names by then.
int OpenSocketPath(const std::string& strSocket, CFileDescriptor& path)
{
    path.Reset(open(strSocket.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!path.IsOpen())
        return errno;
    struct stat status = {};
    if (fstat(path.Get(), &status) != 0)
        return errno;
    if (S_ISLNK(status.st_mode))
        return ELOOP;
    return S_ISSOCK(status.st_mode) ? 0 : ENOTSOCK;
}

// Waits for the socket to be ready for events until the deadline.
int WaitFor(int hSocket, short nEvents, std::chrono::steady_clock::time_point deadline)
{
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
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
} // namespace

int SplitDhcpcdReply(std::string_view reply, std::vector<std::string_view>& states,
                     std::size_t& nNeeded)
{
    constexpr std::size_t kSize = sizeof(std::size_t);
    states.clear();
    if (reply.size() < kSize)
    {
        nNeeded = kSize - reply.size();
        return EAGAIN;
    }
    const std::size_t nCount = ReadHostSize(reply);
    if (nCount > kMaxDhcpcdStates)
        return EBADMSG;
    std::size_t nOffset = kSize;
    for (std::size_t nState = 0; nState < nCount; ++nState)
    {
        if (reply.size() - nOffset < kSize)
        {
            nNeeded = kSize - (reply.size() - nOffset);
            return EAGAIN;
        }
        const std::size_t nLength = ReadHostSize(reply.substr(nOffset));
        if (nLength > kMaxDhcpcdStateBytes)
        {
            states.clear();
            return EBADMSG;
        }
        nOffset += kSize;
        if (reply.size() - nOffset < nLength)
        {
            nNeeded = nLength - (reply.size() - nOffset);
            return EAGAIN;
        }
        states.push_back(reply.substr(nOffset, nLength));
        nOffset += nLength;
    }
    nNeeded = 0;
    return 0;
}

int SplitDhcpcdVariables(std::string_view state, std::vector<std::string_view>& variables)
{
    variables.clear();
    if (state.empty() || state.back() != '\0')
        return EBADMSG;
    for (std::size_t start = 0; start < state.size();)
    {
        const std::size_t end = state.find('\0', start);
        const std::string_view variable = state.substr(start, end - start);
        if (variable.find('=') == std::string_view::npos)
            return EBADMSG;
        variables.push_back(variable);
        start = end + 1;
    }
    return 0;
}

std::optional<std::string_view> DhcpcdVariable(const std::vector<std::string_view>& variables,
                                               std::string_view name)
{
    for (const std::string_view variable : variables)
        if (variable.size() > name.size() && variable[name.size()] == '=' &&
            variable.substr(0, name.size()) == name)
            return variable.substr(name.size() + 1);
    return std::nullopt;
}

int LeaseFromDhcpcdState(std::string_view state, std::string_view interfaceName, Lease& lease)
{
    std::vector<std::string_view> variables;
    if (SplitDhcpcdVariables(state, variables) != 0)
        return EBADMSG;
    if (DhcpcdVariable(variables, "interface") != interfaceName ||
        DhcpcdVariable(variables, "protocol") != std::string_view("dhcp"))
        return ENOENT;

    Lease found;
    for (const std::string_view variable : variables)
    {
        if (variable.substr(0, kNewPrefix.size()) != kNewPrefix)
            continue;
        const std::size_t nEquals = variable.find('=');
        const std::string_view name =
            variable.substr(kNewPrefix.size(), nEquals - kNewPrefix.size());
        const std::string_view value = variable.substr(nEquals + 1);
        if (name == kAddressName)
        {
            found.m_nYourAddress = ParseAddressText(value);
            continue;
        }
        std::string strDhclientName(name);
        std::replace(strDhclientName.begin(), strDhclientName.end(), '_', '-');
        const std::optional<std::uint8_t> nString = DhcpcdStringCode(name);
        const std::optional<std::uint8_t> nCode =
            nString ? nString : OptionTextCode(strDhclientName);
        if (!nCode)
            continue; // dhcpcd's own variables
        // dhcpcd empties a text whose first byte it will not print: the
        // option came, its bytes did not.
        if (nString || value.empty())
        {
            found.m_mapOptions.insert_or_assign(*nCode, OptionBytes(value.begin(), value.end()));
            found.m_CutOptions.insert(*nCode);
            continue;
        }
        auto option = EncodeOptionText(strDhclientName, value);
        // dhcpcd writes a flag (ip_forwarding, all_subnets_local ...) as 0 or 1.
        if (!option && (value == "0" || value == "1"))
            option = EncodeOptionText(strDhclientName, value == "1" ? "true" : "false");
        if (option)
            found.m_mapOptions.insert_or_assign(option->first, std::move(option->second));
    }
    if (!found.m_nYourAddress)
        return ENOENT;
    lease = std::move(found);
    return 0;
}

int QueryDhcpcdState(const std::string& strSocket, const std::string& strInterface,
                     std::chrono::milliseconds timeout, std::string& reply, DhcpcdFamily family)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (strInterface.empty() || strInterface.find('\0') != std::string::npos)
        return EINVAL;
    CFileDescriptor path;
    if (const int nOpen = OpenSocketPath(strSocket, path))
        return nOpen;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string strThrough = "/proc/self/fd/" + std::to_string(path.Get());
    std::memcpy(address.sun_path, strThrough.c_str(), strThrough.size() + 1);

    const CFileDescriptor socketFile(
        socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socketFile.IsOpen())
        return errno;
    const int hSocket = socketFile.Get();
    if (connect(hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errno == EAGAIN ? ETIMEDOUT : errno;

    // dhcpcd's own client asks with its command line: dump the family's lease.
    std::string strRequest("dhcpcd\0-U\0", 10);
    strRequest += family == DhcpcdFamily::Ipv4 ? "-4" : "-6";
    strRequest += '\0';
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

    // Only as many bytes as the reply's own counts announce are read: dhcpcd
    // keeps the connection open after them.
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

namespace
{
// Asks the interface's own dhcpcd, <if>-4.unpriv.sock or <if>-6.unpriv.sock,
// then the manager's, unpriv.sock, for the family's states, and hands each
// to take until it answers 0: 0, or the first failure that is not ENOENT
// (ENOENT when no socket has a state take accepts).
template <typename Take>
int ReadStates(const std::string& run, const std::string& name, DhcpcdFamily family,
               std::chrono::milliseconds timeout, Take take)
{
    if (name.empty() || name.find('/') != std::string::npos || name.find("..") != std::string::npos)
        return EINVAL;
    // The folder is dhcpcd's own; a link there is not. It is opened once, and
    // its sockets are named through it, so that it cannot change underfoot.
    const CFileDescriptor folder(
        open((run + "/dhcpcd").c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.IsOpen())
        return errno == ELOOP || errno == ENOTDIR ? ENOENT : errno;
    const std::string through = "/proc/self/fd/" + std::to_string(folder.Get());
    const char* own = family == DhcpcdFamily::Ipv4 ? "-4.unpriv.sock" : "-6.unpriv.sock";

    int failure = ENOENT;
    for (const std::string& socketPath : {through + "/" + name + own, through + "/unpriv.sock"})
    {
        std::string reply;
        int result = QueryDhcpcdState(socketPath, name, timeout, reply, family);
        // A socket nobody listens on is left from a dhcpcd that has ended.
        if (result == ECONNREFUSED)
            result = ENOENT;
        if (result == 0)
        {
            std::vector<std::string_view> states;
            std::size_t needed = 0;
            SplitDhcpcdReply(reply, states, needed);
            result = ENOENT;
            for (const std::string_view state : states)
            {
                const int taken = take(state);
                if (taken == 0)
                    return 0;
                if (taken != ENOENT && result == ENOENT)
                    result = taken;
            }
        }
        if (result != ENOENT && failure == ENOENT)
            failure = result;
    }
    return failure;
}
} // namespace

int ReadDhcpcdLeaseFromSocket(const std::string& strRun, const LeaseInterface& iface,
                              std::chrono::milliseconds timeout, Lease& lease)
{
    return ReadStates(strRun, iface.m_strName, DhcpcdFamily::Ipv4, timeout,
                      [&](std::string_view state)
                      {
                          Lease candidate;
                          const int result =
                              LeaseFromDhcpcdState(state, iface.m_strName, candidate);
                          if (result != 0)
                              return result;
                          // An address no longer on the interface is not its lease.
                          const std::vector<std::uint32_t>& addresses = iface.m_IpAddresses;
                          if (std::find(addresses.begin(), addresses.end(),
                                        *candidate.m_nYourAddress) == addresses.end())
                              return ENOENT;
                          lease = std::move(candidate);
                          return 0;
                      });
}

int ReadDhcpcdLease6FromSocket(const std::string& strRun, const LeaseInterface& iface,
                               std::chrono::milliseconds timeout, Lease6& lease)
{
    return ReadStates(strRun, iface.m_strName, DhcpcdFamily::Ipv6, timeout,
                      [&](std::string_view state)
                      {
                          Lease6 candidate;
                          const int result =
                              Lease6FromDhcpcdState(state, iface.m_strName, candidate);
                          if (result == 0)
                              lease = std::move(candidate);
                          return result;
                      });
}
