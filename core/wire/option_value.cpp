#include "core/wire/option_value.h"

#include "core/wire/hex_digit.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace
{
using T = WireType;

// RFC 1035 2.3.4.
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxEncodedName = 255;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The items of a list written with ',' or blanks between them; a quoted item
// keeps its quotes. False for an empty item (",,"), a trailing ',' or an
// unterminated quote.
bool SplitList(std::string_view text, std::vector<std::string_view>& items)
{
    text = Trim(text);
    std::size_t i = 0;
    while (i < text.size())
    {
        const std::size_t nBegin = i;
        if (text[i] == '"')
        {
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\')
                    ++i;
            if (i >= text.size())
                return false;
            ++i;
        }
        else
        {
            while (i < text.size() && text[i] != ',' && text[i] != '"' && !IsBlank(text[i]))
                ++i;
        }
        if (i == nBegin)
            return false;
        items.push_back(text.substr(nBegin, i - nBegin));

        const std::size_t nItemEnd = i;
        bool bComma = false;
        for (; i < text.size() && (text[i] == ',' || IsBlank(text[i])); ++i)
        {
            if (text[i] == ',' && std::exchange(bComma, true))
                return false;
        }
        if (i == nItemEnd && i < text.size())
            return false; // two items with nothing between them
        if (bComma && i == text.size())
            return false;
    }
    return !items.empty();
}

int OctalDigit(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// A text in double quotes, as dhclient writes it: \" \\ \t \n \r and \ooo
// (up to three octal digits) are its escapes; an inner quote must be escaped.
std::optional<std::string> Unquote(std::string_view text)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    static constexpr std::string_view kEscaped = "\"\\tnr";
    static constexpr std::string_view kMeant = "\"\\\t\n\r";
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '"')
            return std::nullopt;
        if (text[i] != '\\')
        {
            result += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (OctalDigit(text[i]) >= 0)
        {
            unsigned nValue = 0;
            for (int nDigits = 0; nDigits < 3 && i < text.size() && OctalDigit(text[i]) >= 0;
                 ++nDigits, ++i)
                nValue = nValue * 8 + static_cast<unsigned>(OctalDigit(text[i]));
            --i;
            if (nValue > 0xFF)
                return std::nullopt;
            result += static_cast<char>(nValue);
            continue;
        }
        const std::size_t nAt = kEscaped.find(text[i]);
        if (nAt == std::string_view::npos)
            return std::nullopt;
        result += kMeant[nAt];
    }
    return result;
}

// An item that may be quoted: its text without quotes and escapes.
std::optional<std::string> ItemText(std::string_view item)
{
    if (!item.empty() && item.front() == '"')
        return Unquote(item);
    return std::string(item);
}

void AppendNumber(OptionBytes& bytes, std::uint32_t nValue, int nBytes)
{
    for (int nShift = (nBytes - 1) * 8; nShift >= 0; nShift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(nValue >> nShift));
}

bool AppendAddress(OptionBytes& bytes, std::string_view text)
{
    const auto address = ParseAddressText(text);
    if (!address)
        return false;
    AppendNumber(bytes, *address, 4);
    return true;
}

std::optional<OptionBytes> EncodeAddresses(std::string_view value, std::size_t nMultipleOf)
{
    std::vector<std::string_view> items;
    if (!SplitList(value, items) || items.size() % nMultipleOf != 0)
        return std::nullopt;
    OptionBytes bytes;
    for (const std::string_view item : items)
        if (!AppendAddress(bytes, item))
            return std::nullopt;
    return bytes;
}

std::optional<OptionBytes> EncodeNumbers(std::string_view value, int nBytes, bool bList)
{
    std::vector<std::string_view> items;
    if (!SplitList(value, items) || (!bList && items.size() != 1))
        return std::nullopt;
    const std::uint64_t nMax = (std::uint64_t{1} << (nBytes * 8)) - 1;
    OptionBytes bytes;
    for (const std::string_view item : items)
    {
        const auto nValue = ParseDecimalText(item, nMax);
        if (!nValue)
            return std::nullopt;
        AppendNumber(bytes, static_cast<std::uint32_t>(*nValue), nBytes);
    }
    return bytes;
}

std::optional<OptionBytes> EncodeInt32(std::string_view value)
{
    value = Trim(value);
    const bool bNegative = value.substr(0, 1) == "-";
    if (bNegative)
        value.remove_prefix(1);
    const auto nMagnitude = ParseDecimalText(value, bNegative ? 0x80000000u : 0x7FFFFFFFu);
    if (!nMagnitude)
        return std::nullopt;
    // Two's complement, in network byte order.
    const auto nMagnitude32 = static_cast<std::uint32_t>(*nMagnitude);
    OptionBytes bytes;
    AppendNumber(bytes, bNegative ? 0u - nMagnitude32 : nMagnitude32, 4);
    return bytes;
}

