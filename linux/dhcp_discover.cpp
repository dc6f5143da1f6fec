#include "linux/dhcp_discover.h"

#include "linux/packet_socket.h"

#include <cerrno>
#include <sys/random.h>

namespace
{
// The largest offer asked for: the Ethernet MTU, so it needs no IP fragments
// (which the packet filter drops).
constexpr std::uint16_t kMaxReplySize = 1500;

int RandomBytes(void* pBuffer, std::size_t nSize)
{
    return getrandom(pBuffer, nSize, 0) == static_cast<ssize_t>(nSize) ? 0 : errno;
}
} // namespace

int RandomLocalMac(HardwareAddress& address)
{
    if (const int nResult = RandomBytes(address.data(), address.size()))
        return nResult;
    address[0] = static_cast<std::uint8_t>((address[0] | 0x02) & ~0x01);
    return 0;
}

int DiscoverDhcpServers(const DiscoverySettings& settings, DiscoveryResult& result)
{
    result = DiscoveryResult();
    CPacketSocket socket;
    if (const int nResult = socket.Open(settings.m_strInterface))
        return nResult;
    HardwareAddress interfaceMac{};
    if (const int nResult = socket.InterfaceMac(interfaceMac))
        return nResult;
    result.m_ClientMac = settings.m_ClientMac.value_or(interfaceMac);
    if (const int nResult = RandomBytes(&result.m_nTransactionId, sizeof result.m_nTransactionId))
        return nResult;

    DiscoverRequest request;
    request.m_ClientMac = result.m_ClientMac;
    request.m_nTransactionId = result.m_nTransactionId;
    request.m_RequestedOptions = DiscoveryRequestedOptions();
    request.m_nMaxMessageSize = kMaxReplySize;
    CServerDiscovery discovery(result.m_nTransactionId, result.m_ClientMac, settings.m_limits);

    const auto sent = std::chrono::steady_clock::now();
    if (const int nResult = socket.SendBroadcast(BuildDiscoverPacket(request)))
        return nResult;
    const auto deadline = sent + settings.m_wait;
    std::vector<std::uint8_t> buffer;
    for (;;)
    {
        ReceivedPacket packet;
        const int nResult = socket.Receive(deadline, buffer, packet);
        if (nResult == ETIMEDOUT)
            break;
        if (nResult != 0)
            return nResult;
        const PacketVerdict verdict = discovery.Take(buffer.data(), packet.m_nSize,
                                                     packet.m_SourceMac, packet.m_bChecksumPending);
        if (verdict == PacketVerdict::Offer && !result.m_firstOffer)
            result.m_firstOffer = std::chrono::steady_clock::now() - sent;
        if (settings.m_fnDone && settings.m_fnDone(discovery))
            break;
    }
    result.m_servers = discovery.Servers();
    result.m_nIgnored = discovery.Ignored();
    result.m_nMalformed = discovery.Malformed();
    result.m_nDropped = discovery.Dropped();
    return 0;
}
