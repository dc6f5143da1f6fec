// Parses arbitrary bytes as a DHCPv6 message: a message that parses writes
// back to the same bytes, each of its options decodes, and its leased
// addresses and prefixes read with their lifetimes.
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/dhcpv6_message.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    const std::optional<Dhcpv6Message> message = ParseDhcpv6Message(input, size);
    if (!message)
        return 0;
    const std::vector<std::uint8_t> written = WriteDhcpv6Message(*message);
    if (written != std::vector<std::uint8_t>(input, input + size))
        std::abort();
    const std::vector<ExtendedOption> decoded = DecodeAllOptions6(message->options);
    if (decoded.size() != message->options.size())
        std::abort();
    if (LeasedAddressesWithLifetimes(message->options).size() !=
        LeasedAddresses(message->options).size())
        std::abort();
    if (const std::optional<std::uint32_t> valid = ShortestValidLifetime(message->options);
        valid && *valid == 0xFFFFFFFF)
        std::abort();
    return 0;
}
