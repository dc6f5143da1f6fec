// veyra-probe: the one Veyra program that holds CAP_NET_RAW (installed
// cap_net_raw+ep, or run by root). It asks the DHCP servers of one interface
// for the window and the command line, and tells them what came back as JSON
// lines (core/wire/probe_messages.h) on its standard output:
//
//   veyra-probe inform INTERFACE
//   veyra-probe inform6 INTERFACE
//   veyra-probe census INTERFACE WAIT_MS FAMILIES VLANS CLIENT_MAC PROMISC
//
// A census's FAMILIES are CensusFamily bits (1 to 7), VLANS "-" or ids and
// ranges ("10,20,100-199"), CLIENT_MAC "-" (the interface's own), "random"
// or an address, PROMISC 0 or 1.
//
// Its caller and environment are not trusted: it reads no environment
// variable at all (the environment is cleared first), closes every inherited
// descriptor above 2, checks its arguments, opens its socket, then drops every
// capability and any set-user-ID and sets no_new_privs before it sends or
// reads a packet. Exit status 0 when it ran to its "end" line, 2 for bad
// arguments, 1 otherwise.
#include "core/wire/probe_messages.h"
#include "linux/dhcp_census.h"
#include "linux/dhcp_inform.h"
#include "linux/dhcpv6_inform.h"
#include "linux/frame_socket.h"
#include "linux/privileges.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/file_descriptor.h"

namespace
{
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr long kMaxWaitMs = 60000;

const char kUsage[] = "usage: veyra-probe inform INTERFACE\n"
                      "       veyra-probe inform6 INTERFACE\n"
                      "       veyra-probe census INTERFACE WAIT_MS FAMILIES VLANS CLIENT_MAC "
                      "PROMISC\n";

// Descriptors 0 to 2 open (on /dev/null where the caller left them closed),
// so that no socket becomes standard output; everything above closed.
bool SettleDescriptors()
{
    for (int nFd = 0; nFd <= 2; ++nFd)
    {
        if (fcntl(nFd, F_GETFD) == -1 && open("/dev/null", O_RDWR) != nFd)
            return false;
    }
    return close_range(3, ~0U, 0) == 0;
}

void Write(const std::string& strLine)
{
    for (std::size_t nDone = 0; nDone < strLine.size();)
    {
        const ssize_t nWritten =
            write(STDOUT_FILENO, strLine.data() + nDone, strLine.size() - nDone);
        if (nWritten < 0 && errno == EINTR)
            continue;
        if (nWritten <= 0)
            std::_Exit(kExitFailed);
        nDone += static_cast<std::size_t>(nWritten);
    }
}

// A name the kernel could have given: 1 to 15 printable bytes, no slash or space.
bool IsInterfaceName(const char* pszName)
{
    const std::size_t nSize = std::strlen(pszName);
    if (nSize == 0 || nSize >= IFNAMSIZ)
        return false;
    for (std::size_t n = 0; n < nSize; ++n)
    {
        const char c = pszName[n];
        if (c <= ' ' || c > '~' || c == '/')
            return false;
    }
    return true;
}

// Drops everything, then says so with the process's own capability lines.
int Opened()
{
    if (const int nError = DropPrivileges())
        return nError;
    ProbeMessage message;
    message.m_event = ProbeEvent::Opened;
    message.m_strStatus = CapabilityStatus();
    Write(FormatProbeMessage(message));
    return 0;
}

void End(int nError, std::uint64_t nUnrelayed)
{
    // Whatever failed before the socket was open, nothing is kept past here.
    if (nError != 0)
        DropPrivileges();
    ProbeMessage message;
    message.m_event = ProbeEvent::End;
    message.m_nError = nError;
    message.m_nUnrelayed = nUnrelayed;
    Write(FormatProbeMessage(message));
}

// A whole decimal number from 1 to max.
std::optional<long> ReadNumber(const char* text, long max)
{
    long value = 0;
    const char* end = text + std::strlen(text);
    const auto parsed = std::from_chars(text, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || value < 1 || value > max)
        return std::nullopt;
    return value;
}

// Says the plan, once the privileges are gone: the census, then each probe.
int CensusOpened(const CensusPlan& plan, bool carrier)
{
    if (const int error = Opened())
        return error;
    ProbeMessage message;
    message.m_event = ProbeEvent::Census;
    message.families = plan.families;
    message.carrier = carrier;
    Write(FormatProbeMessage(message));
    message.m_event = ProbeEvent::Probe;
    for (const VlanProbe& probe : plan.probes)
    {
        message.probe = probe;
        Write(FormatProbeMessage(message));
    }
    return 0;
}

int CensusProbe(char* argv[])
{
    const std::optional<long> wait = ReadNumber(argv[3], kMaxWaitMs);
    const std::optional<long> families = ReadNumber(argv[4], kCensusAll);
    std::optional<std::vector<std::uint16_t>> vlans = ParseProbeVlans(argv[5]);
    const std::string_view mac = argv[6];
    const std::string_view promiscuous = argv[7];
    CensusSettings settings;
    settings.randomClientMac = mac == "random";
    if (mac != "-" && !settings.randomClientMac)
    {
        settings.clientMac = ParseProbeMac(mac);
        if (!settings.clientMac)
            return kExitUsage;
    }
    if (!wait || !families || !vlans || (promiscuous != "0" && promiscuous != "1"))
        return kExitUsage;
    settings.interfaceName = argv[2];
    settings.wait = std::chrono::milliseconds(*wait);
    settings.families = static_cast<unsigned>(*families);
    settings.vlans = std::move(*vlans);
    settings.promiscuous = promiscuous == "1";
    CensusResult result;
    settings.opened = [&result](const CensusPlan& plan)
    { return CensusOpened(plan, result.carrier); };
    std::size_t relayed = 0;
    std::size_t relayedBytes = 0;
    std::uint64_t unrelayed = 0;
    settings.frame = [&](const CensusFrame& frame, const std::uint8_t* data, std::size_t size)
    {
        if (relayed >= kMaxProbeFrames || size > kMaxProbeValueBytes ||
            relayedBytes + size > kMaxProbeFrameBytes)
        {
            ++unrelayed;
            return;
        }
        ++relayed;
        relayedBytes += size;
        ProbeMessage message;
        message.m_event = ProbeEvent::Frame;
        message.vlan = frame.vlan;
        message.etherType = frame.etherType;
        message.m_Packet.assign(data, data + size);
        message.m_SourceMac = frame.sourceMac;
        message.m_bChecksumPending = frame.checksumPending;
        message.m_nMicroseconds = static_cast<std::uint64_t>(frame.at.count());
        Write(FormatProbeMessage(message));
    };
    End(RunCensus(settings, result), unrelayed);
    return 0;
}

// The interface's IPv4 address (host byte order), through an unprivileged
// socket of this network namespace.
int InterfaceAddress(const char* pszInterface, std::uint32_t& nAddress)
{
    const CFileDescriptor udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!udp.IsOpen())
        return errno;
    ifreq request{};
    std::strncpy(request.ifr_name, pszInterface, IFNAMSIZ - 1);
    if (ioctl(udp.Get(), SIOCGIFADDR, &request) != 0)
        return errno == EADDRNOTAVAIL ? ENOENT : errno;
    sockaddr_in address{};
    std::memcpy(&address, &request.ifr_addr, sizeof address);
    nAddress = ntohl(address.sin_addr.s_addr);
    return 0;
}

