#include "testing/fake_dhcp_server.h"

#include "core/wire/udp_datagram.h"
#include "platform/file_descriptor.h"
#include "testing/netns_pair.h"

#include <arpa/inet.h>
#include <cstring>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace
{
constexpr std::uint16_t kOtherPort = 6767;
constexpr int kPollMs = 20;

// Sends to the request's source, or as a broadcast out of the server's
// interface: the namespace has no route a limited broadcast could take, so
// the interface is named with the packet (IP_PKTINFO).
void Send(int nSocket, const FakeAnswer& answer, const sockaddr_in& from)
{
    sockaddr_in to = from;
    iovec data{const_cast<std::uint8_t*>(answer.m_Bytes.data()), answer.m_Bytes.size()};
    msghdr message{};
    message.msg_name = &to;
    message.msg_namelen = sizeof to;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    alignas(cmsghdr) std::uint8_t control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    if (answer.m_bBroadcast)
    {
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        to.sin_port = htons(68);
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* pHeader = CMSG_FIRSTHDR(&message);
        pHeader->cmsg_level = IPPROTO_IP;
        pHeader->cmsg_type = IP_PKTINFO;
        pHeader->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(if_nametoindex(CNetnsPair::kServerInterface));
        std::memcpy(CMSG_DATA(pHeader), &info, sizeof info);
    }
    sendmsg(nSocket, &message, 0);
}

// The answer as a broadcast frame from its forged source: the Ethernet header
// written here, so the source MAC is the answer's and not the interface's.
void SendFrame(int nPacketSocket, const FakeAnswer& answer)
{
    const OfferPath& source = *answer.m_forgedSource;
    UdpEndpoints endpoints;
    endpoints.m_nSourceAddress = source.address;
    endpoints.m_nDestinationAddress = INADDR_BROADCAST;
    endpoints.m_nSourcePort = 67;
    endpoints.m_nDestinationPort = 68;
    const std::vector<std::uint8_t> packet = BuildUdpPacket(endpoints, answer.m_Bytes);
    // Destination (broadcast), source, type, then the packet.
    std::vector<std::uint8_t> frame(ETH_HLEN + packet.size(), 0xFF);
    std::copy(source.mac.begin(), source.mac.end(), frame.begin() + ETH_ALEN);
    frame[2 * ETH_ALEN] = ETH_P_IP >> 8;
    frame[2 * ETH_ALEN + 1] = ETH_P_IP & 0xFF;
    std::copy(packet.begin(), packet.end(), frame.begin() + ETH_HLEN);
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_ifindex = static_cast<int>(if_nametoindex(CNetnsPair::kServerInterface));
    sendto(nPacketSocket, frame.data(), frame.size(), 0, reinterpret_cast<const sockaddr*>(&to),
           sizeof to);
}

CFileDescriptor BoundSocket(std::uint16_t nPort)
{
    CFileDescriptor udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    if (!udp.IsOpen())
        return udp;
    const int nOn = 1;
    setsockopt(udp.Get(), SOL_SOCKET, SO_REUSEADDR, &nOn, sizeof nOn);
    setsockopt(udp.Get(), SOL_SOCKET, SO_BROADCAST, &nOn, sizeof nOn);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(nPort);
    if (bind(udp.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        udp.Reset();
    return udp;
}
} // namespace

CFakeDhcpServer::CFakeDhcpServer(const std::string& strNamespace, Script script)
    : m_script(std::move(script))
{
    std::promise<bool> listening;
    std::future<bool> ready = listening.get_future();
    m_thread = std::thread(&CFakeDhcpServer::Serve, this, strNamespace, &listening);
    m_bListening = ready.get();
}

CFakeDhcpServer::~CFakeDhcpServer()
{
    m_bStop = true;
    m_thread.join();
}

std::vector<FakeRequest> CFakeDhcpServer::Requests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::vector<FakeRequest> CFakeDhcpServer::WaitForRequests(std::size_t nCount,
                                                          std::chrono::milliseconds limit) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_received.wait_for(lock, limit, [this, nCount] { return m_requests.size() >= nCount; });
    return m_requests;
}

void CFakeDhcpServer::Serve(const std::string& strNamespace, std::promise<bool>* pListening)
{
    const CNetnsScope scope(strNamespace);
    const CFileDescriptor server = scope.Entered() ? BoundSocket(67) : CFileDescriptor();
    const CFileDescriptor other = scope.Entered() ? BoundSocket(kOtherPort) : CFileDescriptor();
    // Protocol 0: it only sends.
    const CFileDescriptor frames(scope.Entered() ? socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0)
                                                 : -1);
    const bool bReady = server.IsOpen() && other.IsOpen() && frames.IsOpen();
    pListening->set_value(bReady);
    if (!bReady)
        return;

    std::vector<std::uint8_t> buffer(kMaxBootpMessage);
    int nRequest = 0;
    while (!m_bStop)
    {
        pollfd ready{server.Get(), POLLIN, 0};
        if (poll(&ready, 1, kPollMs) <= 0)
            continue;
        sockaddr_in from{};
        socklen_t nFromSize = sizeof from;
        const ssize_t nSize = recvfrom(server.Get(), buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&from), &nFromSize);
        if (nSize <= 0)
            continue;
        FakeRequest request;
        request.m_Bytes.assign(buffer.begin(), buffer.begin() + nSize);
        request.m_nSourceAddress = ntohl(from.sin_addr.s_addr);
        request.m_nSourcePort = ntohs(from.sin_port);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
        }
        m_received.notify_all();
        const std::optional<BootpMessage> message =
            ParseBootpMessage(request.m_Bytes.data(), request.m_Bytes.size());
        if (!message)
            continue;
        for (const FakeAnswer& answer : m_script(*message, ++nRequest))
        {
            if (answer.m_forgedSource)
                SendFrame(frames.Get(), answer);
            else
                Send(answer.m_bFromOtherPort ? other.Get() : server.Get(), answer, from);
        }
    }
}

std::vector<std::uint8_t> FakeReply(const BootpMessage& request, std::uint8_t nType,
                                    const OptionMap& options)
{
    BootpMessage reply;
    reply.m_nOp = kBootReply;
    reply.m_nHardwareType = request.m_nHardwareType;
    reply.m_nHardwareLength = request.m_nHardwareLength;
    reply.m_nTransactionId = request.m_nTransactionId;
    reply.m_nClientAddress = request.m_nClientAddress;
    reply.m_ClientHardware = request.m_ClientHardware;
    reply.m_mapOptions = {{kOptionServerId, {10, 77, 0, 1}}};
    for (const auto& [nCode, bytes] : options)
        reply.m_mapOptions[nCode] = bytes;
    reply.m_mapOptions[kOptionMessageType] = {nType};
    return SerializeBootpMessage(reply);
}
