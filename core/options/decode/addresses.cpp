// IPv4 addresses: alone, in lists, in pairs, and after a header.
#include "core/options/decode/decoders.h"

#include "core/wire/address_list.h"
#include "core/wire/byte_order.h"

namespace
{
// Pairs of addresses, named by the keys and joined by the word between them.
bool DecodePairs(const DecodeContext& context, OptionData data, const char* first,
                 const char* second, const char* between, ExtendedOption& option)
{
    constexpr std::size_t kPairSize = 2 * kAddressSize;
    if (data.length == 0 || data.length % kPairSize != 0)
        return false;
    const Ipv4AddressList addresses(data.data, data.length);
    if (context.typed)
        option.m_value = Array(addresses.Count() / 2);
    std::string& text = option.m_strText;
    text.reserve(addresses.Count() * 20);
    for (std::size_t i = 0; i < addresses.Count(); i += 2)
    {
        Separate(text, i == 0);
        const std::size_t firstStart = text.size();
        AppendDottedQuad(text, addresses.At(i));
        const std::size_t firstEnd = text.size();
        text += between;
        const std::size_t secondStart = text.size();
        AppendDottedQuad(text, addresses.At(i + 1));
        if (context.typed)
            option.m_value.push_back(Object(first, text.substr(firstStart, firstEnd - firstStart),
                                            second, text.substr(secondStart)));
    }
    return true;
}

// RFC 2610: the first byte says whether the client must use what follows.
void AppendMandatory(std::string& text, bool mandatory)
{
    if (mandatory)
        text += " (mandatory)";
}
} // namespace

bool DecodeAddress(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != kAddressSize)
        return false;
    AppendDottedQuad(option.m_strText, data.data);
    if (context.typed)
        option.m_value = option.m_strText;
    return true;
}

bool DecodeAddresses(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (!IsAddressList(data, kAddressSize))
        return false;
    option.m_value = AppendAddresses(data, option.m_strText, context.typed);
    return true;
}

bool DecodeAddressMaskPairs(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodePairs(context, data, "address", "mask", " mask ", option);
}

bool DecodeStaticRoutes(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodePairs(context, data, "destination", "router", " via ", option);
}

bool DecodeFlagAndAddresses(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0 || data.data[0] > 1)
        return false;
    const OptionData rest{data.data + 1, data.length - 1};
    if (!IsAddressList(rest, 0))
        return false;
    const bool mandatory = data.data[0] != 0;
    Json addresses = AppendAddresses(rest, option.m_strText, context.typed);
    AppendMandatory(option.m_strText, mandatory);
    if (context.typed)
        option.m_value = Object("mandatory", mandatory, "addresses", std::move(addresses));
    return true;
}

// RFC 7291 4: lists of servers, each after its length in bytes; the lists
// are shown apart by "; ".
bool DecodePcpServers(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView lists(Framing::Prefixed8, data.data, data.length);
    if (!lists.IsWhole() || lists.Count() == 0)
        return false;
    for (const Field& list : lists)
        if (!IsAddressList({list.data, list.length}, kAddressSize))
            return false;
    if (context.typed)
        option.m_value = Array(lists.Count());
    for (const Field& list : lists)
    {
        if (!option.m_strText.empty())
            option.m_strText += "; ";
        Json addresses = AppendAddresses({list.data, list.length}, option.m_strText, context.typed);
        if (context.typed)
            option.m_value.push_back(std::move(addresses));
    }
    return true;
}

// RFC 4174: functions, DD access and administrative flags (16 bits each), the
// server security bitmap (32 bits), then the primary server, the heartbeat
// originator and the secondary servers.
bool DecodeIsnsServers(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 10;
    if (data.length < kHeader)
        return false;
    const OptionData servers{data.data + kHeader, data.length - kHeader};
    if (!IsAddressList(servers, 0))
        return false;
    const unsigned functions = ReadBe16(data.data);
    const unsigned ddAccess = ReadBe16(data.data + 2);
    const unsigned adminFlags = ReadBe16(data.data + 4);
    const std::uint32_t security = ReadBe32(data.data + 6);
    std::string& text = option.m_strText;
    text = "functions ";
    AppendHexNumber(text, functions, 4);
    text += ", DD access ";
    AppendHexNumber(text, ddAccess, 4);
    text += ", admin flags ";
    AppendHexNumber(text, adminFlags, 4);
    text += ", security bitmap ";
    AppendHexNumber(text, security, 8);
    std::string addressText;
    Json addresses = AppendAddresses(servers, addressText, context.typed);
    if (!addressText.empty())
    {
        text += ", servers ";
        text += addressText;
    }
    if (context.typed)
        option.m_value =
            Object("functions", functions, "dd_access", ddAccess, "admin_flags", adminFlags,
                   "security_bitmap", security, "addresses", std::move(addresses));
    return true;
}
