#include "core/options/dhcpv6_decoder.h"

#include "core/options/dhcpv6_options.h"

#include <string>

namespace
{
void Decode(std::uint16_t code, const std::uint8_t* data, std::size_t length, bool typed,
            ExtendedOption& option)
{
    static const std::string kUnnamed = "Option ";
    option.m_nCode = code;
    const Dhcpv6Row* row = kDhcpv6Options.Find(code);
    option.m_name = row != nullptr ? row->pszName : kUnnamed;
    option.m_strText = HexText(data, length, HexCase::Lower);
    if (typed)
        option.m_value = option.m_strText;
}
} // namespace

ExtendedOption DecodeDhcpv6Option(std::uint16_t code, const std::uint8_t* data, std::size_t length)
{
    ExtendedOption option;
    Decode(code, data, data != nullptr ? length : 0, true, option);
    return option;
}

std::vector<ExtendedOption> DecodeAllOptions6(const Dhcpv6Options& options, ExtendedParts parts)
{
    std::vector<ExtendedOption> decoded(options.size());
    auto option = decoded.begin();
    for (const Dhcpv6Option& each : options)
        Decode(each.code, each.data.data(), each.data.size(), parts == ExtendedParts::TextAndValue,
               *option++);
    return decoded;
}