std::optional<OptionBytes> EncodeBoolean(std::string_view value)
{
    value = Trim(value);
    if (value == "true" || value == "on")
        return OptionBytes{1};
    if (value == "false" || value == "off")
        return OptionBytes{0};
    return std::nullopt;
}

std::optional<OptionBytes> EncodeText(std::string_view value)
{
    const auto text = ItemText(Trim(value));
    if (!text || text->empty())
        return std::nullopt;
    return OptionBytes(text->begin(), text->end());
}

std::optional<OptionBytes> EncodeHex(std::string_view value)
{
    value = Trim(value);
    if (!value.empty() && value.front() == '"')
        return EncodeText(value);
    const bool bGroups = value.find(':') != std::string_view::npos || value.size() <= 2;
    if (value.empty() || (!bGroups && value.size() % 2 != 0))
        return std::nullopt;
    OptionBytes bytes;
    std::size_t i = 0;
    while (i < value.size())
    {
        // A group is one or two digits before a ':' or the end; without colons, two digits.
        const std::size_t nEnd =
            bGroups ? std::min(value.find(':', i), value.size()) : std::min(i + 2, value.size());
        if (nEnd == i || nEnd - i > 2)
            return std::nullopt;
        unsigned nByte = 0;
        for (std::size_t k = i; k < nEnd; ++k)
        {
            const int nDigit = HexDigit(value[k]);
            if (nDigit < 0)
                return std::nullopt;
            nByte = nByte * 16 + static_cast<unsigned>(nDigit);
        }
        bytes.push_back(static_cast<std::uint8_t>(nByte));
        i = nEnd;
        if (bGroups && i < value.size() && ++i == value.size())
            return std::nullopt; // a trailing ':'
    }
    return bytes;
}

// One name in RFC 1035 form: labels of 1 to 63 bytes, each after its length,
// then the zero-length root label. One trailing '.' is allowed.
bool AppendDomainName(OptionBytes& bytes, std::string_view name)
{
    if (!name.empty() && name.back() == '.')
        name.remove_suffix(1);
    if (name.empty())
        return false;
    const std::size_t nStart = bytes.size();
    while (true)
    {
        const std::size_t nDot = name.find('.');
        const std::string_view label = name.substr(0, nDot);
        if (label.empty() || label.size() > kMaxLabel)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(label.size()));
        bytes.insert(bytes.end(), label.begin(), label.end());
        if (nDot == std::string_view::npos)
            break;
        name.remove_prefix(nDot + 1);
    }
    bytes.push_back(0);
    return bytes.size() - nStart <= kMaxEncodedName;
}

std::optional<OptionBytes> EncodeDomainList(std::string_view value)
{
    std::vector<std::string_view> items;
    if (!SplitList(value, items))
        return std::nullopt;
    OptionBytes bytes;
    for (const std::string_view item : items)
    {
        const auto name = ItemText(item);
        if (!name || !AppendDomainName(bytes, *name))
            return std::nullopt;
    }
    return bytes;
}

struct Cidr
{
    std::uint32_t nAddress;
    std::uint8_t nPrefix;
};

std::optional<Cidr> ParseCidr(std::string_view text)
{
    const std::size_t nSlash = text.find('/');
    if (nSlash == std::string_view::npos)
        return std::nullopt;
    const auto address = ParseAddressText(text.substr(0, nSlash));
    const auto nPrefix = ParseDecimalText(text.substr(nSlash + 1), 32);
    if (!address || !nPrefix)
        return std::nullopt;
    return Cidr{*address, static_cast<std::uint8_t>(*nPrefix)};
}

// The prefix of an address's class (RFC 791): the only prefix option 33 knows.
std::optional<std::uint8_t> ClassPrefix(std::uint32_t nAddress)
{
    const std::uint32_t nFirst = nAddress >> 24;
    if (nFirst < 128)
        return 8;
    if (nFirst < 192)
        return 16;
    if (nFirst < 224)
        return 24;
    return std::nullopt;
}

// Destination and router pairs written "10.0.0.0/8,10.99.0.1"; with
// bClassless the RFC 3442 form (prefix, significant octets, router), else
// option 33's (destination, router), where every prefix must be its class's.
std::optional<OptionBytes> EncodeCidrRoutes(std::string_view value, bool bClassless)
{
    std::vector<std::string_view> items;
    if (!SplitList(value, items) || items.size() % 2 != 0)
        return std::nullopt;
    OptionBytes bytes;
    for (std::size_t i = 0; i < items.size(); i += 2)
    {
        const auto destination = ParseCidr(items[i]);
        if (!destination)
            return std::nullopt;
        if (bClassless)
        {
            // The prefix, then only the octets it covers.
            bytes.push_back(destination->nPrefix);
            for (int nShift = 24; nShift > 24 - 8 * ((destination->nPrefix + 7) / 8); nShift -= 8)
                bytes.push_back(static_cast<std::uint8_t>(destination->nAddress >> nShift));
        }
        else
        {
            if (ClassPrefix(destination->nAddress) != destination->nPrefix)
                return std::nullopt;
            AppendNumber(bytes, destination->nAddress, 4);
        }
        if (!AppendAddress(bytes, items[i + 1]))
            return std::nullopt;
    }
    return bytes;
}

