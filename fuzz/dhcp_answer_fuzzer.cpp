// The reader of a DHCPv4 server's answer to the handshake: arbitrary bytes
// as the UDP payload, for the client whose transaction id and chaddr the
// bytes themselves carry (so that answers get past the first checks). An
// answer taken is an OFFER, ACK or NAK, and a NAK's message is no longer
// than an option can be.
#include "core/wire/byte_order.h"
#include "core/wire/dhcp_handshake.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    DhcpClient client;
    if (size >= 34)
    {
        client.transactionId = ReadBe32(input + 4);
        std::copy_n(input + 28, client.mac.size(), client.mac.begin());
    }
    const std::optional<DhcpAnswer> answer = ReadDhcpAnswer(input, size, client);
    if (answer &&
        ((answer->type != kDhcpOffer && answer->type != kDhcpAck && answer->type != kDhcpNak) ||
         answer->message.size() > size))
        std::abort();
    return 0;
}
