#include "testing/pcap_writer.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace
{
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kIpv4Header = 20;
constexpr std::size_t kUdpHeader = 8;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::uint32_t kLinkTypeEthernet = 1;
// Larger than any frame EthernetFrame makes: no record is cut.
constexpr std::uint32_t kSnapLength = 262144;

void PutUint16(std::vector<std::uint8_t>& out, std::size_t nOffset, std::uint32_t nValue)
{
    out[nOffset] = static_cast<std::uint8_t>(nValue >> 8);
    out[nOffset + 1] = static_cast<std::uint8_t>(nValue);
}

void PutUint32(std::vector<std::uint8_t>& out, std::size_t nOffset, std::uint32_t nValue)
{
    PutUint16(out, nOffset, nValue >> 16);
    PutUint16(out, nOffset + 2, nValue & 0xFFFF);
}

// pcap's own header fields are in the writer's byte order; this writer's is little-endian.
void AppendLittle32(std::vector<std::uint8_t>& out, std::uint32_t nValue)
{
    for (int nShift = 0; nShift < 32; nShift += 8)
        out.push_back(static_cast<std::uint8_t>(nValue >> nShift));
}

void AppendLittle16(std::vector<std::uint8_t>& out, std::uint16_t nValue)
{
    out.push_back(static_cast<std::uint8_t>(nValue));
    out.push_back(static_cast<std::uint8_t>(nValue >> 8));
}
} // namespace

std::uint16_t InternetChecksum(const std::uint8_t* pData, std::size_t nSize, std::uint32_t nSum)
{
    std::uint64_t nTotal = nSum;
    for (std::size_t n = 0; n + 1 < nSize; n += 2)
        nTotal += static_cast<std::uint32_t>(pData[n] << 8 | pData[n + 1]);
    if (nSize % 2 != 0)
        nTotal += static_cast<std::uint32_t>(pData[nSize - 1] << 8);
    while (nTotal >> 16 != 0)
        nTotal = (nTotal & 0xFFFF) + (nTotal >> 16);
    return static_cast<std::uint16_t>(~nTotal);
}

UdpDatagram DhcpReplyDatagram(std::vector<std::uint8_t> message)
{
    UdpDatagram datagram;
    datagram.m_nSource = 0x0A630001;      // 10.99.0.1
    datagram.m_nDestination = 0x0A630092; // 10.99.0.146
    datagram.m_nSourcePort = 67;
    datagram.m_nDestinationPort = 68;
    datagram.m_Payload = std::move(message);
    return datagram;
}

std::vector<std::uint8_t> EthernetFrame(const UdpDatagram& datagram)
{
    const std::size_t nPayload = datagram.m_Payload.size();
    if (nPayload > kMaxUdpPayload)
        return {};
    const std::size_t nUdpLength = kUdpHeader + nPayload;
    std::vector<std::uint8_t> frame(kEthernetHeader + kIpv4Header + kUdpHeader);

    // Locally administered addresses: the server's, then the client's.
    const std::uint8_t kDestinationMac[6] = {0x02, 0x00, 0x00, 0x63, 0x00, 0x92};
    const std::uint8_t kSourceMac[6] = {0x02, 0x00, 0x00, 0x63, 0x00, 0x01};
    std::copy(std::begin(kDestinationMac), std::end(kDestinationMac), frame.begin());
    std::copy(std::begin(kSourceMac), std::end(kSourceMac), frame.begin() + 6);
    PutUint16(frame, 12, 0x0800); // IPv4

    const std::size_t nIp = kEthernetHeader;
    frame[nIp] = 0x45; // version 4, five words of header
    PutUint16(frame, nIp + 2, static_cast<std::uint32_t>(kIpv4Header + nUdpLength));
    frame[nIp + 8] = 64; // time to live
    frame[nIp + 9] = kProtocolUdp;
    PutUint32(frame, nIp + 12, datagram.m_nSource);
    PutUint32(frame, nIp + 16, datagram.m_nDestination);
    PutUint16(frame, nIp + 10, InternetChecksum(&frame[nIp], kIpv4Header));

    const std::size_t nUdp = nIp + kIpv4Header;
    PutUint16(frame, nUdp, datagram.m_nSourcePort);
    PutUint16(frame, nUdp + 2, datagram.m_nDestinationPort);
    PutUint16(frame, nUdp + 4, static_cast<std::uint32_t>(nUdpLength));
    frame.insert(frame.end(), datagram.m_Payload.begin(), datagram.m_Payload.end());
    if (datagram.m_bChecksum)
    {
        // The pseudo-header: both addresses, the protocol and the UDP length.
        std::uint32_t nPseudo = (datagram.m_nSource >> 16) + (datagram.m_nSource & 0xFFFF) +
                                (datagram.m_nDestination >> 16) +
                                (datagram.m_nDestination & 0xFFFF) + kProtocolUdp +
                                static_cast<std::uint32_t>(nUdpLength);
        const std::uint16_t nChecksum = InternetChecksum(&frame[nUdp], nUdpLength, nPseudo);
        // 0 means "not computed": a sum that comes out 0 is sent as all ones.
        PutUint16(frame, nUdp + 6, nChecksum == 0 ? 0xFFFF : nChecksum);
    }
    return frame;
}

