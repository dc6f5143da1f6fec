#include "core/wire/json_value.h"

#include "core/wire/hex_digit.h"

#include <cstdint>

namespace
{
class CJsonReader
{
public:
    explicit CJsonReader(std::string_view text) : m_text(text) {}

    bool ReadDocument(JsonValue& value)
    {
        if (!ReadValue(value, 0))
            return false;
        SkipBlanks();
        return m_nAt == m_text.size();
    }

private:
    bool ReadValue(JsonValue& value, int nDepth);
    bool ReadArray(JsonValue& value, int nDepth);
    bool ReadObject(JsonValue& value, int nDepth);
    bool ReadString(std::string& text);
    bool ReadEscape(std::string& text);
    bool ReadHex4(std::uint32_t& nUnit);
    bool ReadNumber(std::string& text);
    bool ReadDigits();
    bool ReadLiteral(std::string_view literal);

    void SkipBlanks()
    {
        while (m_nAt < m_text.size() && (m_text[m_nAt] == ' ' || m_text[m_nAt] == '\t' ||
                                         m_text[m_nAt] == '\r' || m_text[m_nAt] == '\n'))
            ++m_nAt;
    }
    bool Take(char c)
    {
        SkipBlanks();
        if (m_nAt < m_text.size() && m_text[m_nAt] == c)
        {
            ++m_nAt;
            return true;
        }
        return false;
    }
    char Peek() const { return m_nAt < m_text.size() ? m_text[m_nAt] : '\0'; }

