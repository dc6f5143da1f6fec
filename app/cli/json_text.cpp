#include "app/cli/json_text.h"

#include "core/model/peer_text.h"
#include "platform/utf8.h"

#include "core/wire/hex_text.h"

#include <cstdint>

namespace
{
void AppendEscape(std::string& json, char32_t unit)
{
    json += "\\u";
    AppendHexByte(json, static_cast<std::uint8_t>(unit >> 8 & 0xFF), HexCase::Upper);
    AppendHexByte(json, static_cast<std::uint8_t>(unit & 0xFF), HexCase::Upper);
}

void AppendString(std::string& json, const std::string& text)
{
    const PeerCharset charset = PeerTextCharset();
    json += '"';
    for (std::size_t pos = 0; pos < text.size();)
    {
        const std::size_t start = pos;
        const char32_t code = DecodeUtf8(text, pos);
        // A malformed sequence gives U+FFFD for its first byte alone.
        const bool malformed = code == kReplacementCharacter && pos - start == 1;
        if (code >= 0x20 && code < 0x7F && code != '"' && code != '\\')
        {
            json += static_cast<char>(code); // printable ASCII, the common case
        }
        else if (code == '"' || code == '\\')
        {
            json += '\\';
            json += static_cast<char>(code);
        }
        else if (IsEscapedCodePoint(code) || (charset == PeerCharset::Ascii && code >= 0x80))
        {
            if (code > 0xFFFF)
            {
                AppendEscape(json, 0xD800 + ((code - 0x10000) >> 10));
                AppendEscape(json, 0xDC00 + ((code - 0x10000) & 0x3FF));
            }
            else
            {
                AppendEscape(json, code);
            }
        }
        else if (malformed)
        {
            json += "\xEF\xBF\xBD";
        }
        else
        {
            json.append(text, start, pos - start);
        }
    }
    json += '"';
}

void AppendLine(std::string& json, const nlohmann::ordered_json& value)
{
    switch (value.type())
    {
    case nlohmann::ordered_json::value_t::string:
        AppendString(json, value.get_ref<const std::string&>());
        return;
    case nlohmann::ordered_json::value_t::number_unsigned:
        json += std::to_string(value.get<std::uint64_t>());
        return;
    case nlohmann::ordered_json::value_t::number_integer:
        json += std::to_string(value.get<std::int64_t>());
        return;
    case nlohmann::ordered_json::value_t::object:
    case nlohmann::ordered_json::value_t::array:
        break;
    default:
        json += value.dump(); // null, true, false and floating point, as nlohmann writes them
        return;
    }
    const bool object = value.is_object();
    json += object ? '{' : '[';
    const char* separator = "";
    for (const auto& member : value.items())
    {
        json += separator;
        if (object)
        {
            AppendString(json, member.key());
            json += ": ";
        }
        AppendLine(json, member.value());
        separator = ", ";
    }
    json += object ? '}' : ']';
}
} // namespace

std::string JsonString(const std::string& text)
{
    std::string json;
    json.reserve(text.size() + 2);
    AppendString(json, text);
    return json;
}

std::string JsonLine(const nlohmann::ordered_json& value)
{
    std::string json;
    AppendLine(json, value);
    return json;
}

std::string JsonDocument(const nlohmann::ordered_json& document)
{
    std::string json;
    if (!document.is_structured())
    {
        AppendLine(json, document);
        return json + "\n";
    }
    const bool object = document.is_object();
    json += object ? '{' : '[';
    const char* separator = "\n  ";
    for (const auto& member : document.items())
    {
        json += separator;
        if (object)
        {
            AppendString(json, member.key());
            json += ": ";
        }
        const nlohmann::ordered_json& value = member.value();
        if (value.is_array() && !value.empty())
        {
            const char* elementSeparator = "[\n    ";
            for (const nlohmann::ordered_json& element : value)
            {
                json += elementSeparator;
                AppendLine(json, element);
                elementSeparator = ",\n    ";
            }
            json += "\n  ]";
        }
        else
        {
            AppendLine(json, value);
        }
        separator = ",\n  ";
    }
    json += object ? "\n}\n" : "\n]\n";
    return json;
}
