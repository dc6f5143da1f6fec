// Numbers, flags and durations.
#include "core/options/decode/decoders.h"

#include "core/wire/byte_order.h"

#include <type_traits>

namespace
{
constexpr std::uint32_t kInfiniteSeconds = 0xFFFFFFFFu;

template <typename Number>
void SetNumber(const DecodeContext& context, Number value, ExtendedOption& option)
{
    if constexpr (std::is_signed_v<Number>)
        AppendSignedNumber(option.m_strText, value);
    else
        AppendNumber(option.m_strText, value);
    if (context.typed)
        option.m_value = value;
}

bool DecodeNumberList(const DecodeContext& context, OptionData data, std::size_t size,
                      ExtendedOption& option)
{
    if (data.length == 0 || data.length % size != 0)
        return false;
    if (context.typed)
        option.m_value = Array(data.length / size);
    option.m_strText.reserve(data.length / size * 5);
    for (std::size_t i = 0; i < data.length; i += size)
    {
        const unsigned value = size == 1 ? data.data[i] : ReadBe16(data.data + i);
        Separate(option.m_strText, i == 0);
        AppendNumber(option.m_strText, value);
        if (context.typed)
            option.m_value.push_back(value);
    }
    return true;
}
} // namespace

bool DecodeUInt8(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 1)
        return false;
    SetNumber(context, unsigned{data.data[0]}, option);
    return true;
}

bool DecodeUInt16(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 2)
        return false;
    SetNumber(context, unsigned{ReadBe16(data.data)}, option);
    return true;
}

bool DecodeUInt32(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 4)
        return false;
    SetNumber(context, ReadBe32(data.data), option);
    return true;
}

bool DecodeInt32(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 4)
        return false;
    // Two's complement without relying on implementation-defined conversion.
    const std::uint32_t bits = ReadBe32(data.data);
    const std::int64_t value =
        bits < 0x80000000u ? std::int64_t{bits} : std::int64_t{bits} - 0x100000000;
    SetNumber(context, value, option);
    return true;
}

bool DecodeUInt8List(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodeNumberList(context, data, 1, option);
}

bool DecodeUInt16List(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    return DecodeNumberList(context, data, 2, option);
}

bool DecodeBoolean(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 1 || data.data[0] > 1)
        return false;
    option.m_strText = data.data[0] != 0 ? "true" : "false";
    if (context.typed)
        option.m_value = data.data[0] != 0;
    return true;
}

bool DecodeSeconds(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 4)
        return false;
    const std::uint32_t seconds = ReadBe32(data.data);
    option.m_strText = DurationText(seconds);
    if (context.typed)
        option.m_value = seconds;
    return true;
}

bool DecodeNamedUInt8(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 1)
        return false;
    const char* name = FindValueName(context.names, data.data[0]);
    if (name != nullptr)
    {
        option.m_strText += name;
        option.m_strText += " (";
    }
    AppendNumber(option.m_strText, data.data[0]);
    if (name != nullptr)
        option.m_strText += ')';
    if (context.typed)
        option.m_value =
            Object("code", data.data[0], "name", name != nullptr ? Json(name) : Json());
    return true;
}

bool DecodePresence(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 0)
        return false;
    option.m_strText = "present";
    if (context.typed)
        option.m_value = true;
    return true;
}

// RFC 6926: R, the lowest bit, says another server supplied the state; the
// other bits must be zero and are ignored.
bool DecodeDataSource(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 1)
        return false;
    const bool remote = (data.data[0] & 0x01u) != 0;
    option.m_strText = remote ? "remote" : "local";
    if (context.typed)
        option.m_value = Object("remote", remote);
    return true;
}

// RFC 7618 4: PSID offset (0 to 15), PSID length (0 to 16), and the 16-bit
// PSID field as sent.
bool DecodePortParameters(const DecodeContext& context, OptionData data, ExtendedOption& option)
{
    if (data.length != 4 || data.data[0] > 15 || data.data[1] > 16)
        return false;
    const unsigned psid = ReadBe16(data.data + 2);
    std::string& text = option.m_strText;
    text = "offset ";
    AppendNumber(text, data.data[0]);
    text += ", PSID length ";
    AppendNumber(text, data.data[1]);
    text += ", PSID ";
    AppendHexNumber(text, psid, 4);
    if (context.typed)
        option.m_value = Object("offset", data.data[0], "psid_length", data.data[1], "psid", psid);
    return true;
}

std::string DurationText(std::uint32_t seconds)
{
    std::string text;
    AppendNumber(text, seconds);
    text += " s";
    if (seconds == kInfiniteSeconds)
    {
        text += " (infinite)";
        return text;
    }
    if (seconds < 60)
        return text;
    static const struct
    {
        std::uint32_t seconds;
        const char* unit;
    } kUnits[] = {{86400, "d"}, {3600, "h"}, {60, "min"}, {1, "s"}};
    text += " (";
    const char* separator = "";
    std::uint32_t left = seconds;
    for (const auto& unit : kUnits)
    {
        const std::uint32_t count = left / unit.seconds;
        left %= unit.seconds;
        if (count == 0)
            continue;
        text += separator;
        AppendNumber(text, count);
        text += ' ';
        text += unit.unit;
        separator = " ";
    }
    text += ')';
    return text;
}
