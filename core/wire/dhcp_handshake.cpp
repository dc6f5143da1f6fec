#include "core/wire/dhcp_handshake.h"

#include "core/wire/address_list.h"
#include "core/wire/bootp_message.h"
#include "core/wire/byte_order.h"

#include <algorithm>
#include <utility>

namespace
{
constexpr std::size_t kHopsOffset = 3;
constexpr std::size_t kRelayAddressOffset = 24;
// What a handshake asks for: what a client needs to use the lease.
constexpr std::uint8_t kRequested[] = {kOptionSubnetMask, kOptionRouters,     kOptionDnsServers,
                                       kOptionLeaseTime,  kOptionRenewalTime, kOptionRebindingTime};

std::vector<std::uint8_t> Bytes32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// A relay agent fills giaddr and counts its hop (RFC 1542 4.1.1).
std::vector<std::uint8_t> Relayed(std::vector<std::uint8_t> bytes, std::uint32_t relayAddress)
{
    if (relayAddress == 0)
        return bytes;
    bytes[kHopsOffset] = 1;
    const std::vector<std::uint8_t> giaddr = Bytes32(relayAddress);
    std::copy(giaddr.begin(), giaddr.end(), bytes.begin() + kRelayAddressOffset);
    return bytes;
}

// A message to the server that chose us, relayed as the DISCOVER was.
std::vector<std::uint8_t> ToServer(BootpMessage message, const DhcpClient& client,
                                   std::uint32_t serverId)
{
    message.m_mapOptions[kOptionServerId] = Bytes32(serverId);
    return Relayed(SerializeBootpMessage(message), client.relayAddress);
}
} // namespace

std::vector<std::uint8_t> BuildHandshakeDiscover(const DhcpClient& client)
{
    DiscoverRequest request;
    request.clientMac = client.mac;
    request.transactionId = client.transactionId;
    request.requestedOptions.assign(std::begin(kRequested), std::end(kRequested));
    return Relayed(BuildDiscoverRequest(request), client.relayAddress);
}

std::vector<std::uint8_t> BuildHandshakeRequest(const DhcpClient& client, std::uint32_t serverId,
                                                std::uint32_t address)
{
    BootpMessage message = ClientBootpMessage(client.mac, client.transactionId, kDhcpRequest);
    message.flags = kBroadcastFlag;
    message.m_mapOptions[kOptionRequestedAddress] = Bytes32(address);
    message.m_mapOptions[kOptionParameterList].assign(std::begin(kRequested), std::end(kRequested));
    return ToServer(std::move(message), client, serverId);
}

std::vector<std::uint8_t> BuildHandshakeRelease(const DhcpClient& client, std::uint32_t serverId,
                                                std::uint32_t address)
{
    BootpMessage message = ClientBootpMessage(client.mac, client.transactionId, kDhcpRelease);
    message.m_nClientAddress = address;
    return ToServer(std::move(message), client, serverId);
}

std::optional<DhcpAnswer> ReadDhcpAnswer(const std::uint8_t* bytes, std::size_t size,
                                         const DhcpClient& client)
{
    const std::optional<BootpMessage> message = ParseBootpMessage(bytes, size);
    if (!message || message->m_nOp != kBootReply ||
        message->m_nTransactionId != client.transactionId ||
        message->m_nHardwareLength != client.mac.size() ||
        !std::equal(client.mac.begin(), client.mac.end(), message->m_ClientHardware.begin()))
        return std::nullopt;
    DhcpAnswer answer;
    answer.type = MessageType(*message);
    if (answer.type != kDhcpOffer && answer.type != kDhcpAck && answer.type != kDhcpNak)
        return std::nullopt;
    answer.address = message->m_nYourAddress;
    const OptionMap& options = message->m_mapOptions;
    if (const auto id = options.find(kOptionServerId);
        id != options.end() && id->second.size() == 4)
        answer.serverId = ReadBe32(id->second.data());
    if (const auto time = options.find(kOptionLeaseTime);
        time != options.end() && time->second.size() == 4)
        answer.leaseTime = ReadBe32(time->second.data());
    if (const auto mask = options.find(kOptionSubnetMask);
        mask != options.end() && mask->second.size() == 4)
        answer.subnetMask = ReadBe32(mask->second.data());
    if (const auto routers = options.find(kOptionRouters); routers != options.end())
    {
        const Ipv4AddressList list(routers->second.data(), routers->second.size());
        for (std::size_t i = 0; i < list.Count(); ++i)
            answer.routers.push_back(ReadBe32(list.At(i)));
    }
    if (const auto text = options.find(kOptionMessage); text != options.end())
        answer.message.assign(text->second.begin(), text->second.end());
    return answer;
}
