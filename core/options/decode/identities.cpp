// DHCPv6 identities and classes: DUIDs, link-layer addresses, relay
// identifiers, and the user's and vendor's classes and options with their
// 16-bit lengths.
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"
#include "core/wire/duid.h"
#include "core/wire/hex_text.h"

namespace
{
constexpr std::size_t kEnterpriseSize = 4;

void AppendEnterprise(std::string& text, std::uint32_t enterprise)
{
    text += "enterprise ";
    AppendNumber(text, enterprise);
    text += ": ";
}

// Appends the hex of the bytes to the text and returns it.
std::string AppendHexPart(std::string& text, const std::uint8_t* data, std::size_t length)
{
    const std::size_t start = text.size();
    AppendHex(text, data, length);
    return text.substr(start);
}
} // namespace

bool DecodeDuid(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const std::optional<Duid> duid = ReadDuid(data.data, data.length);
    if (!duid)
        return false;
    std::string& text = option.m_strText;
    switch (duid->type)
    {
    case kDuidLlt:
    case kDuidLl:
    {
        std::string address = MacText(duid->rest, duid->restLength);
        text = duid->type == kDuidLlt ? "LLT, hardware " : "LL, hardware ";
        AppendNumber(text, duid->hardwareType);
        if (duid->type == kDuidLl)
        {
            text += ", ";
            text += address;
            if (context.typed)
                option.m_value = Object("type", duid->type, "hardware_type", duid->hardwareType,
                                        "link_layer_address", std::move(address));
            return true;
        }
        std::string time = DuidTimeText(duid->time);
        text += ", ";
        text += time;
        text += ", ";
        text += address;
        if (context.typed)
            option.m_value =
                Object("type", duid->type, "hardware_type", duid->hardwareType, "time", duid->time,
                       "time_text", std::move(time), "link_layer_address", std::move(address));
        return true;
    }
    case kDuidEn:
    {
        text = "EN, ";
        AppendEnterprise(text, duid->enterprise);
        std::string identifier = AppendHexPart(text, duid->rest, duid->restLength);
        if (context.typed)
            option.m_value = Object("type", duid->type, "enterprise", duid->enterprise,
                                    "identifier", std::move(identifier));
        return true;
    }
    case kDuidUuid:
    {
        std::string uuid = UuidText(duid->rest);
        text = "UUID ";
        text += uuid;
        if (context.typed)
            option.m_value = Object("type", duid->type, "uuid", std::move(uuid));
        return true;
    }
    default:
    {
        text = "type ";
        AppendNumber(text, duid->type);
        text += ", ";
        std::string hex = AppendHexPart(text, duid->rest, duid->restLength);
        if (context.typed)
            option.m_value = Object("type", duid->type, "hex", std::move(hex));
        return true;
    }
    }
}

// RFC 6939: the IANA hardware type, then the address.
bool DecodeLinkLayerAddress(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length < 3)
        return false;
    const std::uint16_t type = ReadBe16(data.data);
    std::string address = MacText(data.data + 2, data.length - 2);
    option.m_strText = "type ";
    AppendNumber(option.m_strText, type);
    option.m_strText += ", ";
    option.m_strText += address;
    if (context.typed)
        option.m_value = Object("type", type, "address", std::move(address));
    return true;
}

// RFC 4649: the relay's enterprise, then its identifier of the client.
bool DecodeRemoteId(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length <= kEnterpriseSize)
        return false;
    const std::uint32_t enterprise = ReadBe32(data.data);
    AppendEnterprise(option.m_strText, enterprise);
    std::string hex =
        AppendHexPart(option.m_strText, data.data + kEnterpriseSize, data.length - kEnterpriseSize);
    if (context.typed)
        option.m_value = Object("enterprise", enterprise, "remote_id", std::move(hex));
    return true;
}

bool DecodeUserClasses6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView classes(Framing::Prefixed16, data.data, data.length);
    if (!classes.IsWhole() || classes.Count() == 0)
        return false;
    if (context.typed)
        option.m_value = Array(classes.Count());
    bool first = true;
    for (const Field& item : classes)
    {
        Separate(option.m_strText, first);
        first = false;
        const std::size_t start = option.m_strText.size();
        option.m_strText.append(reinterpret_cast<const char*>(item.data), item.length);
        if (context.typed)
            option.m_value.push_back(Json(option.m_strText.substr(start)));
    }
    return true;
}

bool DecodeVendorClass6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length <= kEnterpriseSize)
        return false;
    const FieldView classes(Framing::Prefixed16, data.data + kEnterpriseSize,
                            data.length - kEnterpriseSize);
    if (!classes.IsWhole())
        return false;
    const std::uint32_t enterprise = ReadBe32(data.data);
    AppendEnterprise(option.m_strText, enterprise);
    Json hexes = context.typed ? Array(classes.Count()) : Json();
    bool first = true;
    for (const Field& item : classes)
    {
        Separate(option.m_strText, first);
        first = false;
        std::string hex = AppendHexPart(option.m_strText, item.data, item.length);
        if (context.typed)
            hexes.push_back(Json(std::move(hex)));
    }
    if (context.typed)
        option.m_value = Object("enterprise", enterprise, "data", std::move(hexes));
    return true;
}

bool DecodeVendorOptions6(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length < kEnterpriseSize)
        return false;
    const FieldView entries(Framing::Tlv16, data.data + kEnterpriseSize,
                            data.length - kEnterpriseSize);
    if (!entries.IsWhole())
        return false;
    const std::uint32_t enterprise = ReadBe32(data.data);
    AppendEnterprise(option.m_strText, enterprise);
    Json suboptions = context.typed ? Array(entries.Count()) : Json();
    bool first = true;
    for (const Field& entry : entries)
    {
        Separate(option.m_strText, first);
        first = false;
        AppendNumber(option.m_strText, entry.tag);
        option.m_strText += '=';
        std::string hex = AppendHexPart(option.m_strText, entry.data, entry.length);
        if (context.typed)
            suboptions.push_back(Object("code", entry.tag, "hex", std::move(hex)));
    }
    if (context.typed)
        option.m_value = Object("enterprise", enterprise, "suboptions", std::move(suboptions));
    return true;
}