    std::string_view m_text;
    std::size_t m_nAt = 0;
    std::size_t m_nValues = 0;
};

bool CJsonReader::ReadValue(JsonValue& value, int nDepth)
{
    if (nDepth > kMaxJsonDepth || ++m_nValues > kMaxJsonValues)
        return false;
    SkipBlanks();
    switch (Peek())
    {
    case '{':
        return ReadObject(value, nDepth);
    case '[':
        return ReadArray(value, nDepth);
    case '"':
        value.m_kind = JsonValue::Kind::String;
        return ReadString(value.m_strText);
    case 't':
        value.m_kind = JsonValue::Kind::Boolean;
        value.m_bValue = true;
        return ReadLiteral("true");
    case 'f':
        value.m_kind = JsonValue::Kind::Boolean;
        return ReadLiteral("false");
    case 'n':
        return ReadLiteral("null");
    default:
        value.m_kind = JsonValue::Kind::Number;
        return ReadNumber(value.m_strText);
    }
}

bool CJsonReader::ReadArray(JsonValue& value, int nDepth)
{
    value.m_kind = JsonValue::Kind::Array;
    ++m_nAt; // '['
    if (Take(']'))
        return true;
    do
    {
        value.m_Items.emplace_back();
        if (!ReadValue(value.m_Items.back(), nDepth + 1))
            return false;
    } while (Take(','));
    return Take(']');
}

bool CJsonReader::ReadObject(JsonValue& value, int nDepth)
{
    value.m_kind = JsonValue::Kind::Object;
    ++m_nAt; // '{'
    if (Take('}'))
        return true;
    do
    {
        SkipBlanks();
        value.m_Keys.emplace_back();
        value.m_Items.emplace_back();
        if (Peek() != '"' || !ReadString(value.m_Keys.back()) || !Take(':') ||
            !ReadValue(value.m_Items.back(), nDepth + 1))
            return false;
    } while (Take(','));
    return Take('}');
}

bool CJsonReader::ReadString(std::string& text)
{
    ++m_nAt; // '"'
    while (m_nAt < m_text.size())
    {
        const char c = m_text[m_nAt++];
        if (c == '"')
            return true;
        if (static_cast<unsigned char>(c) < 0x20)
            return false; // control characters must be escaped
        if (c != '\\')
            text += c;
        else if (!ReadEscape(text))
            return false;
    }
    return false;
}

void AppendUtf8(std::string& text, std::uint32_t nCodePoint)
{
    const auto Byte = [](std::uint32_t nBits) { return static_cast<char>(nBits & 0xFF); };
    if (nCodePoint < 0x80)
    {
        text += Byte(nCodePoint);
    }
    else if (nCodePoint < 0x800)
    {
        text += Byte(0xC0 | nCodePoint >> 6);
        text += Byte(0x80 | (nCodePoint & 0x3F));
    }
    else if (nCodePoint < 0x10000)
    {
        text += Byte(0xE0 | nCodePoint >> 12);
        text += Byte(0x80 | (nCodePoint >> 6 & 0x3F));
        text += Byte(0x80 | (nCodePoint & 0x3F));
    }
    else
    {
        text += Byte(0xF0 | nCodePoint >> 18);
        text += Byte(0x80 | (nCodePoint >> 12 & 0x3F));
        text += Byte(0x80 | (nCodePoint >> 6 & 0x3F));
        text += Byte(0x80 | (nCodePoint & 0x3F));
    }
}

bool CJsonReader::ReadEscape(std::string& text)
{
    static constexpr std::string_view kEscaped = "\"\\/bfnrt";
    static constexpr std::string_view kMeant = "\"\\/\b\f\n\r\t";
    const std::size_t nAt = kEscaped.find(Peek());
    if (nAt != std::string_view::npos)
    {
        text += kMeant[nAt];
        ++m_nAt;
        return true;
    }
    if (Peek() != 'u')
        return false;
    ++m_nAt;
    std::uint32_t nUnit = 0;
    if (!ReadHex4(nUnit) || (nUnit >= 0xDC00 && nUnit <= 0xDFFF))
        return false;
    if (nUnit >= 0xD800 && nUnit <= 0xDBFF)
    {
        // A high surrogate needs its low half at once.
        std::uint32_t nLow = 0;
        if (!ReadLiteral("\\u") || !ReadHex4(nLow) || nLow < 0xDC00 || nLow > 0xDFFF)
            return false;
        nUnit = 0x10000 + ((nUnit - 0xD800) << 10) + (nLow - 0xDC00);
    }
    AppendUtf8(text, nUnit);
    return true;
}

bool CJsonReader::ReadHex4(std::uint32_t& nUnit)
{
    for (int i = 0; i < 4; ++i, ++m_nAt)
    {
        const int nDigit = HexDigit(Peek());
        if (nDigit < 0)
            return false;
        nUnit = nUnit << 4 | static_cast<std::uint32_t>(nDigit);
    }
    return true;
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool CJsonReader::ReadNumber(std::string& text)
{
    const std::size_t nBegin = m_nAt;
    if (Peek() == '-')
        ++m_nAt;
    if (Peek() == '0')
        ++m_nAt;
    else if (!ReadDigits())
        return false;
    if (Peek() == '.')
    {
        ++m_nAt;
        if (!ReadDigits())
            return false;
    }
    if (Peek() == 'e' || Peek() == 'E')
    {
        ++m_nAt;
        if (Peek() == '+' || Peek() == '-')
            ++m_nAt;
        if (!ReadDigits())
            return false;
    }
    text = std::string(m_text.substr(nBegin, m_nAt - nBegin));
    return true;
}

bool CJsonReader::ReadDigits()
{
    const std::size_t nBegin = m_nAt;
    while (Peek() >= '0' && Peek() <= '9')
        ++m_nAt;
    return m_nAt > nBegin;
}

bool CJsonReader::ReadLiteral(std::string_view literal)
{
    if (m_text.substr(m_nAt, literal.size()) != literal)
        return false;
    m_nAt += literal.size();
    return true;
}
} // namespace

std::optional<JsonValue> ParseJson(std::string_view text)
{
    JsonValue value;
    CJsonReader reader(text);
    if (!reader.ReadDocument(value))
        return std::nullopt;
    return value;
}
