#include "core/wire/dhclient_lease.h"

#include "core/wire/dhclient_tokens.h"

#include "core/wire/option_text.h"
#include "core/wire/option_value.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <optional>
#include <string>
#include <time.h> // timegm
#include <utility>
#include <vector>

namespace
{

// Splits "2026/12/09" or "05:52:06" into three numbers of at most the given maxima.
bool ParseFields(std::string_view text, char separator, const std::array<std::uint64_t, 3>& max,
                 std::array<std::uint64_t, 3>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
    {
        const std::size_t nEnd = i + 1 < fields.size() ? text.find(separator) : text.size();
        if (nEnd == std::string_view::npos)
            return false;
        const auto nValue = ParseDecimalText(text.substr(0, nEnd), max[i]);
        if (!nValue)
            return false;
        fields[i] = *nValue;
        text.remove_prefix(std::min(nEnd + 1, text.size()));
    }
    return true;
}

bool IsLeapYear(std::uint64_t nYear)
{
    return nYear % 4 == 0 && (nYear % 100 != 0 || nYear % 400 == 0);
}

// "expire 3 2026/12/09 05:52:06" (weekday, then the UTC date and time),
// "expire epoch 1796795526" or "expire never" (no expiry). False when the
// statement is none of these.
bool ParseExpiry(const std::vector<DhclientToken>& tokens, std::optional<std::int64_t>& tExpires)
{
    if (tokens.size() == 2 && tokens[1].text == "never")
    {
        tExpires.reset();
        return true;
    }
    if (tokens.size() == 3 && tokens[1].text == "epoch")
    {
        const auto tEpoch = ParseDecimalText(tokens[2].text, kLatestLeaseTime);
        if (!tEpoch)
            return false;
        tExpires = static_cast<std::int64_t>(*tEpoch);
        return true;
    }
    std::array<std::uint64_t, 3> date{};
    std::array<std::uint64_t, 3> time{};
    if (tokens.size() != 4 || !ParseDecimalText(tokens[1].text, 6) ||
        !ParseFields(tokens[2].text, '/', {9999, 12, 31}, date) ||
        !ParseFields(tokens[3].text, ':', {23, 59, 59}, time))
        return false;
    static constexpr std::array<std::uint64_t, 12> kMonthDays = {31, 28, 31, 30, 31, 30,
                                                                 31, 31, 30, 31, 30, 31};
    const auto [nYear, nMonth, nDay] = date;
    if (nYear < 1970 || nMonth < 1 || nDay < 1 ||
        nDay > kMonthDays[nMonth - 1] + (nMonth == 2 && IsLeapYear(nYear) ? 1 : 0))
        return false;
    // Every field is in range here, so timegm normalises nothing; it fails
    // only where time_t cannot hold the year.
    std::tm utc{};
    utc.tm_year = static_cast<int>(nYear) - 1900;
    utc.tm_mon = static_cast<int>(nMonth) - 1;
    utc.tm_mday = static_cast<int>(nDay);
    utc.tm_hour = static_cast<int>(time[0]);
    utc.tm_min = static_cast<int>(time[1]);
    utc.tm_sec = static_cast<int>(time[2]);
    const std::time_t tUtc = timegm(&utc);
    if (tUtc == static_cast<std::time_t>(-1))
        return false;
    tExpires = static_cast<std::int64_t>(tUtc);
    return true;
}

// What one lease block says.
struct LeaseBlock
{
    Lease lease;
    std::optional<std::string> interfaceName;
};

const DhclientDeclaration* Declared(const std::vector<DhclientDeclaration>& declared,
                                    std::string_view name)
{
    for (const DhclientDeclaration& declaration : declared)
    {
        if (declaration.m_strName == name)
            return &declaration;
    }
    return nullptr;
}

void ApplyStatement(const std::vector<DhclientToken>& tokens, LeaseBlock& block,
                    const std::vector<DhclientDeclaration>& declared)
{
    if (tokens.empty() || tokens[0].kind != DhclientTokenKind::Word)
        return;
    const std::string_view keyword = tokens[0].text;
    if (keyword == "interface" && tokens.size() == 2)
    {
        block.interfaceName = std::string(Unquoted(tokens[1]));
    }
    else if (keyword == "fixed-address" && tokens.size() == 2)
    {
        if (const auto address = ParseAddressText(tokens[1].text))
            block.lease.m_nYourAddress = address;
    }
    else if (keyword == "option" && tokens.size() >= 3 && tokens[1].kind == DhclientTokenKind::Word)
    {
        // The value is the statement's text from its first token to its last.
        const char* pBegin = tokens[2].text.data();
        const char* pEnd = tokens.back().text.data() + tokens.back().text.size();
        const std::string_view value(pBegin, static_cast<std::size_t>(pEnd - pBegin));
        const std::string_view name = tokens[1].text;
        const DhclientDeclaration* pDeclared = Declared(declared, name);
        std::optional<std::pair<std::uint8_t, OptionBytes>> option;
        if (pDeclared == nullptr)
        {
            option = EncodeOptionText(name, value);
        }
        else if (pDeclared->m_type)
        {
            if (auto bytes = EncodeOptionValue(*pDeclared->m_type, value))
                option.emplace(pDeclared->m_nCode, std::move(*bytes));
        }
        // A name the block repeats keeps its last value, as renewals write it.
        std::vector<UnmappedOption>& unmapped = block.lease.m_Unmapped;
        auto line =
            std::find_if(unmapped.begin(), unmapped.end(),
                         [&](const UnmappedOption& kept) { return kept.m_strName == name; });
        if (option)
        {
            if (line != unmapped.end())
                unmapped.erase(line);
            block.lease.m_mapOptions.insert_or_assign(option->first, std::move(option->second));
            return;
        }
        if (line == unmapped.end())
        {
            line = unmapped.insert(unmapped.end(), UnmappedOption());
            line->m_strName = std::string(name);
        }
        line->m_nCode = pDeclared != nullptr ? pDeclared->m_nCode : OptionTextCode(name);
        line->m_strText = std::string(value);
        if (line->m_nCode)
            block.lease.m_mapOptions.erase(*line->m_nCode);
    }
    else if (keyword == "expire")
    {
        std::optional<std::int64_t> tExpires;
        if (ParseExpiry(tokens, tExpires))
            block.lease.m_tExpires = tExpires;
    }
}

// The statements of a lease block whose '{' has been read. False when the
// text ends before the block's '}'.
bool ReadLeaseBlock(DhclientTokenizer& tokenizer, LeaseBlock& block,
                    const std::vector<DhclientDeclaration>& declared)
{
    while (true)
    {
        const DhclientStatement statement = ReadStatement(tokenizer);
        switch (statement.end)
        {
        case DhclientTokenKind::Semicolon:
            ApplyStatement(statement.tokens, block, declared);
            break;
        case DhclientTokenKind::Open:
            if (!SkipBlock(tokenizer))
                return false;
            break;
        case DhclientTokenKind::Close:
            return true;
        default:
            return false;
        }
    }
}

// The type words of a declaration, after its '=', as this program reads the
// values dhclient writes for them; none for another type.
std::optional<WireType> DeclaredType(const std::vector<DhclientToken>& tokens, std::size_t nFirst)
{
    std::string strType;
    for (std::size_t i = nFirst; i < tokens.size(); ++i)
        strType += (strType.empty() ? "" : " ") + std::string(tokens[i].text);
    static constexpr std::pair<std::string_view, WireType> kTypes[] = {
        {"ip-address", WireType::Address},
        {"array of ip-address", WireType::Addresses},
        {"unsigned integer 8", WireType::UInt8},
        {"unsigned integer 16", WireType::UInt16},
        {"unsigned integer 32", WireType::UInt32},
        {"signed integer 32", WireType::Int32},
        {"integer 32", WireType::Int32},
        {"array of unsigned integer 8", WireType::UInt8List},
        {"array of unsigned integer 16", WireType::UInt16List},
        {"boolean", WireType::Boolean},
        {"text", WireType::Text},
        {"string", WireType::Bytes},
        {"domain-name", WireType::DomainList},
        {"domain-list", WireType::DomainList},
        {"domain-list compressed", WireType::DomainList},
    };
    for (const auto& [name, type] : kTypes)
    {
        if (strType == name)
            return type;
    }
    return std::nullopt;
}

// "option NAME code N = ..." as far as its '=': the declaration without its
// type, or nothing for another statement.
std::optional<DhclientDeclaration> DeclarationHead(const std::vector<DhclientToken>& tokens)
{
    if (tokens.size() < 5 || tokens[0].text != "option" || tokens[2].text != "code" ||
        tokens[4].text != "=" ||
        std::any_of(tokens.begin(), tokens.begin() + 5,
                    [](const DhclientToken& token)
                    { return token.kind != DhclientTokenKind::Word; }) ||
        tokens[1].text.find('.') != std::string_view::npos)
        return std::nullopt;
    const auto nCode = ParseDecimalText(tokens[3].text, 254);
    if (!nCode || *nCode == 0)
        return std::nullopt;
    DhclientDeclaration declaration;
    declaration.m_strName = std::string(tokens[1].text);
    declaration.m_nCode = static_cast<std::uint8_t>(*nCode);
    return declaration;
}

void AddDeclaration(std::vector<DhclientDeclaration>& declared, DhclientDeclaration declaration)
{
    for (DhclientDeclaration& earlier : declared)
    {
        if (earlier.m_strName == declaration.m_strName)
        {
            earlier = std::move(declaration);
            return;
        }
    }
    if (declared.size() < kMaxDhclientDeclarations)
        declared.push_back(std::move(declaration));
}
} // namespace

