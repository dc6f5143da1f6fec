// The readers of a DHCPv6 server's answers to the handshake: arbitrary bytes
// as a Relay-reply (for the peer-address and Interface-Id it names) and as
// the message inside it or alone, for the client whose transaction id, DUID
// and IAID the message carries. What is taken lies within the input.
#include "core/wire/byte_order.h"
#include "core/wire/dhcpv6_handshake.h"
#include "core/wire/dhcpv6_message.h"

#include <algorithm>
#include <cstdlib>

namespace
{
void ReadAnswer(const std::uint8_t* bytes, std::size_t size)
{
    Dhcpv6Client client;
    if (const std::optional<Dhcpv6Message> message = ParseDhcpv6Message(bytes, size))
    {
        client.transactionId = message->transactionId;
        for (const Dhcpv6Option& option : message->options)
        {
            if (option.code == 1)
                client.duid = option.data;
            if (option.code == 3 && option.data.size() >= 4)
                client.iaid = ReadBe32(option.data.data());
        }
    }
    const std::optional<Dhcpv6Answer> answer = ReadDhcpv6Answer(bytes, size, client);
    if (answer && (answer->serverDuid.size() > size || answer->statusText.size() > size ||
                   (answer->identityAssociation && answer->identityAssociation->size() > size)))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    Ipv6Address peer{};
    if (size >= 34)
        std::copy_n(input + 18, peer.size(), peer.begin());
    const OptionBytes interfaceId = {'v', 'y'};
    if (const std::optional<std::vector<std::uint8_t>> inner =
            ReadRelayReply(input, size, peer, interfaceId))
    {
        if (inner->size() > size)
            std::abort();
        ReadAnswer(inner->data(), inner->size());
    }
    ReadAnswer(input, size);
    return 0;
}
