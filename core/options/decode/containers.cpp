// Bytes and what holds other options: sub-options and option codes.
#include "core/options/decode/decoders.h"

#include "core/wire/hex_text.h"

namespace
{
// RFC 3046 and the sub-options registered after it.
constexpr ValueName kRelayAgentSuboptions[] = {
    {1, "Agent Circuit ID"},
    {2, "Agent Remote ID"},
    {5, "Link Selection"},
    {6, "Subscriber ID"},
    {7, "RADIUS Attributes"},
    {8, "Authentication"},
    {9, "Vendor-Specific Information"},
    {10, "Relay Agent Flags"},
    {11, "Server Identifier Override"},
    {12, "Relay Agent Identifier"},
    {151, "Virtual Subnet Selection"},
    {152, "Virtual Subnet Selection Control"},
    {0, nullptr},
};

// "code=hex" each, and [{"code": 1, "hex": "0a0b"}].
void SetSuboptions(const DecodeContext& context, const FieldView& entries, ExtendedOption& option)
{
    if (context.typed)
        option.m_value = Array(entries.Count());
    for (const Field& entry : entries)
    {
        Separate(option.m_strText, option.m_strText.empty());
        AppendNumber(option.m_strText, entry.tag);
        option.m_strText += '=';
        const std::size_t start = option.m_strText.size();
        AppendHex(option.m_strText, entry.data, entry.length);
        if (context.typed)
            option.m_value.push_back(
                Object("code", entry.tag, "hex", option.m_strText.substr(start)));
    }
}
} // namespace

bool DecodeBytes(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    option.m_strText = HexText(data.data, data.length);
    if (context.typed)
        option.m_value = option.m_strText;
    return true;
}

bool DecodeRelayAgentInfo(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView entries(Framing::Tlv, data.data, data.length);
    if (!entries.IsWhole() || entries.Count() == 0)
        return false;
    if (context.typed)
        option.m_value = Array(entries.Count());
    for (const Field& entry : entries)
    {
        const auto code = static_cast<std::uint8_t>(entry.tag);
        const char* name = FindValueName(kRelayAgentSuboptions, code);
        Separate(option.m_strText, option.m_strText.empty());
        if (name != nullptr)
        {
            option.m_strText += name;
        }
        else
        {
            option.m_strText += "Sub-option ";
            AppendNumber(option.m_strText, code);
        }
        option.m_strText += ' ';
        const std::size_t start = option.m_strText.size();
        AppendHex(option.m_strText, entry.data, entry.length);
        if (context.typed)
            option.m_value.push_back(Object("code", code, "name",
                                            name != nullptr ? Json(name) : Json(), "hex",
                                            option.m_strText.substr(start)));
    }
    return true;
}

// Vendors define option 43's content: sub-options where the bytes read as
// them, else the bytes as they are.
bool DecodeSuboptions(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0)
        return false;
    const FieldView entries(Framing::TlvPadEnd, data.data, data.length);
    if (!entries.IsWhole())
        return DecodeBytes(context, data, option);
    SetSuboptions(context, entries, option);
    return true;
}

// RFC 2242 and RFC 3495 define their options as nothing but sub-options.
bool DecodeDefinedSuboptions(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    const FieldView entries(Framing::Tlv, data.data, data.length);
    if (!entries.IsWhole() || entries.Count() == 0)
        return false;
    SetSuboptions(context, entries, option);
    return true;
}

bool DecodeParameterList(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length == 0)
        return false;
    if (context.typed)
        option.m_value = Array(data.length);
    option.m_strText.reserve(data.length * 24);
    for (std::size_t i = 0; i < data.length; ++i)
    {
        const char* name = OptionName(data.data[i]);
        Separate(option.m_strText, i == 0);
        AppendNumber(option.m_strText, data.data[i]);
        if (name != nullptr)
        {
            option.m_strText += " (";
            option.m_strText += name;
            option.m_strText += ')';
        }
        if (context.typed)
            option.m_value.push_back(
                Object("code", data.data[i], "name", name != nullptr ? Json(name) : Json()));
    }
    return true;
}
