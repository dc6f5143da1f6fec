#include "linux/dhcp_handshake.h"

#include "core/wire/address_text.h"
#include "core/wire/dhcp_handshake.h"
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/dhcpv6_handshake.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/ipv6_text.h"
#include "core/wire/neighbor_discovery.h"
#include "core/wire/udp_datagram.h"
#include "linux/dhcp_census.h"
#include "linux/frame_socket.h"
#include "linux/random_value.h"
#include "linux/relay_socket.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace
{
using Clock = std::chrono::steady_clock;
using Message = std::vector<std::uint8_t>;

constexpr HardwareAddress kBroadcastMac = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFF;
constexpr std::chrono::seconds kMaxSendTime{10};

// Where the client's messages go and its answers come from.
class Transport
{
public:
    virtual ~Transport() = default;
    virtual int Send(const Message& message) = 0;
    // When the kernel handed the last message sent to the device, where it
    // tells (on the link); else empty.
    virtual std::optional<std::chrono::system_clock::time_point> SentAt() const
    {
        return std::nullopt;
    }
    // The next message to the client, with the kernel's time of its receipt.
    virtual int Receive(Clock::time_point deadline, Message& message,
                        std::chrono::system_clock::time_point& received) = 0;
    // DHCPv4 on the link: the RELEASE goes from the leased address to the
    // server, unicast (RFC 2131 4.4.4).
    virtual void Unicast(std::uint32_t, std::uint32_t) {}
};

class LinkTransport : public Transport
{
public:
    LinkTransport(bool ipv6, const HardwareAddress& mac)
        : m_ipv6(ipv6), m_mac(mac), m_neighbor{mac, LinkLocalFromMac(mac), std::nullopt}
    {
    }

    // DHCPv6 takes the census's frames, whose Neighbor Solicitations it answers.
    int Open(const std::string& interfaceName)
    {
        return m_ipv6 ? m_socket.Open(interfaceName, FrameFilter::Census, true)
                      : m_socket.Open(interfaceName, FrameFilter::Dhcpv4Client, true);
    }

    int Send(const Message& message) override
    {
        Message frame;
        if (m_ipv6)
            frame = BuildEthernetFrame(Ipv6MulticastMac(kAllDhcpv6Servers), m_mac, std::nullopt,
                                       kEtherTypeIpv6,
                                       BuildUdp6Packet({m_neighbor.linkLocal, kAllDhcpv6Servers,
                                                        kDhcpv6ClientPort, kDhcpv6ServerPort},
                                                       message));
        else
            frame = BuildEthernetFrame(
                m_to == kBroadcastAddress ? kBroadcastMac : m_serverMac, m_mac, std::nullopt,
                kEtherTypeIpv4,
                BuildUdpPacket({m_from, m_to, kDhcpClientPort, kDhcpServerPort}, message));
        return m_socket.Send(frame, Clock::now() + kMaxSendTime, m_lastSend);
    }

    std::optional<std::chrono::system_clock::time_point> SentAt() const override
    {
        return m_socket.SentAt(m_lastSend);
    }

    int Receive(Clock::time_point deadline, Message& message,
                std::chrono::system_clock::time_point& received) override
    {
        for (;;)
        {
            ReceivedFrame frame;
            if (const int error = m_socket.Receive(deadline, m_buffer, frame))
                return error;
            const std::uint8_t* packet = m_buffer.data() + kEthernetHeaderSize;
            if (frame.vlan)
                continue;
            if (m_ipv6 && frame.etherType == kEtherTypeIpv6)
            {
                if (const int error = AnswerSolicitation(frame, packet))
                    return error;
                const std::optional<Udp6PacketView> udp =
                    ParseUdp6Packet(packet, frame.packetSize, frame.checksumPending);
                if (!udp || udp->endpoints.destination != m_neighbor.linkLocal ||
                    udp->endpoints.sourcePort != kDhcpv6ServerPort ||
                    udp->endpoints.destinationPort != kDhcpv6ClientPort)
                    continue;
                message.assign(udp->payload, udp->payload + udp->payloadSize);
            }
            else if (!m_ipv6 && frame.etherType == kEtherTypeIpv4)
            {
                const std::optional<UdpPacketView> udp =
                    ParseUdpPacket(packet, frame.packetSize, frame.checksumPending);
                if (!udp || udp->m_endpoints.m_nSourcePort != kDhcpServerPort ||
                    udp->m_endpoints.m_nDestinationPort != kDhcpClientPort)
                    continue;
                message.assign(udp->m_pPayload, udp->m_pPayload + udp->m_nPayloadSize);
                // The RELEASE goes to the Ethernet address its server answered from.
                m_serverMac = frame.sourceMac;
            }
            else
                continue;
            received = frame.received;
            return 0;
        }
    }

    void Unicast(std::uint32_t from, std::uint32_t to) override
    {
        m_from = from;
        m_to = to;
    }

private:
    int AnswerSolicitation(const ReceivedFrame& frame, const std::uint8_t* packet)
    {
        const std::optional<Message> answer =
            m_neighbor.Answer(packet, frame.packetSize, frame.checksumPending, frame.sourceMac);
        return answer ? m_socket.Send(*answer, Clock::now() + kMaxSendTime) : 0;
    }

    FrameSocket m_socket;
    bool m_ipv6;
    HardwareAddress m_mac;
    // The server resolves our link-local address before it answers; the
    // kernel knows nothing of it.
    NeighborResponder m_neighbor;
    HardwareAddress m_serverMac = kBroadcastMac;
    std::uint32_t m_from = 0;
    std::uint32_t m_to = kBroadcastAddress;
    SendId m_lastSend = 0;
    Message m_buffer;
};

class RelayTransport : public Transport
{
public:
    RelayTransport(const IpAddress& relay, const IpAddress& server, const HardwareAddress& mac,
                   const std::string& interfaceId)
        : m_relay(relay), m_server(server), m_peer(LinkLocalFromMac(mac)),
          m_interfaceId(interfaceId.empty() ? OptionBytes{'v', 'e', 'y', 'r', 'a'}
                                            : OptionBytes(interfaceId.begin(), interfaceId.end()))
    {
    }

    int Open() { return m_socket.Open(m_relay); }

    int Send(const Message& message) override
    {
        if (const auto* linkAddress = std::get_if<Ipv6Address>(&m_relay))
            return m_socket.Send(m_server, kDhcpv6ServerPort,
                                 BuildRelayForward(*linkAddress, m_peer, m_interfaceId, message));
        return m_socket.Send(m_server, kDhcpServerPort, message);
    }

    int Receive(Clock::time_point deadline, Message& message,
                std::chrono::system_clock::time_point& received) override
    {
        const bool ipv6 = std::holds_alternative<Ipv6Address>(m_relay);
        const std::uint16_t port = ipv6 ? kDhcpv6ServerPort : kDhcpServerPort;
        for (;;)
        {
            RelayDatagram datagram;
            if (const int error = m_socket.Receive(port, deadline, datagram))
                return error;
            if (datagram.source != m_server || datagram.sourcePort != port)
                continue;
            received = datagram.received;
            if (!ipv6)
            {
                message = std::move(datagram.payload);
                return 0;
            }
            std::optional<Message> inner = ReadRelayReply(
                datagram.payload.data(), datagram.payload.size(), m_peer, m_interfaceId);
            if (!inner)
                continue;
            message = std::move(*inner);
            return 0;
        }
    }

private:
    RelaySocket m_socket;
    IpAddress m_relay;
    IpAddress m_server;
    Ipv6Address m_peer;
    OptionBytes m_interfaceId;
};

// Sends message and waits for the answer take accepts: the step's time is
// from the send (the kernel's stamp where it gives one) to the kernel's
// receipt of that answer.
int Ask(Transport& transport, const Message& message, std::chrono::milliseconds wait,
        const std::function<bool(const Message&)>& take, HandshakeStep& step)
{
    // Read before the send, for a transport without the kernel's stamp: an
    // answer may come in before the send returns.
    const auto sent = std::chrono::system_clock::now();
    if (const int error = transport.Send(message))
        return error;
    const auto deadline = Clock::now() + wait;
    Message answer;
    for (;;)
    {
        std::chrono::system_clock::time_point received;
        const int error = transport.Receive(deadline, answer, received);
        if (error == ETIMEDOUT)
            return 0;
        if (error != 0)
            return error;
        if (!take(answer))
            continue;
        const auto from = transport.SentAt().value_or(sent);
        step.time =
            std::max(std::chrono::microseconds(0),
                     std::chrono::duration_cast<std::chrono::microseconds>(received - from));
        return 0;
    }
}

std::string Dotted(std::uint32_t address)
{
    return std::string(DottedQuad(address));
}

void Scope(const DhcpAnswer& answer, HandshakeStep& step)
{
    if (answer.subnetMask)
        step.subnetMask = Dotted(*answer.subnetMask);
    for (const std::uint32_t router : answer.routers)
        step.routers.push_back(Dotted(router));
}

int Exchange4(Transport& transport, const HandshakeSettings& settings, const DhcpClient& client,
              std::vector<HandshakeStep>& steps)
{
    std::optional<DhcpAnswer> offer;
    HandshakeStep& discover = steps.emplace_back();
    discover.sent = "DISCOVER";
    const auto takeOffer = [&](const Message& bytes)
    {
        offer = ReadDhcpAnswer(bytes.data(), bytes.size(), client);
        return offer && offer->type == kDhcpOffer;
    };
    if (const int error =
            Ask(transport, BuildHandshakeDiscover(client), settings.wait, takeOffer, discover))
        return error;
    if (!discover.time)
        return 0;
    discover.answer = "OFFER";
    discover.address = Dotted(offer->address);
    discover.server = offer->serverId ? Dotted(*offer->serverId) : std::string();
    discover.leaseTime = offer->leaseTime;
    Scope(*offer, discover);
    // Without a server id there is no server to select (RFC 2131 table 3).
    discover.end = offer->serverId ? StepEnd::Answered : StepEnd::Refused;
    if (!settings.fullExchange || !offer->serverId)
        return 0;

    const std::uint32_t serverId = *offer->serverId;
    std::optional<DhcpAnswer> ack;
    HandshakeStep& request = steps.emplace_back();
    request.sent = "REQUEST";
    const auto takeAck = [&](const Message& bytes)
    {
        ack = ReadDhcpAnswer(bytes.data(), bytes.size(), client);
        return ack && (ack->type == kDhcpAck || ack->type == kDhcpNak) && ack->serverId == serverId;
    };
    if (const int error = Ask(transport, BuildHandshakeRequest(client, serverId, offer->address),
                              settings.wait, takeAck, request))
        return error;
    if (!request.time)
        return 0;
    request.server = Dotted(serverId);
    if (ack->type == kDhcpNak)
    {
        request.answer = "NAK";
        request.end = StepEnd::Refused;
        request.text = ack->message;
        return 0;
    }
    request.answer = "ACK";
    request.end = StepEnd::Answered;
    request.address = Dotted(ack->address);
    request.leaseTime = ack->leaseTime;
    Scope(*ack, request);

    HandshakeStep release;
    release.sent = "RELEASE";
    release.end = StepEnd::Sent;
    release.address = request.address;
    release.server = request.server;
    steps.push_back(std::move(release));
    transport.Unicast(ack->address, serverId);
    return transport.Send(BuildHandshakeRelease(client, serverId, ack->address));
}

std::string AddressesText(const std::vector<Ipv6Address>& addresses)
{
    std::string text;
    for (const Ipv6Address& address : addresses)
        text += (text.empty() ? "" : " ") + Ipv6Text(address.data());
    return text;
}

// One step of DHCPv6: its own transaction id, the answer of the type
// awaited from the server of serverDuid (any server for the Solicit).
int Ask6(Transport& transport, Dhcpv6Client& client, const std::string& name,
         const std::function<Message(const Dhcpv6Client&)>& build, std::uint8_t awaited,
         const OptionBytes& serverDuid, std::chrono::milliseconds wait,
         std::vector<HandshakeStep>& steps, std::optional<Dhcpv6Answer>& answer)
{
    if (const int error = RandomValue(client.transactionId))
        return error;
    client.transactionId &= 0xFFFFFF;
    HandshakeStep& step = steps.emplace_back();
    step.sent = name;
    const auto take = [&](const Message& bytes)
    {
        answer = ReadDhcpv6Answer(bytes.data(), bytes.size(), client);
        return answer && answer->type == awaited &&
               (serverDuid.empty() || answer->serverDuid == serverDuid);
    };
    if (const int error = Ask(transport, build(client), wait, take, step))
        return error;
    if (!step.time)
    {
        answer.reset();
        return 0;
    }
    step.answer = awaited == kDhcpv6Advertise ? "Advertise" : "Reply";
    step.server = HexText(answer->serverDuid.data(), answer->serverDuid.size());
    step.address = AddressesText(answer->addresses);
    step.leaseTime = answer->validLifetime;
    step.status = answer->status;
    step.text = answer->statusText;
    const bool leased = name == "Release" || !answer->addresses.empty();
    step.end = answer->status == kDhcpv6Success && leased ? StepEnd::Answered : StepEnd::Refused;
    if (step.end != StepEnd::Answered)
        answer.reset();
    return 0;
}

int Exchange6(Transport& transport, const HandshakeSettings& settings, Dhcpv6Client& client,
              std::vector<HandshakeStep>& steps)
{
    std::optional<Dhcpv6Answer> advertise;
    if (const int error = Ask6(transport, client, "Solicit", BuildHandshakeSolicit,
                               kDhcpv6Advertise, {}, settings.wait, steps, advertise))
        return error;
    if (!advertise || !settings.fullExchange)
        return 0;
    const OptionBytes server = advertise->serverDuid;
    const OptionBytes offered = *advertise->identityAssociation;
    std::optional<Dhcpv6Answer> reply;
    if (const int error = Ask6(
            transport, client, "Request",
            [&](const Dhcpv6Client& asking)
            { return BuildHandshakeRequest6(asking, server, offered); },
            kDhcpv6Reply, server, settings.wait, steps, reply))
        return error;
    if (!reply)
        return 0;
    const OptionBytes leased = *reply->identityAssociation;
    std::optional<Dhcpv6Answer> released;
    return Ask6(
        transport, client, "Release",
        [&](const Dhcpv6Client& asking) { return BuildHandshakeRelease6(asking, server, leased); },
        kDhcpv6Reply, server, settings.wait, steps, released);
}
} // namespace

