// DHCPv6 containers: identity associations with their addresses and
// prefixes, relayed messages, options that carry options, and what reports on
// them (status codes, requested codes, elapsed time).
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"
#include "core/wire/ipv6_text.h"

namespace
{
constexpr std::size_t kIpv6Size = 16;

// RFC 8415 21.13 and the registry's later codes.
constexpr const char* kStatusNames[] = {
    "Success",
    "UnspecFail",
    "NoAddrsAvail",
    "NoBinding",
    "NotOnLink",
    "UseMulticast",
    "NoPrefixAvail",
    "UnknownQueryType",
    "MalformedQuery",
    "NotConfigured",
    "NotAllowed",
    "QueryTerminated",
    "DataMissing",
    "CatchUpComplete",
    "NotSupported",
    "TLSConnectionRefused",
    "AddressInUse",
    "ConfigurationConflict",
    "MissingBindingInformation",
    "OutdatedBindingInformation",
    "ServerShuttingDown",
    "DNSUpdateNotSupported",
    "ExcessiveTimeSkew",
};

// RFC 8415 7.3.
constexpr const char* kMessageNames[] = {
    nullptr,      "Solicit",    "Advertise", "Request", "Confirm",     "Renew",
    "Rebind",     "Reply",      "Release",   "Decline", "Reconfigure", "Information-request",
    "Relay-forw", "Relay-repl",
};
constexpr std::uint8_t kRelayForward = 12;
constexpr std::uint8_t kRelayReply = 13;

template <std::size_t N> Json NameOf(const char* const (&names)[N], std::size_t value)
{
    return value < N && names[value] != nullptr ? Json(names[value]) : Json();
}

void AppendLifetime(std::string& text, const char* label, std::uint32_t seconds)
{
    text += label;
    text += DurationText(seconds);
}

// The options after an association's fixed fields: ", {...}" in the text,
// "options" in the value.
bool AppendTrailingOptions(const DecodeContext& context, OptionData data, std::size_t fixed,
                           ExtendedOption& option, Json& options)
{
    if (data.length == fixed)
    {
        options = context.typed ? Array(0) : Json();
        return true;
    }
    option.m_strText += ", ";
    return AppendOptions6(context, {data.data + fixed, data.length - fixed}, option.m_strText,
                          options);
}
} // namespace

bool DecodeIaNa(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kFixed = 12;
    if (data.length < kFixed)
        return false;
    const std::uint32_t iaid = ReadBe32(data.data);
    const std::uint32_t t1 = ReadBe32(data.data + 4);
    const std::uint32_t t2 = ReadBe32(data.data + 8);
    option.m_strText = "IAID ";
    AppendNumber(option.m_strText, iaid);
    AppendLifetime(option.m_strText, ", T1 ", t1);
    AppendLifetime(option.m_strText, ", T2 ", t2);
    Json options;
    if (!AppendTrailingOptions(context, data, kFixed, option, options))
        return false;
    if (context.typed)
        option.m_value = Object("iaid", iaid, "t1", t1, "t2", t2, "options", std::move(options));
    return true;
}

bool DecodeIaTa(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kFixed = 4;
    if (data.length < kFixed)
        return false;
    const std::uint32_t iaid = ReadBe32(data.data);
    option.m_strText = "IAID ";
    AppendNumber(option.m_strText, iaid);
    Json options;
    if (!AppendTrailingOptions(context, data, kFixed, option, options))
        return false;
    if (context.typed)
        option.m_value = Object("iaid", iaid, "options", std::move(options));
    return true;
}

bool DecodeIaAddress(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kFixed = kIpv6Size + 8;
    if (data.length < kFixed)
        return false;
    std::string address = Ipv6Text(data.data);
    const std::uint32_t preferred = ReadBe32(data.data + kIpv6Size);
    const std::uint32_t valid = ReadBe32(data.data + kIpv6Size + 4);
    option.m_strText = address;
    AppendLifetime(option.m_strText, ", preferred ", preferred);
    AppendLifetime(option.m_strText, ", valid ", valid);
    Json options;
    if (!AppendTrailingOptions(context, data, kFixed, option, options))
        return false;
    if (context.typed)
        option.m_value = Object("address", std::move(address), "preferred_lifetime", preferred,
                                "valid_lifetime", valid, "options", std::move(options));
    return true;
}

