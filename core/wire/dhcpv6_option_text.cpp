#include "core/wire/dhcpv6_option_text.h"

#include "core/wire/dhcpv6_message.h"
#include "core/wire/option_value.h"

#include <arpa/inet.h>
#include <string>

namespace
{
enum class Format
{
    Bytes,
    UInt8,
    UInt16,
    UInt32,
    Addresses,
    Domains,
    Text,
    Flag,
    Built, // from parts: the identity associations and the status code
};

struct TextName
{
    std::string_view name;
    std::uint16_t code;
    Format format;
};

// dhclient's names (dhcp-options(5)), then dhcpcd's where it names an option
// otherwise (dhcpcd -V).
constexpr TextName kNames[] = {
    {"client-id", 1, Format::Bytes},
    {"server-id", 2, Format::Bytes},
    {"ia-na", 3, Format::Built},
    {"ia-ta", 4, Format::Built},
    {"iaaddr", 5, Format::Built},
    {"ia-addr", 5, Format::Built},
    {"preference", 7, Format::UInt8},
    {"elapsed-time", 8, Format::UInt16},
    {"unicast", 12, Format::Addresses},
    {"status-code", 13, Format::Built},
    {"rapid-commit", 14, Format::Flag},
    {"user-class", 15, Format::Bytes},
    {"vendor-class", 16, Format::Bytes},
    {"interface-id", 18, Format::Bytes},
    {"reconf-msg", 19, Format::UInt8},
    {"reconfigure-msg", 19, Format::UInt8},
    {"reconf-accept", 20, Format::Flag},
    {"reconfigure-accept", 20, Format::Flag},
    {"sip-servers-names", 21, Format::Domains},
    {"sip-servers-addresses", 22, Format::Addresses},
    {"name-servers", 23, Format::Addresses},
    {"domain-search", 24, Format::Domains},
    {"ia-pd", 25, Format::Built},
    {"iaprefix", 26, Format::Built},
    {"prefix", 26, Format::Built},
    {"nis-servers", 27, Format::Addresses},
    {"nisp-servers", 28, Format::Addresses},
    {"nis-domain-name", 29, Format::Domains},
    {"nisp-domain-name", 30, Format::Domains},
    {"sntp-servers", 31, Format::Addresses},
    {"info-refresh-time", 32, Format::UInt32},
    {"bcms-server-d", 33, Format::Domains},
    {"bcms-server-a", 34, Format::Addresses},
    {"remote-id", 37, Format::Bytes},
    {"subscriber-id", 38, Format::Bytes},
    {"pana-agent", 40, Format::Addresses},
    {"new-posix-timezone", 41, Format::Text},
    {"posix-timezone", 41, Format::Text},
    {"new-tzdb-timezone", 42, Format::Text},
    {"tzdb-timezone", 42, Format::Text},
    {"lost-server", 51, Format::Domains},
    {"capwap-ac", 52, Format::Addresses},
    {"relay-id", 53, Format::Bytes},
    {"bootfile-url", 59, Format::Text},
    {"geoloc", 63, Format::Bytes},
    {"aftr-name", 64, Format::Domains},
    {"mip6-haa", 72, Format::Addresses},
    {"link-address", 80, Format::Addresses},
    {"sol-max-rt", 82, Format::UInt32},
    {"inf-max-rt", 83, Format::UInt32},
    {"s64-br", 90, Format::Addresses},
    {"mudurl", 112, Format::Text},
};

const TextName* Find(std::string_view name)
{
    for (const TextName& row : kNames)
        if (row.name == name)
            return &row;
    return nullptr;
}

void Append32(OptionBytes& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool IsSeparator(char c)
{
    return c == ' ' || c == ',' || c == '\t';
}

// Addresses separated by blanks or commas; at least one.
std::optional<OptionBytes> EncodeAddresses(std::string_view value)
{
    OptionBytes bytes;
    std::size_t at = 0;
    while (at < value.size())
    {
        if (IsSeparator(value[at]))
        {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < value.size() && !IsSeparator(value[end]))
            ++end;
        const auto address = ParseIpv6Text(value.substr(at, end - at));
        if (!address)
            return std::nullopt;
        bytes.insert(bytes.end(), address->begin(), address->end());
        at = end;
    }
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

std::optional<OptionBytes> EncodeValue(Format format, std::string_view value)
{
    switch (format)
    {
    case Format::Bytes:
        return EncodeOptionValue(WireType::Bytes, value);
    case Format::UInt8:
        return EncodeOptionValue(WireType::UInt8, value);
    case Format::UInt16:
        return EncodeOptionValue(WireType::UInt16, value);
    case Format::UInt32:
        return EncodeOptionValue(WireType::UInt32, value);
    case Format::Addresses:
        return EncodeAddresses(value);
    case Format::Domains:
        return EncodeOptionValue(WireType::DomainList, value);
    case Format::Text:
        return EncodeOptionValue(WireType::Text, value);
    case Format::Flag:
        return OptionBytes();
    case Format::Built:
        break;
    }
    return std::nullopt;
}
} // namespace

std::optional<std::uint16_t> Dhcpv6TextCode(std::string_view name)
{
    const TextName* row = Find(name);
    if (row == nullptr)
        return std::nullopt;
    return row->code;
}

std::optional<Dhcpv6Option> EncodeDhcpv6OptionText(std::string_view name, std::string_view value)
{
    const TextName* row = Find(name);
    if (row == nullptr)
        return std::nullopt;
    auto bytes = EncodeValue(row->format, value);
    if (!bytes || bytes->size() > kMaxDhcpv6OptionData)
        return std::nullopt;
    return Dhcpv6Option{row->code, std::move(*bytes)};
}

bool IsDhcpv6TextOption(std::string_view name)
{
    const TextName* row = Find(name);
    return row != nullptr && row->format == Format::Text;
}

std::optional<Ipv6Address> ParseIpv6Text(std::string_view text)
{
    // inet_pton reads a C string: no more than the longest form, with an
    // embedded IPv4 address, and no NUL inside.
    constexpr std::size_t kLongest = 45;
    if (text.empty() || text.size() > kLongest || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string terminated(text);
    Ipv6Address address{};
    if (inet_pton(AF_INET6, terminated.c_str(), address.data()) != 1)
        return std::nullopt;
    return address;
}

Dhcpv6Option IdentityAssociation(std::uint16_t code, const OptionBytes& iaid, std::uint32_t t1,
                                 std::uint32_t t2, const Dhcpv6Options& inside)
{
    constexpr std::uint16_t kIaTa = 4;
    Dhcpv6Option option{code, iaid};
    if (code != kIaTa)
    {
        Append32(option.data, t1);
        Append32(option.data, t2);
    }
    WriteDhcpv6Options(inside, option.data);
    return option;
}

Dhcpv6Option IaAddress(const Ipv6Address& address, std::uint32_t preferred, std::uint32_t valid)
{
    Dhcpv6Option option{5, OptionBytes(address.begin(), address.end())};
    Append32(option.data, preferred);
    Append32(option.data, valid);
    return option;
}

Dhcpv6Option IaPrefix(const Ipv6Address& prefix, std::uint8_t length, std::uint32_t preferred,
                      std::uint32_t valid)
{
    Dhcpv6Option option{26, {}};
    Append32(option.data, preferred);
    Append32(option.data, valid);
    option.data.push_back(length);
    option.data.insert(option.data.end(), prefix.begin(), prefix.end());
    return option;
}

Dhcpv6Option StatusCode(std::uint16_t status, std::string_view message)
{
    Dhcpv6Option option{13, {}};
    option.data.reserve(2 + message.size());
    option.data.push_back(static_cast<std::uint8_t>(status >> 8));
    option.data.push_back(static_cast<std::uint8_t>(status));
    for (const char c : message)
        option.data.push_back(static_cast<std::uint8_t>(c));
    return option;
}

std::optional<std::uint16_t> ParseStatusText(std::string_view text)
{
    static constexpr std::string_view kStatusNames[] = {
        "success",   "UnspecFail",   "NoAddrsAvail",  "NoBinding",
        "NotOnLink", "UseMulticast", "NoPrefixAvail",
    };
    for (std::size_t status = 0; status < std::size(kStatusNames); ++status)
        if (text == kStatusNames[status])
            return static_cast<std::uint16_t>(status);
    if (const auto number = ParseDecimalText(text, 0xFFFF))
        return static_cast<std::uint16_t>(*number);
    return std::nullopt;
}

std::optional<OptionBytes> ParseIaidText(std::string_view text)
{
    auto bytes = EncodeOptionValue(WireType::Bytes, text);
    if (!bytes || bytes->size() != 4)
        return std::nullopt;
    return bytes;
}
