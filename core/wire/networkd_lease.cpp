#include "core/wire/networkd_lease.h"

#include "core/wire/json_value.h"
#include "core/wire/option_text.h"
#include "platform/bounded_file.h"

#include <cerrno>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace
{
// The keys networkd writes for options it keeps (sd-dhcp-lease's save); each
// value is written as its code's wire type, but for option 33.
constexpr OptionTextName kNetworkdKeys[] = {
    {"NETMASK", 1},
    {"ROUTER", 3},
    {"DNS", 6},
    {"LPR", 9},
    {"HOSTNAME", 12},
    {"DOMAINNAME", 15},
    {"ROOT_PATH", 17},
    {"MTU", 26},
    {"BROADCAST", 28},
    // networkd keeps no destination of option 33 as the server sent it, only
    // the class's network with its prefix: "10.0.0.0/8,10.99.0.1".
    {"STATIC_ROUTES", 33, WireType::ClassfulRoutes},
    {"NTP", 42},
    {"VENDOR_SPECIFIC", 43},
    {"LIFETIME", 51},
    {"SERVER_ADDRESS", 54},
    {"T1", 58},
    {"T2", 59},
    {"SMTP", 69},
    {"POP3", 70},
    {"TIMEZONE", 101},
    {"DOMAIN_SEARCH_LIST", 119},
    {"SIP", 120},
    {"CLASSLESS_ROUTES", 121},
};

constexpr std::string_view kAddressKey = "ADDRESS";
// OPTION_224 ... OPTION_254: the site-specific options (RFC 2132 section 2), in
// hex. The prefix is kept as keys compare, without '_'.
constexpr std::string_view kPrivateKeyPrefix = "OPTION";
constexpr std::uint64_t kFirstPrivateOption = 224;
constexpr std::uint64_t kLastPrivateOption = 254;

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Keys compare without case and without '_': "ServerAddress" is SERVER_ADDRESS.
bool SameKey(std::string_view key, std::string_view tableKey)
{
    std::size_t i = 0;
    std::size_t k = 0;
    while (true)
    {
        while (i < key.size() && key[i] == '_')
            ++i;
        while (k < tableKey.size() && tableKey[k] == '_')
            ++k;
        if (i == key.size() || k == tableKey.size())
            return i == key.size() && k == tableKey.size();
        if (AsciiUpper(key[i++]) != AsciiUpper(tableKey[k++]))
            return false;
    }
}

// The private option code of a key such as OPTION_224.
std::optional<std::uint8_t> PrivateOptionCode(std::string_view key)
{
    constexpr std::size_t kLongestKey = 16;
    if (key.size() > kLongestKey)
        return std::nullopt;
    std::string normal;
    for (const char c : key)
    {
        if (c != '_')
            normal += AsciiUpper(c);
    }
    if (normal.compare(0, kPrivateKeyPrefix.size(), kPrivateKeyPrefix) != 0)
        return std::nullopt;
    const auto nCode = ParseDecimalText(std::string_view(normal).substr(kPrivateKeyPrefix.size()),
                                        kLastPrivateOption);
    if (!nCode || *nCode < kFirstPrivateOption)
        return std::nullopt;
    return static_cast<std::uint8_t>(*nCode);
}

void ApplyKey(std::string_view key, std::string_view value, Lease& lease)
{
    if (SameKey(key, kAddressKey))
    {
        if (const auto address = ParseAddressText(value))
            lease.m_nYourAddress = address;
        return;
    }
    std::optional<std::uint8_t> nCode;
    // The private options are written in hex.
    WireType type = WireType::Bytes;
    for (const OptionTextName& row : kNetworkdKeys)
    {
        if (SameKey(key, row.pszName))
        {
            nCode = row.nCode;
            type = TextFormat(row);
            break;
        }
    }
    if (!nCode)
        nCode = PrivateOptionCode(key);
    if (!nCode)
        return;
    if (auto bytes = EncodeOptionValue(type, value))
        lease.m_mapOptions.insert_or_assign(*nCode, std::move(*bytes));
}

std::string_view Trim(std::string_view text)
{
    const std::size_t nFirst = text.find_first_not_of(" \t\r\n");
    if (nFirst == std::string_view::npos)
        return {};
    return text.substr(nFirst, text.find_last_not_of(" \t\r\n") - nFirst + 1);
}

// A value as systemd's environment-file reader takes it: in double quotes a
// backslash escapes the next byte, in single quotes nothing is escaped.
std::optional<std::string> EnvironmentValue(std::string_view value)
{
    value = Trim(value);
    if (value.empty() || (value.front() != '"' && value.front() != '\''))
        return std::string(value);
    const char quote = value.front();
    if (value.size() < 2 || value.back() != quote)
        return std::nullopt;
    value = value.substr(1, value.size() - 2);
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i)
    {
        if (quote == '"' && value[i] == '\\' && i + 1 < value.size())
            ++i;
        else if (value[i] == quote)
            return std::nullopt;
        result += value[i];
    }
    return result;
}