bool DecodeIaPrefix(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kFixed = 9 + kIpv6Size;
    constexpr std::uint8_t kMaxPrefixLength = 128;
    if (data.length < kFixed || data.data[8] > kMaxPrefixLength)
        return false;
    const std::uint32_t preferred = ReadBe32(data.data);
    const std::uint32_t valid = ReadBe32(data.data + 4);
    std::string prefix = Ipv6Text(data.data + 9);
    prefix += '/';
    AppendNumber(prefix, data.data[8]);
    option.m_strText = prefix;
    AppendLifetime(option.m_strText, ", preferred ", preferred);
    AppendLifetime(option.m_strText, ", valid ", valid);
    Json options;
    if (!AppendTrailingOptions(context, data, kFixed, option, options))
        return false;
    if (context.typed)
        option.m_value = Object("preferred_lifetime", preferred, "valid_lifetime", valid, "prefix",
                                std::move(prefix), "options", std::move(options));
    return true;
}

bool DecodeOptions6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    Json options;
    if (!AppendOptions6(context, data, option.m_strText, options))
        return false;
    option.m_value = std::move(options);
    return true;
}

// RFC 8415 8 and 9: a client's or server's message, or a relay's, whose
// options nest one level deeper.
bool DecodeRelayMessage(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length < 4)
        return false;
    const std::uint8_t type = data.data[0];
    const bool relayed = type == kRelayForward || type == kRelayReply;
    const std::size_t fixed = relayed ? 2 + 2 * kIpv6Size : 4;
    if (data.length < fixed)
        return false;
    Json name = NameOf(kMessageNames, type);
    std::string& text = option.m_strText;
    text = name.is_null() ? "message " : name.get_ref<const std::string&>();
    if (name.is_null())
        AppendNumber(text, type);
    std::string linkAddress;
    std::string peerAddress;
    std::string transactionId;
    if (relayed)
    {
        linkAddress = Ipv6Text(data.data + 2);
        peerAddress = Ipv6Text(data.data + 2 + kIpv6Size);
        text += ", hop count ";
        AppendNumber(text, data.data[1]);
        text += ", link ";
        text += linkAddress;
        text += ", peer ";
        text += peerAddress;
    }
    else
    {
        text += ", transaction ";
        const std::size_t start = text.size();
        AppendHex(text, data.data + 1, 3);
        transactionId = text.substr(start);
    }
    Json options;
    if (!AppendTrailingOptions(context, data, fixed, option, options))
        return false;
    if (!context.typed)
        return true;
    if (relayed)
        option.m_value =
            Object("msg_type", type, "name", std::move(name), "hop_count", data.data[1],
                   "link_address", std::move(linkAddress), "peer_address", std::move(peerAddress),
                   "options", std::move(options));
    else
        option.m_value = Object("msg_type", type, "name", std::move(name), "transaction_id",
                                std::move(transactionId), "options", std::move(options));
    return true;
}

bool DecodeStatusCode6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length < 2)
        return false;
    const std::uint16_t code = ReadBe16(data.data);
    Json name = NameOf(kStatusNames, code);
    std::string message = RawText({data.data + 2, data.length - 2});
    AppendNumber(option.m_strText, code);
    if (!name.is_null())
    {
        option.m_strText += " (";
        option.m_strText += name.get_ref<const std::string&>();
        option.m_strText += ')';
    }
    if (!message.empty())
    {
        option.m_strText += ": ";
        option.m_strText += message;
    }
    if (context.typed)
        option.m_value =
            Object("code", code, "name", std::move(name), "message", Json(std::move(message)));
    return true;
}

bool DecodeOptionCodes(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length % 2 != 0)
        return false;
    const std::size_t count = data.length / 2;
    if (context.typed)
        option.m_value = Array(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::uint16_t code = ReadBe16(data.data + 2 * i);
        const char* name = OptionName6(code);
        Separate(option.m_strText, i == 0);
        AppendNumber(option.m_strText, code);
        if (name != nullptr)
        {
            option.m_strText += " (";
            option.m_strText += name;
            option.m_strText += ')';
        }
        if (context.typed)
            option.m_value.push_back(
                Object("code", code, "name", name != nullptr ? Json(name) : Json()));
    }
    return true;
}

// RFC 8415 21.9: hundredths of a second; all ones stands for that or more.
bool DecodeHundredths(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 2)
        return false;
    const std::uint16_t hundredths = ReadBe16(data.data);
    AppendNumber(option.m_strText, hundredths / 100);
    option.m_strText += '.';
    const unsigned fraction = hundredths % 100;
    if (fraction < 10)
        option.m_strText += '0';
    AppendNumber(option.m_strText, fraction);
    option.m_strText += hundredths == 0xFFFF ? " s or more" : " s";
    if (context.typed)
        option.m_value = hundredths;
    return true;
}
