// Decodes arbitrary bytes through the DHCPv6 table: the first two bytes are
// the option code, the rest its data (read in place, so that a decoder's read
// past the length is an overflow). The same data, read as DHCPv6 options,
// makes a lease decoded for its text alone, as rows and the window decode it.
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/dhcpv6_message.h"

#include <cstdlib>

namespace
{
// A malformed option shows its bytes, and only them.
void CheckMalformed(const ExtendedOption& option, const std::uint8_t* data, std::size_t length)
{
    if (!option.m_bMalformed)
        return;
    const std::string hex = HexText(data, length);
    if (option.m_strText != hex || (!option.m_value.is_null() && option.m_value != hex))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size < 2)
        return 0;
    const auto code = static_cast<std::uint16_t>(input[0] << 8 | input[1]);
    const ExtendedOption option = DecodeDhcpv6Option(code, input + 2, size - 2);
    if (option.m_nCode != code)
        std::abort();
    CheckMalformed(option, input + 2, size - 2);

    Dhcpv6Options options;
    ReadDhcpv6Options(input + 2, size - 2, options);
    const std::vector<ExtendedOption> decoded = DecodeAllOptions6(options, ExtendedParts::Text);
    if (decoded.size() != options.size())
        std::abort();
    for (std::size_t i = 0; i < decoded.size(); ++i)
    {
        if (decoded[i].m_nCode != options[i].code || !decoded[i].m_value.is_null())
            std::abort();
        CheckMalformed(decoded[i], options[i].data.data(), options[i].data.size());
    }
    return 0;
}