int Inform(const char* pszInterface)
{
    LeaseInterface iface;
    iface.m_strName = pszInterface;
    std::uint32_t nAddress = 0;
    if (const int nError = InterfaceAddress(pszInterface, nAddress))
    {
        End(nError, 0);
        return 0;
    }
    iface.m_IpAddresses = {nAddress};
    InformSettings settings;
    settings.m_fnOpened = []() { return Opened(); };
    Lease lease;
    const int nError = MakeInformLeaseSource(settings)->Read(iface, lease);
    if (nError == 0)
    {
        ProbeMessage message;
        message.m_event = ProbeEvent::Options;
        message.m_mapOptions = std::move(lease.m_mapOptions);
        Write(FormatProbeMessage(message));
    }
    End(nError, 0);
    return 0;
}
int Inform6(const char* interfaceName)
{
    LeaseInterface iface;
    iface.m_strName = interfaceName;
    Ipv6Address linkLocal{};
    if (const int error = InterfaceLinkLocal(iface.m_strName, linkLocal))
    {
        End(error, 0);
        return 0;
    }
    iface.linkLocal = linkLocal;
    Inform6Settings settings;
    settings.opened = []() { return Opened(); };
    Lease6 lease;
    const int error = MakeInform6Source(settings)->Read(iface, lease);
    if (error == 0)
    {
        ProbeMessage message;
        message.m_event = ProbeEvent::Options6;
        message.options6 = std::move(lease.options);
        Write(FormatProbeMessage(message));
    }
    End(error, 0);
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    clearenv();
    if (!SettleDescriptors())
        return kExitFailed;
    int nStatus = kExitUsage;
    if (argc == 3 && std::strcmp(argv[1], "inform") == 0 && IsInterfaceName(argv[2]))
        nStatus = Inform(argv[2]);
    else if (argc == 3 && std::strcmp(argv[1], "inform6") == 0 && IsInterfaceName(argv[2]))
        nStatus = Inform6(argv[2]);
    else if (argc == 8 && std::strcmp(argv[1], "census") == 0 && IsInterfaceName(argv[2]))
        nStatus = CensusProbe(argv);
    if (nStatus == kExitUsage)
    {
        DropPrivileges();
        std::fputs(kUsage, stderr);
    }
    return nStatus;
}
