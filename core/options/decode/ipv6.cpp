// DHCPv6 addresses and names: IPv6 addresses and lists of them, RFC 1035
// names without compression (RFC 8415 10), the client's FQDN and the NTP
// server's sub-options.
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"
#include "core/wire/domain_names.h"
#include "core/wire/ipv6_text.h"

#include <optional>

namespace
{
constexpr std::size_t kIpv6Size = 16;
constexpr std::uint8_t kPointerBits = 0xC0;

// The length of the one name at the start of the bytes, root label included,
// or 0 when it is cut short or compressed.
std::size_t NameLength(OptionData data)
{
    std::size_t offset = 0;
    while (offset < data.length)
    {
        const std::uint8_t label = data.data[offset];
        if ((label & kPointerBits) != 0)
            return 0;
        ++offset;
        if (label == 0)
            return offset;
        offset += label;
    }
    return 0;
}

// An uncompressed name ended by its root label, or nullopt.
std::optional<std::string> ReadName(OptionData name)
{
    return ReadUncompressedName(name.data, name.length);
}

// RFC 5908 4: the NTP server's sub-options.
constexpr std::uint16_t kNtpAddress = 1;
constexpr std::uint16_t kNtpMulticast = 2;
constexpr std::uint16_t kNtpFqdn = 3;
} // namespace

bool DecodeAddress6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != kIpv6Size)
        return false;
    option.m_strText = Ipv6Text(data.data);
    if (context.typed)
        option.m_value = Json(option.m_strText);
    return true;
}

bool DecodeAddresses6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0 || data.length % kIpv6Size != 0)
        return false;
    const std::size_t count = data.length / kIpv6Size;
    if (context.typed)
        option.m_value = Array(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        Separate(option.m_strText, i == 0);
        std::string address = Ipv6Text(data.data + i * kIpv6Size);
        option.m_strText += address;
        if (context.typed)
            option.m_value.push_back(Json(std::move(address)));
    }
    return true;
}

bool DecodeDomainList6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0)
        return false;
    if (context.typed)
        option.m_value = Array(0);
    std::size_t offset = 0;
    while (offset < data.length)
    {
        const OptionData rest{data.data + offset, data.length - offset};
        const std::size_t length = NameLength(rest);
        if (length == 0)
            return false;
        std::optional<std::string> name = ReadName({rest.data, length});
        if (!name)
            return false;
        Separate(option.m_strText, offset == 0);
        option.m_strText += *name;
        if (context.typed)
            option.m_value.push_back(Json(std::move(*name)));
        offset += length;
    }
    return true;
}

// One fully qualified name: its root label ends the data.
bool DecodeDomainName6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0 || NameLength(data) != data.length)
        return false;
    std::optional<std::string> name = ReadName(data);
    if (!name)
        return false;
    option.m_strText = *name;
    if (context.typed)
        option.m_value = Json(std::move(*name));
    return true;
}

// RFC 4704 4.1: flags (S, O, N from the lowest bit), then the name, partial
// or whole, or none.
bool DecodeClientFqdn6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    static const char kLetters[] = {'S', 'O', 'N'};
    if (data.length == 0)
        return false;
    const std::uint8_t flags = data.data[0];
    std::string name;
    if (data.length > 1)
    {
        std::optional<std::string> wireName = ReadName({data.data + 1, data.length - 1});
        if (!wireName)
            return false;
        name = std::move(*wireName);
    }
    std::string& text = option.m_strText;
    text = name;
    if (!text.empty())
        text += ", ";
    text += "flags 0x";
    AppendHexByte(text, flags);
    const char* separator = " (";
    for (std::size_t i = 0; i < std::size(kLetters); ++i)
    {
        if ((static_cast<unsigned>(flags) >> i & 1u) == 0)
            continue;
        text += separator;
        text += kLetters[i];
        separator = " ";
    }
    if ((flags & 0x07u) != 0)
        text += ')';
    if (context.typed)
        option.m_value = Object("flags", flags, "name", Json(std::move(name)));
    return true;
}

// RFC 5908 4: one or more sub-options, each an address, a multicast address
// or a name.
bool DecodeNtpServer(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView suboptions(Framing::Tlv16, data.data, data.length);
    if (!suboptions.IsWhole() || suboptions.Count() == 0)
        return false;
    if (context.typed)
        option.m_value = Array(suboptions.Count());
    bool first = true;
    for (const Field& suboption : suboptions)
    {
        const char* name = nullptr;
        std::string value;
        switch (suboption.tag)
        {
        case kNtpAddress:
        case kNtpMulticast:
            if (suboption.length != kIpv6Size)
                return false;
            name = suboption.tag == kNtpAddress ? "Server Address" : "Multicast Address";
            value = Ipv6Text(suboption.data);
            break;
        case kNtpFqdn:
        {
            std::optional<std::string> fqdn = ReadName({suboption.data, suboption.length});
            if (!fqdn || suboption.length == 0)
                return false;
            name = "Server FQDN";
            value = std::move(*fqdn);
            break;
        }
        default:
            AppendHex(value, suboption.data, suboption.length);
            break;
        }
        Separate(option.m_strText, first);
        first = false;
        if (name != nullptr)
            option.m_strText += name;
        else
            AppendNumber(option.m_strText, suboption.tag);
        option.m_strText += ' ';
        option.m_strText += value;
        if (context.typed)
            option.m_value.push_back(Object("code", suboption.tag, "name",
                                            name != nullptr ? Json(name) : Json(), "value",
                                            Json(std::move(value))));
    }
    return true;
}