void ParseKeyValueLines(std::string_view text, Lease& lease)
{
    while (!text.empty())
    {
        const std::size_t nEnd = text.find('\n');
        const std::string_view line = Trim(text.substr(0, nEnd));
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
        const std::size_t nEquals = line.find('=');
        if (line.empty() || line.front() == '#' || line.front() == ';' ||
            nEquals == std::string_view::npos)
            continue;
        if (const auto value = EnvironmentValue(line.substr(nEquals + 1)))
            ApplyKey(Trim(line.substr(0, nEquals)), *value, lease);
    }
}

// An address written as its four bytes: [10, 99, 0, 1].
std::optional<std::string> AddressOfBytes(const JsonValue& value)
{
    if (value.m_kind != JsonValue::Kind::Array || value.m_Items.size() != 4)
        return std::nullopt;
    std::string text;
    for (const JsonValue& item : value.m_Items)
    {
        if (item.m_kind != JsonValue::Kind::Number || !ParseDecimalText(item.m_strText, 0xFF))
            return std::nullopt;
        text += (text.empty() ? "" : ".") + item.m_strText;
    }
    return text;
}

// A member's value as the KEY=value text it stands for.
std::optional<std::string> ValueText(const JsonValue& value)
{
    switch (value.m_kind)
    {
    case JsonValue::Kind::String:
        return value.m_strText;
    case JsonValue::Kind::Number:
        if (!ParseDecimalText(value.m_strText, std::numeric_limits<std::uint64_t>::max()))
            return std::nullopt;
        return value.m_strText;
    case JsonValue::Kind::Array:
        break;
    default:
        return std::nullopt;
    }
    if (auto address = AddressOfBytes(value))
        return address;
    std::string text;
    for (const JsonValue& item : value.m_Items)
    {
        auto itemText = item.m_kind == JsonValue::Kind::String ? std::optional(item.m_strText)
                                                               : AddressOfBytes(item);
        if (!itemText)
            return std::nullopt;
        text += (text.empty() ? "" : " ") + *itemText;
    }
    return text;
}

class CNetworkdLeaseSource final : public CLeaseSource
{
public:
    explicit CNetworkdLeaseSource(std::string strRun) : m_strRun(std::move(strRun)) {}

    const char* Name() const override { return "networkd"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    std::string m_strRun;
};

int CNetworkdLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    if (iface.m_nIndex == 0)
        return ENOENT; // no interface has index 0
    std::string text;
    std::int64_t tModified = 0;
    const int nRead =
        ReadBoundedFile(m_strRun + "/systemd/netif/leases/" + std::to_string(iface.m_nIndex),
                        kMaxFileBytes, SymbolicLinks::Refuse, text, tModified);
    if (nRead != 0)
        return nRead;
    const int nParsed = ParseNetworkdLease(text, lease);
    if (nParsed != 0)
        return nParsed;
    lease.m_tObtained = tModified;
    if (const auto nSeconds = FiniteLeaseSeconds(lease.m_mapOptions))
        lease.m_tExpires = tModified + *nSeconds;
    return 0;
}
} // namespace

int ParseNetworkdLease(std::string_view text, Lease& lease)
{
    const std::string_view content = Trim(text);
    if (!content.empty() && content.front() == '{')
    {
        const auto document = ParseJson(content);
        if (!document || document->m_kind != JsonValue::Kind::Object)
            return EBADMSG;
        for (std::size_t i = 0; i < document->m_Keys.size(); ++i)
        {
            if (const auto value = ValueText(document->m_Items[i]))
                ApplyKey(document->m_Keys[i], *value, lease);
        }
    }
    else
    {
        ParseKeyValueLines(text, lease);
    }
    return lease.m_nYourAddress || !lease.m_mapOptions.empty() ? 0 : ENOENT;
}

std::unique_ptr<CLeaseSource> MakeNetworkdLeaseSource(const LinuxPaths& paths)
{
    return std::make_unique<CNetworkdLeaseSource>(paths.m_strRun);
}
