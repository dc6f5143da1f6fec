#include "linux/dhcp_inform.h"

#include "core/model/requested_options.h"
#include "core/wire/bootp_message.h"
#include "platform/file_descriptor.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/socket.h>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr std::size_t kEthernetAddressSize = 6;
// The largest reply we ask for: the Ethernet MTU, so it needs no IP fragments.
constexpr std::uint16_t kMaxReplySize = 1500;

// A server must not answer a DHCPINFORM with these (RFC 2131 4.3.5): they
// describe a lease, and the client holds none from this exchange.
constexpr std::uint8_t kLeaseOnlyOptions[] = {kOptionRequestedAddress, kOptionLeaseTime,
                                              kOptionRenewalTime, kOptionRebindingTime};
// Requested rows that describe a message rather than the network.
constexpr std::uint8_t kMessageOptions[] = {kOptionOverload, kOptionParameterList, kOptionClientId};

template <std::size_t N> bool IsOneOf(std::uint8_t nCode, const std::uint8_t (&codes)[N])
{
    return std::find(std::begin(codes), std::end(codes), nCode) != std::end(codes);
}

// The rows the program shows that a server can fill in for an inform.
std::vector<std::uint8_t> RequestedOptions()
{
    std::vector<std::uint8_t> codes;
    for (const std::uint32_t nRequested : kRequestedOptions)
    {
        const auto nCode = static_cast<std::uint8_t>(nRequested);
        if (nRequested == nCode && !IsOneOf(nCode, kLeaseOnlyOptions) &&
            !IsOneOf(nCode, kMessageOptions))
            codes.push_back(nCode);
    }
    return codes;
}

sockaddr_in SocketAddress(std::uint32_t nAddress, std::uint16_t nPort)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(nAddress);
    address.sin_port = htons(nPort);
    return address;
}

int EnableOption(int nSocket, int nOption)
{
    const int nOn = 1;
    return setsockopt(nSocket, SOL_SOCKET, nOption, &nOn, sizeof nOn) == 0 ? 0 : errno;
}

// The interface's Ethernet address, read through the socket so that it is the
// interface of the socket's network namespace.
int ReadHardwareAddress(int nSocket, const std::string& strName,
                        std::vector<std::uint8_t>& hardwareAddress)
{
    ifreq request{};
    std::memcpy(request.ifr_name, strName.c_str(), strName.size() + 1);
    if (ioctl(nSocket, SIOCGIFHWADDR, &request) != 0)
        return errno;
    if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER)
        return ENOENT;
    const auto* pBytes = reinterpret_cast<const std::uint8_t*>(request.ifr_hwaddr.sa_data);
    hardwareAddress.assign(pBytes, pBytes + kEthernetAddressSize);
    return 0;
}

