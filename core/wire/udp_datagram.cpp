#include "core/wire/udp_datagram.h"

#include "core/wire/byte_order.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kIpv4 = 4;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::uint8_t kTimeToLive = 64;
constexpr std::size_t kMaxIpv4Packet = 0xFFFF;
// The fragment offset and the "more fragments" flag.
constexpr std::uint16_t kFragmentBits = 0x3FFF;

void WriteBe16(std::uint8_t* p, std::uint16_t nValue)
{
    p[0] = static_cast<std::uint8_t>(nValue >> 8);
    p[1] = static_cast<std::uint8_t>(nValue);
}

void WriteBe32(std::uint8_t* p, std::uint32_t nValue)
{
    WriteBe16(p, static_cast<std::uint16_t>(nValue >> 16));
    WriteBe16(p + 2, static_cast<std::uint16_t>(nValue));
}

// The ones' complement sum of 16-bit words (RFC 1071), not yet folded;
// an odd last byte counts as the high byte of a word.
std::uint32_t SumWords(const std::uint8_t* p, std::size_t nSize, std::uint32_t nSum = 0)
{
    for (; nSize > 1; p += 2, nSize -= 2)
        nSum += ReadBe16(p);
    if (nSize == 1)
        nSum += std::uint32_t{p[0]} << 8;
    return nSum;
}

std::uint16_t Fold(std::uint32_t nSum)
{
    while (nSum > 0xFFFF)
        nSum = (nSum & 0xFFFF) + (nSum >> 16);
    return static_cast<std::uint16_t>(nSum);
}

// The UDP checksum's sum over the pseudo-header and the datagram.
std::uint16_t UdpSum(std::uint32_t nSource, std::uint32_t nDestination, const std::uint8_t* pUdp,
                     std::size_t nUdpSize)
{
    std::uint32_t nSum = (nSource >> 16) + (nSource & 0xFFFF) + (nDestination >> 16) +
                         (nDestination & 0xFFFF) + kProtocolUdp +
                         static_cast<std::uint32_t>(nUdpSize);
    return Fold(SumWords(pUdp, nUdpSize, nSum));
}
} // namespace

std::vector<std::uint8_t> BuildUdpPacket(const UdpEndpoints& endpoints,
                                         const std::vector<std::uint8_t>& payload)
{
    const std::size_t nUdpSize = kUdpHeaderSize + payload.size();
    const std::size_t nTotal = kIpv4HeaderSize + nUdpSize;
    if (nTotal > kMaxIpv4Packet)
        return {};
    std::vector<std::uint8_t> packet(nTotal);
    std::uint8_t* pIp = packet.data();
    pIp[0] = kIpv4 << 4 | kIpv4HeaderSize / 4;
    WriteBe16(pIp + 2, static_cast<std::uint16_t>(nTotal));
    pIp[8] = kTimeToLive;
    pIp[9] = kProtocolUdp;
    WriteBe32(pIp + 12, endpoints.m_nSourceAddress);
    WriteBe32(pIp + 16, endpoints.m_nDestinationAddress);
    WriteBe16(pIp + 10, static_cast<std::uint16_t>(~Fold(SumWords(pIp, kIpv4HeaderSize))));

    std::uint8_t* pUdp = pIp + kIpv4HeaderSize;
    WriteBe16(pUdp, endpoints.m_nSourcePort);
    WriteBe16(pUdp + 2, endpoints.m_nDestinationPort);
    WriteBe16(pUdp + 4, static_cast<std::uint16_t>(nUdpSize));
    std::copy(payload.begin(), payload.end(), pUdp + kUdpHeaderSize);
    std::uint16_t nChecksum = static_cast<std::uint16_t>(
        ~UdpSum(endpoints.m_nSourceAddress, endpoints.m_nDestinationAddress, pUdp, nUdpSize));
    // A computed zero is sent as all ones: zero means "no checksum".
    if (nChecksum == 0)
        nChecksum = 0xFFFF;
    WriteBe16(pUdp + 6, nChecksum);
    return packet;
}

std::optional<UdpPacketView> ParseUdpPacket(const std::uint8_t* pPacket, std::size_t nSize,
                                            bool bChecksumPending)
{
    if (pPacket == nullptr || nSize < kIpv4HeaderSize || pPacket[0] >> 4 != kIpv4)
        return std::nullopt;
    const std::size_t nHeaderSize = std::size_t{pPacket[0] & 0x0Fu} * 4;
    const std::size_t nTotal = ReadBe16(pPacket + 2);
    if (nHeaderSize < kIpv4HeaderSize || nTotal < nHeaderSize + kUdpHeaderSize || nTotal > nSize)
        return std::nullopt;
    if (pPacket[9] != kProtocolUdp || (ReadBe16(pPacket + 6) & kFragmentBits) != 0)
        return std::nullopt;
    if (Fold(SumWords(pPacket, nHeaderSize)) != 0xFFFF)
        return std::nullopt;

    const std::uint8_t* pUdp = pPacket + nHeaderSize;
    const std::size_t nUdpSize = ReadBe16(pUdp + 4);
    if (nUdpSize < kUdpHeaderSize || nUdpSize > nTotal - nHeaderSize)
        return std::nullopt;
    UdpPacketView view;
    view.m_endpoints.m_nSourceAddress = ReadBe32(pPacket + 12);
    view.m_endpoints.m_nDestinationAddress = ReadBe32(pPacket + 16);
    view.m_endpoints.m_nSourcePort = ReadBe16(pUdp);
    view.m_endpoints.m_nDestinationPort = ReadBe16(pUdp + 2);
    if (!bChecksumPending && ReadBe16(pUdp + 6) != 0 &&
        UdpSum(view.m_endpoints.m_nSourceAddress, view.m_endpoints.m_nDestinationAddress, pUdp,
               nUdpSize) != 0xFFFF)
        return std::nullopt;
    view.m_pPayload = pUdp + kUdpHeaderSize;
    view.m_nPayloadSize = nUdpSize - kUdpHeaderSize;
    return view;
}
