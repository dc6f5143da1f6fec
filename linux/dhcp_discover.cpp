#include "linux/dhcp_discover.h"

#include "core/options/extended_catalogue.h"
#include "linux/packet_socket.h"

#include <algorithm>

#include <cerrno>
#include <sys/random.h>

namespace
{
// The largest offer asked for: the Ethernet MTU, so it needs no IP fragments
// (which are counted, not reassembled).
constexpr std::uint16_t kMaxReplySize = 1500;

int RandomBytes(void* pBuffer, std::size_t nSize)
{
    return getrandom(pBuffer, nSize, 0) == static_cast<ssize_t>(nSize) ? 0 : errno;
}
} // namespace

std::vector<std::uint8_t> DiscoveryRequestedOptions()
{
    std::vector<std::uint8_t> codes;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
    {
        if (!pRow->Has(kMessageOption))
            codes.push_back(pRow->nCode);
    }
    return codes;
}

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
    if (const int error = socket.Open(settings.m_strInterface))
        return error;
    HardwareAddress interfaceMac{};
    if (const int error = socket.InterfaceMac(interfaceMac))
        return error;
    result.m_ClientMac = settings.m_ClientMac.value_or(interfaceMac);
    if (const int error = RandomBytes(&result.m_nTransactionId, sizeof result.m_nTransactionId))
        return error;

    DiscoverRequest request;
    request.clientMac = result.m_ClientMac;
    request.transactionId = result.m_nTransactionId;
    request.requestedOptions = DiscoveryRequestedOptions();
    request.maxMessageSize = kMaxReplySize;
    ServerDiscovery discovery(result.m_nTransactionId, result.m_ClientMac, settings.m_limits);

    if (settings.m_fnOpened)
    {
        if (const int error = settings.m_fnOpened())
            return error;
    }

    using Clock = std::chrono::steady_clock;
    const auto sent = Clock::now();
    if (const int error = socket.SendBroadcast(BuildDiscoverPacket(request)))
        return error;
    const auto deadline = sent + settings.m_wait;
    std::vector<std::uint8_t> buffer;
    for (;;)
    {
        // Without a progress report the socket waits for the deadline itself.
        const auto now = Clock::now();
        if (settings.m_fnProgress)
            settings.m_fnProgress(discovery, deadline - std::min(now, deadline));
        const auto wake =
            settings.m_fnProgress ? std::min(deadline, now + settings.m_tick) : deadline;
        ReceivedPacket packet;
        const int error = socket.Receive(wake, buffer, packet);
        if (error == ETIMEDOUT && wake == deadline)
            break;
        if (error == ETIMEDOUT)
            continue;
        if (error != 0)
            return error;
        const auto at = Clock::now() - sent;
        if (settings.m_fnPacket)
            settings.m_fnPacket(packet, buffer.data(),
                                std::chrono::duration_cast<std::chrono::microseconds>(at));
        const PacketVerdict verdict = discovery.Take(buffer.data(), packet.m_nSize,
                                                     packet.m_SourceMac, packet.m_bChecksumPending);
        if (verdict == PacketVerdict::Offer && !result.m_firstOffer)
            result.m_firstOffer = at;
        if (settings.m_fnDone && settings.m_fnDone(discovery))
            break;
    }
    result.m_servers = discovery.TakeServers();
    result.m_counts = discovery.Counts();
    return 0;
}
