// Texts and names: NVT ASCII, RFC 1035 names, URIs and what carries them.
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"
#include "core/wire/domain_names.h"
#include "core/wire/hex_text.h"

#include <optional>
#include <vector>

namespace
{
// The names appended ", "-separated to the text, and as a JSON array where
// typed (else null).
Json AppendNames(std::vector<std::string>& names, std::string& text, bool typed)
{
    Json array = typed ? Array(names.size()) : Json();
    for (std::string& name : names)
    {
        Separate(text, &name == &names.front());
        text += name;
        if (typed)
            array.push_back(Json(std::move(name)));
    }
    return array;
}

// One text item of a list: appended ", "-separated, and to the array where typed.
void AppendItem(const DecodeContext& context, OptionData item, ExtendedOption& option)
{
    const std::size_t start = option.m_strText.size() + (option.m_strText.empty() ? 0 : 2);
    Separate(option.m_strText, option.m_strText.empty());
    option.m_strText.append(reinterpret_cast<const char*>(item.data), item.length);
    if (context.typed)
        option.m_value.push_back(Json(option.m_strText.substr(start)));
}

// RFC 2610: the first byte says whether the client must use what follows.
void AppendMandatory(std::string& text, bool mandatory)
{
    if (mandatory)
        text += " (mandatory)";
}

// RFC 4702 2.1: the flags' letters, lowest bit first.
void AppendFqdnFlags(std::string& text, std::uint8_t flags)
{
    static const char kLetters[] = {'S', 'O', 'E', 'N'};
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
    if (flags & 0x0Fu)
        text += ')';
}

// RFC 6731 4.2: the low two bits of the first byte are the preference.
constexpr ValueName kPreferences[] = {
    {0, "medium"}, {1, "high"}, {2, "reserved"}, {3, "low"}, {0, nullptr},
};
} // namespace

bool DecodeText(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    data = WithoutTrailingNuls(data);
    if (data.length == 0)
        return false;
    option.m_strText = RawText(data);
    if (context.typed)
        option.m_value = Json(option.m_strText);
    return true;
}

bool DecodeDomainList(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    std::optional<std::vector<std::string>> names = ReadDomainList(data.data, data.length);
    if (!names)
        return false;
    option.m_value = AppendNames(*names, option.m_strText, context.typed);
    return true;
}

// RFC 3361: the encoding byte says what follows.
bool DecodeSipServers(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length < 2)
        return false;
    const OptionData rest{data.data + 1, data.length - 1};
    if (data.data[0] == 0)
        return DecodeDomainList(context, rest, option);
    if (data.data[0] == 1)
        return DecodeAddresses(context, rest, option);
    return false;
}

bool DecodeClientFqdn(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::uint8_t kCanonical = 0x04; // E: the name is in wire form
    if (data.length < 3)
        return false;
    const std::uint8_t flags = data.data[0];
    const OptionData rest{data.data + 3, data.length - 3};
    std::string name;
    if ((flags & kCanonical) != 0)
    {
        std::optional<std::string> wireName = ReadUncompressedName(rest.data, rest.length);
        if (!wireName)
            return false;
        name = std::move(*wireName);
    }
    else
    {
        name = RawText(rest);
    }
    std::string& text = option.m_strText;
    text.reserve(name.size() + 48);
    text = name;
    text += ", ";
    AppendFqdnFlags(text, flags);
    text += ", rcode1 ";
    AppendNumber(text, data.data[1]);
    text += ", rcode2 ";
    AppendNumber(text, data.data[2]);
    if (context.typed)
        option.m_value = Object("flags", flags, "rcode1", data.data[1], "rcode2", data.data[2],
                                "name", Json(std::move(name)));
    return true;
}

// RFC 3004's classes where the bytes hold them; many clients send plain text.
bool DecodeUserClass(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView classes(Framing::Prefixed8, data.data, data.length);
    if (!classes.IsWhole() || classes.Count() == 0)
        return DecodeText(context, data, option);
    if (context.typed)
        option.m_value = Array(classes.Count());
    for (const Field& item : classes)
        AppendItem(context, {item.data, item.length}, option);
    return true;
}

bool DecodeFlagAndText(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0 || data.data[0] > 1)
        return false;
    const bool mandatory = data.data[0] != 0;
    std::string scopes = RawText(WithoutTrailingNuls({data.data + 1, data.length - 1}));
    option.m_strText = scopes;
    AppendMandatory(option.m_strText, mandatory);
    if (context.typed)
        option.m_value = Object("mandatory", mandatory, "text", Json(std::move(scopes)));
    return true;
}

bool DecodeStatusCode(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0)
        return false;
    std::string message = RawText(WithoutTrailingNuls({data.data + 1, data.length - 1}));
    AppendNumber(option.m_strText, data.data[0]);
    if (!message.empty())
    {
        option.m_strText += ": ";
        option.m_strText += message;
    }
    if (context.typed)
        option.m_value = Object("code", data.data[0], "message", Json(std::move(message)));
    return true;
}