int RunHandshake(const HandshakeSettings& settings, HandshakeResult& result)
{
    result = HandshakeResult();
    if (settings.families == 0 ||
        (settings.families & ~unsigned{kCensusDhcpv4 | kCensusDhcpv6}) != 0)
        return EINVAL;
    if (settings.clientMac)
        result.clientMac = *settings.clientMac;
    else if (const int error = RandomLocalMac(result.clientMac))
        return error;
    std::unique_ptr<Transport> transports[2];
    if (settings.relay)
    {
        const std::size_t family = std::holds_alternative<Ipv6Address>(*settings.relay) ? 1 : 0;
        if (settings.families !=
                (family == 1 ? unsigned{kCensusDhcpv6} : unsigned{kCensusDhcpv4}) ||
            settings.relay->index() != settings.server.index())
            return EINVAL;
        auto relayed = std::make_unique<RelayTransport>(*settings.relay, settings.server,
                                                        result.clientMac, settings.interfaceName);
        if (const int error = relayed->Open())
            return error;
        transports[family] = std::move(relayed);
    }
    else
    {
        // Before the sockets: without a carrier the wait holds no privilege.
        if (const int error = WaitForCarrier(settings.interfaceName, Clock::now() + settings.wait,
                                             result.carrier))
            return error;
        if (!result.carrier)
            return 0;
        for (std::size_t family = 0; family < 2; ++family)
        {
            if ((settings.families & (family == 0 ? kCensusDhcpv4 : kCensusDhcpv6)) == 0)
                continue;
            auto link = std::make_unique<LinkTransport>(family == 1, result.clientMac);
            if (const int error = link->Open(settings.interfaceName))
                return error;
            transports[family] = std::move(link);
        }
    }
    if (settings.opened)
    {
        if (const int error = settings.opened())
            return error;
    }
    if (transports[0])
    {
        DhcpClient client;
        client.mac = result.clientMac;
        if (settings.relay)
            client.relayAddress = std::get<std::uint32_t>(*settings.relay);
        if (const int error = RandomValue(client.transactionId))
            return error;
        HandshakeExchange& exchange = result.exchanges.emplace_back();
        if (const int error = Exchange4(*transports[0], settings, client, exchange.steps))
            return error;
    }
    if (transports[1])
    {
        Dhcpv6Client client;
        client.duid = MakeDuidLl(result.clientMac);
        if (const int error = RandomValue(client.iaid))
            return error;
        HandshakeExchange& exchange = result.exchanges.emplace_back();
        exchange.ipv6 = true;
        return Exchange6(*transports[1], settings, client, exchange.steps);
    }
    return 0;
}
