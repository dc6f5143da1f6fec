#include "core/options/decode/decoders.h"

#include "core/wire/address_list.h"
#include "core/wire/hex_text.h"

#include <charconv>

void AppendNumber(std::string& text, std::uint64_t value)
{
    char digits[20];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end.ptr);
}

void AppendSignedNumber(std::string& text, std::int64_t value)
{
    char digits[20];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end.ptr);
}

void AppendDottedQuad(std::string& text, const std::uint8_t* address)
{
    for (std::size_t i = 0; i < kAddressSize; ++i)
    {
        if (i != 0)
            text += '.';
        AppendNumber(text, address[i]);
    }
}

void AppendHexNumber(std::string& text, std::uint32_t value, int digits)
{
    text += "0x";
    for (int shift = 4 * (digits - 2); shift >= 0; shift -= 8)
        AppendHexByte(text, static_cast<std::uint8_t>(value >> shift));
}

void AppendHex(std::string& text, const std::uint8_t* data, std::size_t length)
{
    text.reserve(text.size() + 2 * length);
    for (std::size_t i = 0; i < length; ++i)
        AppendHexByte(text, data[i]);
}

std::string RawText(OptionData data)
{
    return std::string(reinterpret_cast<const char*>(data.data), data.length);
}

OptionData WithoutTrailingNuls(OptionData data)
{
    while (data.length > 0 && data.data[data.length - 1] == 0)
        --data.length;
    return data;
}

Json Array(std::size_t items)
{
    Json array(Json::value_t::array);
    array.get_ref<Json::array_t&>().reserve(items);
    return array;
}

bool IsAddressList(OptionData data, std::size_t minimum)
{
    return data.length >= minimum && data.length % kAddressSize == 0;
}

Json AppendAddresses(OptionData data, std::string& text, bool typed)
{
    const Ipv4AddressList list(data.data, data.length);
    Json addresses = typed ? Array(list.Count()) : Json();
    for (std::size_t i = 0; i < list.Count(); ++i)
    {
        Separate(text, i == 0);
        const std::size_t start = text.size();
        AppendDottedQuad(text, list.At(i));
        if (typed)
            addresses.get_ref<Json::array_t&>().emplace_back(text.substr(start));
    }
    return addresses;
}