// RFC 8572 8.2: URIs, each after its 16-bit length; none empty.
bool DecodeUriList(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView uris(Framing::Prefixed16, data.data, data.length);
    if (!uris.IsWhole() || uris.Count() == 0)
        return false;
    if (context.typed)
        option.m_value = Array(uris.Count());
    for (const Field& uri : uris)
        AppendItem(context, {uri.data, uri.length}, option);
    return true;
}

// RFC 6731 4.2: flags, primary and secondary server, then the domains and
// networks the servers know, as RFC 1035 names.
bool DecodeRdnssSelection(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kHeader = 1 + 2 * kAddressSize;
    if (data.length < kHeader)
        return false;
    std::vector<std::string> domains;
    if (data.length > kHeader)
    {
        std::optional<std::vector<std::string>> names =
            ReadDomainList(data.data + kHeader, data.length - kHeader);
        if (!names)
            return false;
        domains = std::move(*names);
    }
    const char* preference =
        FindValueName(kPreferences, static_cast<std::uint8_t>(data.data[0] & 0x03u));
    std::string primary;
    AppendDottedQuad(primary, data.data + 1);
    std::string secondary;
    AppendDottedQuad(secondary, data.data + 1 + kAddressSize);
    std::string& text = option.m_strText;
    text = "preference ";
    text += preference;
    text += ", primary ";
    text += primary;
    text += ", secondary ";
    text += secondary;
    std::string domainText;
    Json names = AppendNames(domains, domainText, context.typed);
    if (!domainText.empty())
    {
        text += ", ";
        text += domainText;
    }
    if (context.typed)
        option.m_value =
            Object("flags", data.data[0], "preference", preference, "primary", std::move(primary),
                   "secondary", std::move(secondary), "domains", std::move(names));
    return true;
}

// RFC 9463 6.1: instances, each after its 16-bit length: priority, the
// authentication domain name after its length, and unless the instance ends
// there (ADN-only mode) addresses after their length and SvcParams.
bool DecodeEncryptedDns(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView instances(Framing::Prefixed16, data.data, data.length);
    if (!instances.IsWhole() || instances.Count() == 0)
        return false;
    Json values = context.typed ? Array(instances.Count()) : Json();
    std::string text;
    for (const Field& instance : instances)
    {
        const std::uint8_t* at = instance.data;
        if (instance.length < 3 || instance.length - 3 < at[2])
            return false;
        std::optional<std::string> adn = ReadUncompressedName(at + 3, at[2]);
        if (!adn || adn->empty())
            return false;
        const unsigned priority = ReadBe16(at);
        std::size_t offset = 3u + at[2];
        std::string addressText;
        Json addresses = context.typed ? Json(Json::value_t::array) : Json();
        std::string params;
        if (offset < instance.length)
        {
            const std::size_t addressLength = at[offset++];
            const OptionData list{at + offset, addressLength};
            if (instance.length - offset < addressLength || !IsAddressList(list, kAddressSize))
                return false;
            addresses = AppendAddresses(list, addressText, context.typed);
            offset += addressLength;
            params = HexText(at + offset, instance.length - offset);
        }
        if (!text.empty())
            text += "; ";
        text += "priority ";
        AppendNumber(text, priority);
        text += ", ";
        text += *adn;
        if (!addressText.empty())
        {
            text += ", ";
            text += addressText;
        }
        if (!params.empty())
        {
            text += ", SvcParams ";
            text += params;
        }
        if (context.typed)
            values.push_back(Object("priority", priority, "adn", Json(std::move(*adn)), "addresses",
                                    std::move(addresses), "svcparams", std::move(params)));
    }
    option.m_strText = std::move(text);
    option.m_value = std::move(values);
    return true;
}

// RFC 6607 3.1: a type, then a VPN name (0), an RFC 2685 VPN-ID of OUI and
// index (1), or nothing for the global, default VPN (255).
bool DecodeVirtualSubnet(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    constexpr std::size_t kVpnIdSize = 7;
    if (data.length == 0)
        return false;
    const std::uint8_t type = data.data[0];
    const OptionData rest{data.data + 1, data.length - 1};
    if (type == 0 && rest.length != 0)
    {
        std::string name = RawText(rest);
        option.m_strText = "VPN name ";
        option.m_strText += name;
        if (context.typed)
            option.m_value = Object("type", type, "name", Json(std::move(name)));
        return true;
    }
    if (type == 1 && rest.length == kVpnIdSize)
    {
        std::string oui = HexText(rest.data, 3);
        option.m_strText = "VPN-ID ";
        option.m_strText += oui;
        option.m_strText += ':';
        for (std::size_t i = 3; i < kVpnIdSize; ++i)
            AppendHexByte(option.m_strText, rest.data[i]);
        if (context.typed)
            option.m_value =
                Object("type", type, "oui", std::move(oui), "index", ReadBe32(rest.data + 3));
        return true;
    }
    if (type == 255 && rest.length == 0)
    {
        option.m_strText = "global, default VPN";
        if (context.typed)
            option.m_value = Object("type", type);
        return true;
    }
    return false;
}