std::vector<std::uint8_t> Dhcpv6ReplyFrame(const std::vector<std::uint8_t>& message)
{
    constexpr std::size_t kIpv6Header = 40;
    if (message.size() > kMaxUdp6Payload)
        return {};
    const std::size_t nUdpLength = kUdpHeader + message.size();
    std::vector<std::uint8_t> frame(kEthernetHeader + kIpv6Header + kUdpHeader);
    const std::uint8_t kDestinationMac[6] = {0x02, 0x00, 0x00, 0x63, 0x00, 0x92};
    const std::uint8_t kSourceMac[6] = {0x02, 0x00, 0x00, 0x63, 0x00, 0x01};
    std::copy(std::begin(kDestinationMac), std::end(kDestinationMac), frame.begin());
    std::copy(std::begin(kSourceMac), std::end(kSourceMac), frame.begin() + 6);
    PutUint16(frame, 12, 0x86DD); // IPv6

    const std::size_t nIp = kEthernetHeader;
    frame[nIp] = 0x60; // version 6
    PutUint16(frame, nIp + 4, static_cast<std::uint32_t>(nUdpLength));
    frame[nIp + 6] = kProtocolUdp;
    frame[nIp + 7] = 64; // hop limit
    // fe80::1, the server, to fe80::92, the client.
    frame[nIp + 8] = 0xFE;
    frame[nIp + 9] = 0x80;
    frame[nIp + 23] = 0x01;
    frame[nIp + 24] = 0xFE;
    frame[nIp + 25] = 0x80;
    frame[nIp + 39] = 0x92;

    const std::size_t nUdp = nIp + kIpv6Header;
    PutUint16(frame, nUdp, 547);
    PutUint16(frame, nUdp + 2, 546);
    PutUint16(frame, nUdp + 4, static_cast<std::uint32_t>(nUdpLength));
    frame.insert(frame.end(), message.begin(), message.end());
    // The pseudo-header: both addresses, the UDP length and the protocol.
    std::uint32_t nPseudo = static_cast<std::uint32_t>(nUdpLength) + kProtocolUdp;
    for (std::size_t n = nIp + 8; n < nIp + kIpv6Header; n += 2)
        nPseudo += static_cast<std::uint32_t>(frame[n] << 8 | frame[n + 1]);
    const std::uint16_t nChecksum = InternetChecksum(&frame[nUdp], nUdpLength, nPseudo);
    PutUint16(frame, nUdp + 6, nChecksum == 0 ? 0xFFFF : nChecksum);
    return frame;
}

std::vector<std::uint8_t> PcapFile(const std::vector<std::vector<std::uint8_t>>& frames)
{
    std::vector<std::uint8_t> file;
    AppendLittle32(file, 0xA1B2C3D4); // microsecond times
    AppendLittle16(file, 2);          // version 2.4
    AppendLittle16(file, 4);
    AppendLittle32(file, 0); // times in UTC
    AppendLittle32(file, 0); // accuracy
    AppendLittle32(file, kSnapLength);
    AppendLittle32(file, kLinkTypeEthernet);
    std::uint32_t nSeconds = 0;
    for (const std::vector<std::uint8_t>& frame : frames)
    {
        AppendLittle32(file, nSeconds++);
        AppendLittle32(file, 0);
        AppendLittle32(file, static_cast<std::uint32_t>(frame.size()));
        AppendLittle32(file, static_cast<std::uint32_t>(frame.size()));
        file.insert(file.end(), frame.begin(), frame.end());
    }
    return file;
}

bool WriteBytes(const std::string& strPath, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return file.good();
}