// RFC 3442 routes as plain bytes ("24.10.99.5.10.99.0.1" or "24,10,99,5,...")
// or as destination/prefix and router pairs.
std::optional<OptionBytes> EncodeClasslessRoutes(std::string_view value)
{
    if (value.find('/') != std::string_view::npos)
        return EncodeCidrRoutes(value, true);
    std::vector<std::string_view> items;
    if (!SplitList(value, items))
        return std::nullopt;
    OptionBytes bytes;
    for (std::string_view item : items)
    {
        while (true)
        {
            const std::size_t nDot = item.find('.');
            const auto nByte = ParseDecimalText(item.substr(0, nDot), 0xFF);
            if (!nByte)
                return std::nullopt;
            bytes.push_back(static_cast<std::uint8_t>(*nByte));
            if (nDot == std::string_view::npos)
                break;
            item.remove_prefix(nDot + 1);
        }
    }
    // Each route: a prefix of at most 32, its significant octets, a router.
    for (std::size_t i = 0; i < bytes.size();)
    {
        if (bytes[i] > 32)
            return std::nullopt;
        i += 1 + (bytes[i] + 7u) / 8 + 4;
        if (i > bytes.size())
            return std::nullopt;
    }
    return bytes;
}

std::optional<OptionBytes> EncodeSipServers(std::string_view value)
{
    auto addresses = EncodeAddresses(value, 1);
    if (!addresses)
        return std::nullopt;
    addresses->insert(addresses->begin(), 1); // RFC 3361: 1 means addresses follow
    return addresses;
}

std::optional<OptionBytes> EncodeAddress(std::string_view value)
{
    OptionBytes bytes;
    if (!AppendAddress(bytes, Trim(value)))
        return std::nullopt;
    return bytes;
}
} // namespace

std::optional<OptionBytes> EncodeOptionValue(WireType type, std::string_view value)
{
    std::optional<OptionBytes> bytes;
    switch (type)
    {
    case T::Address:
        bytes = EncodeAddress(value);
        break;
    case T::Addresses:
        bytes = EncodeAddresses(value, 1);
        break;
    case T::AddressPairs:
        bytes = EncodeAddresses(value, 2);
        break;
    case T::ClassfulRoutes:
        bytes = EncodeCidrRoutes(value, false);
        break;
    case T::ClasslessRoutes:
        bytes = EncodeClasslessRoutes(value);
        break;
    case T::SipServers:
        bytes = EncodeSipServers(value);
        break;
    case T::UInt8:
        bytes = EncodeNumbers(value, 1, false);
        break;
    case T::UInt16:
        bytes = EncodeNumbers(value, 2, false);
        break;
    case T::UInt32:
        bytes = EncodeNumbers(value, 4, false);
        break;
    case T::Int32:
        bytes = EncodeInt32(value);
        break;
    case T::UInt8List:
        bytes = EncodeNumbers(value, 1, true);
        break;
    case T::UInt16List:
        bytes = EncodeNumbers(value, 2, true);
        break;
    case T::Boolean:
        bytes = EncodeBoolean(value);
        break;
    case T::Text:
        bytes = EncodeText(value);
        break;
    case T::DomainList:
        bytes = EncodeDomainList(value);
        break;
    case T::Bytes:
        bytes = EncodeHex(value);
        break;
    }
    if (bytes && bytes->size() > kMaxOptionBytes)
        return std::nullopt;
    return bytes;
}

WireType TextFormat(const OptionTextName& row)
{
    return row.ownFormat.value_or(OptionWireType(row.nCode));
}

std::optional<std::uint32_t> ParseAddressText(std::string_view text)
{
    std::uint32_t nAddress = 0;
    for (int nPart = 0; nPart < 4; ++nPart)
    {
        const std::size_t nDot = nPart < 3 ? text.find('.') : text.size();
        if (nDot == std::string_view::npos)
            return std::nullopt;
        const std::string_view part = text.substr(0, nDot);
        // No leading zeros: "010" is octal to some readers and decimal to others.
        if (part.size() > 3 || (part.size() > 1 && part.front() == '0'))
            return std::nullopt;
        const auto nValue = ParseDecimalText(part, 0xFF);
        if (!nValue)
            return std::nullopt;
        nAddress = nAddress << 8 | static_cast<std::uint32_t>(*nValue);
        text.remove_prefix(std::min(nDot + 1, text.size()));
    }
    return nAddress;
}

std::optional<std::uint64_t> ParseDecimalText(std::string_view text, std::uint64_t nMax)
{
    if (text.empty())
        return std::nullopt;
    std::uint64_t nValue = 0;
    for (const char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto nDigit = static_cast<std::uint64_t>(c - '0');
        if (nDigit > nMax || nValue > (nMax - nDigit) / 10)
            return std::nullopt;
        nValue = nValue * 10 + nDigit;
    }
    return nValue;
}