std::vector<DhclientDeclaration> ParseDhclientDeclarations(std::string_view text)
{
    DhclientTokenizer tokenizer(text);
    std::vector<DhclientDeclaration> declared;
    for (DhclientStatement statement = ReadStatement(tokenizer);
         statement.end != DhclientTokenKind::End; statement = ReadStatement(tokenizer))
    {
        std::optional<DhclientDeclaration> declaration = DeclarationHead(statement.tokens);
        // A record type, "= { ip-address, text }", opens a block of its own.
        if (statement.end == DhclientTokenKind::Open && declaration)
        {
            if (!SkipBlock(tokenizer))
                break;
        }
        else if (statement.end != DhclientTokenKind::Semicolon)
        {
            continue; // the statements inside "interface" blocks are read too
        }
        else if (declaration)
        {
            declaration->m_type = DeclaredType(statement.tokens, 5);
        }
        if (declaration)
            AddDeclaration(declared, std::move(*declaration));
    }
    return declared;
}

int ParseDhclientLeases(std::string_view text, std::string_view interfaceName, Lease& lease,
                        const std::vector<DhclientDeclaration>& declared)
{
    DhclientTokenizer tokenizer(text);
    bool bFound = false;
    while (true)
    {
        const DhclientStatement statement = ReadStatement(tokenizer);
        if (statement.end == DhclientTokenKind::End)
            break;
        if (statement.end != DhclientTokenKind::Open)
            continue; // statements outside blocks ("default-duid") and stray '}'
        const bool bLease = statement.tokens.size() == 1 && statement.tokens[0].text == "lease" &&
                            statement.tokens[0].kind == DhclientTokenKind::Word;
        if (!bLease)
        {
            if (!SkipBlock(tokenizer)) // "lease6", "failover" and the like
                break;
            continue;
        }
        LeaseBlock block;
        if (!ReadLeaseBlock(tokenizer, block, declared))
            break;
        if (block.interfaceName == interfaceName)
        {
            lease = std::move(block.lease);
            bFound = true;
        }
    }
    if (!bFound)
        return ENOENT;
    DeriveLeaseStart(lease);
    return 0;
}
