#include "core/wire/dhcpv6_handshake.h"

#include "core/wire/byte_order.h"
#include "core/wire/dhcpv6_message.h"

#include <algorithm>

namespace
{
constexpr std::uint16_t kOptionClientId6 = 1;
constexpr std::uint16_t kOptionServerId6 = 2;
constexpr std::uint16_t kOptionIaNa = 3;
constexpr std::uint16_t kOptionRequest6 = 6;
constexpr std::uint16_t kOptionElapsedTime = 8;
constexpr std::uint16_t kOptionRelayMessage = 9;
constexpr std::uint16_t kOptionStatusCode = 13;
constexpr std::uint16_t kOptionInterfaceId = 18;
constexpr std::uint16_t kOptionDnsServers6 = 23;
constexpr std::size_t kIaNaHeader = 12;  // IAID, T1, T2
constexpr std::size_t kRelayHeader = 34; // type, hop count, link-address, peer-address

OptionBytes IdentityAssociation(std::uint32_t iaid)
{
    OptionBytes bytes(kIaNaHeader);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(iaid >> (24 - 8 * i));
    return bytes;
}

std::vector<std::uint8_t> ClientMessage(const Dhcpv6Client& client, std::uint8_t type,
                                        Dhcpv6Options options)
{
    Dhcpv6Message message;
    message.type = type;
    message.transactionId = client.transactionId & 0xFFFFFF;
    message.options = {{kOptionClientId6, client.duid}, {kOptionElapsedTime, {0, 0}}};
    message.options.insert(message.options.end(), options.begin(), options.end());
    return WriteDhcpv6Message(message);
}

const Dhcpv6Option* Find(const Dhcpv6Options& options, std::uint16_t code)
{
    const auto found =
        std::find_if(options.begin(), options.end(),
                     [code](const Dhcpv6Option& option) { return option.code == code; });
    return found != options.end() ? &*found : nullptr;
}

// A Status Code option's code and text; false when it is shorter than its code.
bool ReadStatus(const Dhcpv6Option& option, std::uint16_t& status, std::string& text)
{
    if (option.data.size() < 2)
        return false;
    status = ReadBe16(option.data.data());
    text.assign(option.data.begin() + 2, option.data.end());
    return true;
}
} // namespace

std::vector<std::uint8_t> BuildHandshakeSolicit(const Dhcpv6Client& client)
{
    return ClientMessage(client, kDhcpv6Solicit,
                         {{kOptionIaNa, IdentityAssociation(client.iaid)},
                          {kOptionRequest6, {0, kOptionDnsServers6}}});
}

std::vector<std::uint8_t> BuildHandshakeRequest6(const Dhcpv6Client& client,
                                                 const OptionBytes& serverDuid,
                                                 const OptionBytes& identityAssociation)
{
    return ClientMessage(client, kDhcpv6Request,
                         {{kOptionServerId6, serverDuid},
                          {kOptionIaNa, identityAssociation},
                          {kOptionRequest6, {0, kOptionDnsServers6}}});
}

std::vector<std::uint8_t> BuildHandshakeRelease6(const Dhcpv6Client& client,
                                                 const OptionBytes& serverDuid,
                                                 const OptionBytes& identityAssociation)
{
    return ClientMessage(client, kDhcpv6Release,
                         {{kOptionServerId6, serverDuid}, {kOptionIaNa, identityAssociation}});
}

std::optional<Dhcpv6Answer> ReadDhcpv6Answer(const std::uint8_t* message, std::size_t size,
                                             const Dhcpv6Client& client)
{
    const std::optional<Dhcpv6Message> parsed = ParseDhcpv6Message(message, size);
    if (!parsed || (parsed->type != kDhcpv6Advertise && parsed->type != kDhcpv6Reply) ||
        parsed->transactionId != (client.transactionId & 0xFFFFFF))
        return std::nullopt;
    const Dhcpv6Option* clientId = Find(parsed->options, kOptionClientId6);
    if (clientId == nullptr || clientId->data != client.duid)
        return std::nullopt;
    Dhcpv6Answer answer;
    answer.type = parsed->type;
    if (const Dhcpv6Option* serverId = Find(parsed->options, kOptionServerId6))
        answer.serverDuid = serverId->data;
    const Dhcpv6Option* status = Find(parsed->options, kOptionStatusCode);
    bool statusRead = status != nullptr && ReadStatus(*status, answer.status, answer.statusText);
    for (const Dhcpv6Option& option : parsed->options)
    {
        if (option.code != kOptionIaNa || option.data.size() < kIaNaHeader ||
            ReadBe32(option.data.data()) != client.iaid)
            continue;
        answer.identityAssociation = option.data;
        for (const LeasedAddressLifetimes& leased : LeasedAddressesWithLifetimes({option}))
        {
            answer.addresses.push_back(leased.address);
            if (!answer.validLifetime)
                answer.validLifetime = leased.valid;
        }
        Dhcpv6Options inside;
        ReadDhcpv6Options(option.data.data() + kIaNaHeader, option.data.size() - kIaNaHeader,
                          inside);
        if (const Dhcpv6Option* iaStatus = Find(inside, kOptionStatusCode); iaStatus && !statusRead)
            statusRead = ReadStatus(*iaStatus, answer.status, answer.statusText);
        break;
    }
    return answer;
}

std::vector<std::uint8_t> BuildRelayForward(const Ipv6Address& linkAddress,
                                            const Ipv6Address& peerAddress,
                                            const OptionBytes& interfaceId,
                                            const std::vector<std::uint8_t>& message)
{
    std::vector<std::uint8_t> bytes{kDhcpv6RelayForward, 0};
    bytes.insert(bytes.end(), linkAddress.begin(), linkAddress.end());
    bytes.insert(bytes.end(), peerAddress.begin(), peerAddress.end());
    WriteDhcpv6Options({{kOptionInterfaceId, interfaceId}, {kOptionRelayMessage, message}}, bytes);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> ReadRelayReply(const std::uint8_t* message,
                                                        std::size_t size,
                                                        const Ipv6Address& peerAddress,
                                                        const OptionBytes& interfaceId)
{
    if (size < kRelayHeader || message[0] != kDhcpv6RelayReply ||
        !std::equal(peerAddress.begin(), peerAddress.end(), message + 18))
        return std::nullopt;
    Dhcpv6Options options;
    if (!ReadDhcpv6Options(message + kRelayHeader, size - kRelayHeader, options))
        return std::nullopt;
    const Dhcpv6Option* echoed = Find(options, kOptionInterfaceId);
    const Dhcpv6Option* inner = Find(options, kOptionRelayMessage);
    if (inner == nullptr || (echoed != nullptr && echoed->data != interfaceId))
        return std::nullopt;
    return inner->data;
}
