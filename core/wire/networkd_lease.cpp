#include "core/wire/networkd_lease.h"

#include "core/wire/address_text.h"
#include "core/wire/option_text.h"
#include "platform/utf8.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// The members of the top-level object, each with its value as the KEY=value
// text it stands for: a string, a non-negative integer, an address as its
// four bytes ([10, 99, 0, 1]), or an array of strings and such addresses (a
// list, its items joined by blanks). Members of any other type are left out.
//
// A SAX reader builds no document: it keeps those texts alone, and gives up
// on a value deeper than kMaxJsonDepth or beyond the kMaxJsonValues-th.
class CLeaseMembers final : public nlohmann::json_sax<nlohmann::json>
{
public:
    std::vector<std::pair<std::string, std::string>> m_members;

    bool null() override { return Scalar(nullptr, std::nullopt); }
    bool boolean(bool) override { return Scalar(nullptr, std::nullopt); }
    bool number_integer(number_integer_t) override { return Scalar(nullptr, std::nullopt); }
    bool number_unsigned(number_unsigned_t nValue) override { return Scalar(nullptr, nValue); }
    bool number_float(number_float_t, const string_t&) override
    {
        return Scalar(nullptr, std::nullopt);
    }
    bool string(string_t& text) override { return Scalar(&text, std::nullopt); }
    bool binary(binary_t&) override { return false; } // not in JSON text
    bool start_object(std::size_t) override { return StartContainer(false); }
    bool key(string_t& text) override
    {
        if (m_nDepth == 1)
            m_strKey = text;
        return true;
    }
    bool end_object() override { return EndContainer(); }
    bool start_array(std::size_t) override { return StartContainer(true); }
    bool end_array() override { return EndContainer(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override
    {
        return false;
    }

private:
    // Depth: the containers open around the value, the document's object
    // being the first.
    bool Count() { return ++m_nValues <= kMaxJsonValues && m_nDepth <= kMaxJsonDepth; }
    bool Scalar(const std::string* pText, std::optional<std::uint64_t> nUnsigned);
    bool StartContainer(bool bArray);
    bool EndContainer();

    int m_nDepth = 0;
    std::size_t m_nValues = 0;
    std::string m_strKey;
    // The member's array, while it is read: its string and address items, its
    // byte items, and whether it held anything else.
    bool m_bInList = false;
    std::vector<std::string> m_listTexts;
    std::vector<std::uint8_t> m_listBytes;
    bool m_bListOther = false;
    // An item of that array that is itself an array: an address's bytes.
    bool m_bInAddress = false;
    std::vector<std::uint8_t> m_addressBytes;
    bool m_bAddressOther = false;
};

bool CLeaseMembers::Scalar(const std::string* pText, std::optional<std::uint64_t> nUnsigned)
{
    if (!Count() || m_nDepth == 0)
        return false; // the document must be an object
    const bool bByte = nUnsigned && *nUnsigned <= 0xFF;
    if (m_nDepth == 1)
    {
        if (pText != nullptr)
            m_members.emplace_back(m_strKey, *pText);
        else if (nUnsigned)
            m_members.emplace_back(m_strKey, std::to_string(*nUnsigned));
    }
    else if (m_nDepth == 2 && m_bInList)
    {
        if (pText != nullptr)
            m_listTexts.push_back(*pText);
        else if (bByte)
            m_listBytes.push_back(static_cast<std::uint8_t>(*nUnsigned));
        else
            m_bListOther = true;
    }
    else if (m_nDepth == 3 && m_bInAddress)
    {
        if (bByte)
            m_addressBytes.push_back(static_cast<std::uint8_t>(*nUnsigned));
        else
            m_bAddressOther = true;
    }
    return true;
}

bool CLeaseMembers::StartContainer(bool bArray)
{
    if (!Count() || (m_nDepth == 0 && bArray))
        return false;
    if (m_nDepth == 1 && bArray)
    {
        m_bInList = true;
        m_listTexts.clear();
        m_listBytes.clear();
        m_bListOther = false;
    }
    else if (m_nDepth == 2 && m_bInList)
    {
        m_bInAddress = bArray;
        m_addressBytes.clear();
        m_bAddressOther = !bArray;
    }
    else if (m_nDepth == 3 && m_bInAddress)
    {
        m_bAddressOther = true;
    }
    ++m_nDepth;
    return true;
}

bool CLeaseMembers::EndContainer()
{
    --m_nDepth;
    if (m_nDepth == 2 && m_bInList)
    {
        if (!m_bAddressOther && m_addressBytes.size() == 4)
            m_listTexts.push_back(DottedQuad(m_addressBytes.data()));
        else
            m_bListOther = true;
        m_bInAddress = false;
    }
    else if (m_nDepth == 1 && m_bInList)
    {
        m_bInList = false;
        if (m_bListOther)
            return true;
        if (m_listTexts.empty() && m_listBytes.size() == 4)
        {
            m_members.emplace_back(m_strKey, DottedQuad(m_listBytes.data()));
        }
        else if (m_listBytes.empty())
        {
            std::string text;
            for (const std::string& item : m_listTexts)
                text += (text.empty() ? "" : " ") + item;
            m_members.emplace_back(m_strKey, std::move(text));
        }
    }
    return true;
}
} // namespace

int ParseNetworkdLease(std::string_view text, Lease& lease)
{
    const std::string_view content = Trim(text);
    if (!content.empty() && content.front() == '{')
    {
        // networkd writes UTF-8; a malformed byte is read as U+FFFD rather
        // than losing the whole lease to it.
        CLeaseMembers members;
        if (!nlohmann::json::sax_parse(ReplaceMalformedUtf8(content), &members))
            return EBADMSG;
        for (const auto& [key, value] : members.m_members)
            ApplyKey(key, value, lease);
    }
    else
    {
        ParseKeyValueLines(text, lease);
    }
    return lease.m_nYourAddress || !lease.m_mapOptions.empty() ? 0 : ENOENT;
}