// Binds the client port on the interface's address. A DHCP client running on
// the interface may hold that port; then an ephemeral port is the only one
// left. Servers that answer to the request's source port (dnsmasq) still
// reach us there; those that always answer to port 68 (Kea, dhcpd) send
// their reply to the client holding it, and the request times out.
int BindClientPort(int nSocket, std::uint32_t nAddress, std::uint16_t nPort)
{
    if (const int nResult = EnableOption(nSocket, SO_REUSEADDR))
        return nResult;
    sockaddr_in local = SocketAddress(nAddress, nPort);
    if (bind(nSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
        return 0;
    if (errno != EADDRINUSE)
        return errno;
    local.sin_port = 0;
    return bind(nSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 ? 0 : errno;
}

class CInformLeaseSource final : public CLeaseSource
{
public:
    explicit CInformLeaseSource(const InformSettings& settings) : m_settings(settings) {}

    const char* Name() const override { return "inform"; }

    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    int Exchange(int nSocket, const std::vector<std::uint8_t>& request, Lease& lease);
    bool IsAnswer(const std::uint8_t* pData, std::size_t nSize, const sockaddr_in& from,
                  Lease& lease) const;

    InformSettings m_settings;
    std::uint32_t m_nTransactionId = 0;
    std::vector<std::uint8_t> m_HardwareAddress;
};

int CInformLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    const auto address = std::find_if(iface.m_IpAddresses.begin(), iface.m_IpAddresses.end(),
                                      [](std::uint32_t nAddress) { return nAddress != 0; });
    if (address == iface.m_IpAddresses.end())
        return ENOENT;
    if (iface.m_strName.empty() || iface.m_strName.size() >= IFNAMSIZ)
        return ENODEV;

    const CFileDescriptor udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    if (!udp.IsOpen())
        return errno;
    if (const int nResult = ReadHardwareAddress(udp.Get(), iface.m_strName, m_HardwareAddress))
        return nResult;
    if (setsockopt(udp.Get(), SOL_SOCKET, SO_BINDTODEVICE, iface.m_strName.c_str(),
                   static_cast<socklen_t>(iface.m_strName.size())) != 0)
        return errno;
    if (const int nResult = EnableOption(udp.Get(), SO_BROADCAST))
        return nResult;
    if (const int nResult = BindClientPort(udp.Get(), *address, m_settings.m_nClientPort))
        return nResult;
    if (getrandom(&m_nTransactionId, sizeof m_nTransactionId, 0) !=
        static_cast<ssize_t>(sizeof m_nTransactionId))
        return errno;

    InformRequest request;
    request.m_HardwareAddress = m_HardwareAddress;
    request.m_nTransactionId = m_nTransactionId;
    request.m_nClientAddress = *address;
    request.m_RequestedOptions = RequestedOptions();
    request.m_nMaxMessageSize = kMaxReplySize;
    return Exchange(udp.Get(), BuildInformRequest(request), lease);
}

// Sends the request once per entry of the schedule, waiting as long as it
// says after each send, and keeps the transaction id so a late answer to an earlier send
// still counts.
int CInformLeaseSource::Exchange(int nSocket, const std::vector<std::uint8_t>& request,
                                 Lease& lease)
{
    const sockaddr_in server = SocketAddress(m_settings.m_nServerAddress, m_settings.m_nServerPort);
    std::vector<std::uint8_t> reply(kMaxBootpMessage);
    for (const std::chrono::milliseconds wait : m_settings.m_Waits)
    {
        if (sendto(nSocket, request.data(), request.size(), 0,
                   reinterpret_cast<const sockaddr*>(&server), sizeof server) < 0)
            return errno;
        const Clock::time_point deadline = Clock::now() + wait;
        for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now())
        {
            pollfd ready{nSocket, POLLIN, 0};
            const auto nLeft = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
            const int nReady = poll(&ready, 1, static_cast<int>(nLeft));
            if (nReady < 0 && errno != EINTR)
                return errno;
            if (nReady <= 0)
                continue;
            sockaddr_in from{};
            socklen_t nFromSize = sizeof from;
            // MSG_TRUNC reports a datagram's full size, so a cut one is seen.
            const ssize_t nSize =
                recvfrom(nSocket, reply.data(), reply.size(), MSG_DONTWAIT | MSG_TRUNC,
                         reinterpret_cast<sockaddr*>(&from), &nFromSize);
            if (nSize < 0 && errno != EAGAIN && errno != EINTR)
                return errno;
            if (nSize > 0 && static_cast<std::size_t>(nSize) <= reply.size() &&
                IsAnswer(reply.data(), static_cast<std::size_t>(nSize), from, lease))
                return 0;
        }
    }
    return ETIMEDOUT;
}

// A DHCPACK from the server's port (and address, when it was not a broadcast)
// to this request; anything else is some other exchange's or a forgery.
bool CInformLeaseSource::IsAnswer(const std::uint8_t* pData, std::size_t nSize,
                                  const sockaddr_in& from, Lease& lease) const
{
    if (from.sin_family != AF_INET || ntohs(from.sin_port) != m_settings.m_nServerPort)
        return false;
    if (m_settings.m_nServerAddress != INADDR_BROADCAST &&
        ntohl(from.sin_addr.s_addr) != m_settings.m_nServerAddress)
        return false;
    std::optional<BootpMessage> message = ParseBootpMessage(pData, nSize);
    if (!message || message->m_nOp != kBootReply || message->m_nTransactionId != m_nTransactionId ||
        MessageType(*message) != kDhcpAck ||
        !std::equal(m_HardwareAddress.begin(), m_HardwareAddress.end(),
                    message->m_ClientHardware.begin()))
        return false;

    for (const std::uint8_t nCode : kLeaseOnlyOptions)
        message->m_mapOptions.erase(nCode);
    lease.m_mapOptions = std::move(message->m_mapOptions);
    return true;
}
} // namespace

std::unique_ptr<CLeaseSource> MakeInformLeaseSource(const InformSettings& settings)
{
    return std::make_unique<CInformLeaseSource>(settings);
}
