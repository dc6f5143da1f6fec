#include "core/wire/dhclient6_lease.h"

#include "core/wire/dhclient_tokens.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/dhcpv6_option_text.h"
#include "core/wire/option_text.h"
#include "core/wire/option_value.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace
{
constexpr std::string_view kOptionSpace = "dhcp6.";
constexpr std::uint64_t kMaxLifetime = 0xFFFFFFFF;

using Tokens = std::vector<DhclientToken>;

// What one scope of a block gives: its options in order and the lines that
// gave none.
struct Scope
{
    Dhcpv6Options options;
    std::vector<UnmappedOption6> unmapped;
    std::optional<std::int64_t> starts;
};

// The statement's text from its first value token to its last.
std::string_view ValueText(const Tokens& tokens, std::size_t first)
{
    const char* begin = tokens[first].text.data();
    const char* end = tokens.back().text.data() + tokens.back().text.size();
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

void KeepUnmapped(Scope& scope, std::string_view name, std::optional<std::uint16_t> code,
                  std::string_view text)
{
    scope.unmapped.push_back({std::string(name), code, std::string(text)});
}

// dhclient writes the status as its name, then the message, if any, quoted.
std::optional<Dhcpv6Option> EncodeStatus(const Tokens& tokens)
{
    const auto status = ParseStatusText(tokens[2].text);
    if (!status)
        return std::nullopt;
    if (tokens.size() == 3)
        return StatusCode(*status, {});
    const auto message = EncodeOptionValue(WireType::Text, ValueText(tokens, 3));
    if (!message)
        return std::nullopt;
    return StatusCode(
        *status, std::string_view(reinterpret_cast<const char*>(message->data()), message->size()));
}

// "option dhcp6.NAME VALUE;": the option replaces an earlier line of its
// name in the scope, with bytes or without.
void ApplyOption(const Tokens& tokens, Scope& scope)
{
    const std::string_view fullName = tokens[1].text;
    const std::string_view value = ValueText(tokens, 2);
    std::optional<std::uint16_t> code;
    std::optional<Dhcpv6Option> option;
    if (fullName.substr(0, kOptionSpace.size()) == kOptionSpace)
    {
        const std::string_view name = fullName.substr(kOptionSpace.size());
        code = Dhcpv6TextCode(name);
        option = name == "status-code" ? EncodeStatus(tokens) : EncodeDhcpv6OptionText(name, value);
    }
    auto& unmapped = scope.unmapped;
    unmapped.erase(std::remove_if(unmapped.begin(), unmapped.end(),
                                  [&](const UnmappedOption6& kept)
                                  { return kept.name == fullName; }),
                   unmapped.end());
    if (code)
    {
        auto& options = scope.options;
        options.erase(std::remove_if(options.begin(), options.end(),
                                     [&](const Dhcpv6Option& kept) { return kept.code == *code; }),
                      options.end());
    }
    if (option)
        scope.options.push_back(std::move(*option));
    else
        KeepUnmapped(scope, fullName, code, value);
}

std::optional<std::uint32_t> Lifetime(const Tokens& tokens)
{
    if (tokens.size() != 2)
        return std::nullopt;
    const auto value = ParseDecimalText(tokens[1].text, kMaxLifetime);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

// A statement of a scope: "starts", a lifetime by its keyword into the
// named slot, or an option line; other statements are skipped.
void ApplyStatement(const Tokens& tokens, Scope& scope,
                    std::initializer_list<std::pair<std::string_view, std::uint32_t*>> lifetimes)
{
    if (tokens.empty() || tokens[0].kind != DhclientTokenKind::Word)
        return;
    const std::string_view keyword = tokens[0].text;
    if (keyword == "option" && tokens.size() >= 3 && tokens[1].kind == DhclientTokenKind::Word)
    {
        ApplyOption(tokens, scope);
        return;
    }
    if (keyword == "starts" && tokens.size() == 2)
    {
        if (const auto starts = ParseDecimalText(tokens[1].text, kLatestLeaseTime))
            scope.starts = static_cast<std::int64_t>(*starts);
        return;
    }
    for (const auto& [name, slot] : lifetimes)
    {
        if (keyword == name)
        {
            if (const auto value = Lifetime(tokens))
                *slot = *value;
            return;
        }
    }
}

// The statements of a nested block whose '{' has been read. False when the
// text ends before its '}'.
template <typename OnStatement, typename OnBlock>
bool ReadScope(DhclientTokenizer& tokenizer, OnStatement onStatement, OnBlock onBlock)
{
    for (;;)
    {
        const DhclientStatement statement = ReadStatement(tokenizer);
        switch (statement.end)
        {
        case DhclientTokenKind::Semicolon:
            onStatement(statement.tokens);
            break;
        case DhclientTokenKind::Open:
            if (!onBlock(statement.tokens))
                return false;
            break;
        case DhclientTokenKind::Close:
            return true;
        default:
            return false;
        }
    }
}

// An "iaaddr ADDRESS { }" or "iaprefix PREFIX/LENGTH { }" block into the
// identity association's scope. False when the text ends before its '}'.
bool ReadAddressBlock(DhclientTokenizer& tokenizer, const Tokens& head, Scope& ia)
{
    Scope scope;
    std::uint32_t preferred = 0;
    std::uint32_t valid = 0;
    const bool whole = ReadScope(
        tokenizer,
        [&](const Tokens& tokens) {
            ApplyStatement(tokens, scope, {{"preferred-life", &preferred}, {"max-life", &valid}});
        },
        [&](const Tokens&) { return SkipBlock(tokenizer); });
    if (!whole)
        return false;
    const std::string_view keyword = head[0].text;
    const std::string_view text = head.size() == 2 ? head[1].text : std::string_view();
    std::optional<Dhcpv6Option> option;
    if (keyword == "iaaddr")
    {
        if (const auto address = ParseIpv6Text(text))
            option = IaAddress(*address, preferred, valid);
    }
    else
    {
        const std::size_t slash = text.find('/');
        const auto prefix = ParseIpv6Text(text.substr(0, slash));
        const auto length = slash == std::string_view::npos
                                ? std::nullopt
                                : ParseDecimalText(text.substr(slash + 1), 128);
        if (prefix && length)
            option = IaPrefix(*prefix, static_cast<std::uint8_t>(*length), preferred, valid);
    }
    if (!ia.starts)
        ia.starts = scope.starts;
    ia.unmapped.insert(ia.unmapped.end(), scope.unmapped.begin(), scope.unmapped.end());
    if (!option)
    {
        KeepUnmapped(ia, keyword, Dhcpv6TextCode(keyword), text);
        return true;
    }
    WriteDhcpv6Options(scope.options, option->data);
    // What no option's length could announce did not come in one.
    if (option->data.size() > kMaxDhcpv6OptionData)
        KeepUnmapped(ia, keyword, option->code, text);
    else
        ia.options.push_back(std::move(*option));
    return true;
}

// An "ia-na IAID { }", "ia-ta IAID { }" or "ia-pd IAID { }" block into the
// lease's scope. False when the text ends before its '}'.
bool ReadIaBlock(DhclientTokenizer& tokenizer, const Tokens& head, Scope& lease)
{
    Scope ia;
    std::uint32_t t1 = 0;
    std::uint32_t t2 = 0;
    const bool whole = ReadScope(
        tokenizer,
        [&](const Tokens& tokens) {
            ApplyStatement(tokens, ia, {{"renew", &t1}, {"rebind", &t2}});
        },
        [&](const Tokens& tokens)
        {
            if (tokens.size() >= 1 && tokens[0].kind == DhclientTokenKind::Word &&
                (tokens[0].text == "iaaddr" || tokens[0].text == "iaprefix"))
                return ReadAddressBlock(tokenizer, tokens, ia);
            return SkipBlock(tokenizer);
        });
    if (!whole)
        return false;
    const std::string_view keyword = head[0].text;
    const std::uint16_t code = *Dhcpv6TextCode(keyword);
    const std::string_view iaidText = head.size() == 2 ? head[1].text : std::string_view();
    if (!lease.starts)
        lease.starts = ia.starts;
    lease.unmapped.insert(lease.unmapped.end(), ia.unmapped.begin(), ia.unmapped.end());
    const auto iaid = ParseIaidText(iaidText);
    if (!iaid)
    {
        KeepUnmapped(lease, keyword, code, iaidText);
        return true;
    }
    Dhcpv6Option option = IdentityAssociation(code, *iaid, t1, t2, ia.options);
    if (option.data.size() > kMaxDhcpv6OptionData)
        KeepUnmapped(lease, keyword, code, iaidText);
    else
        lease.options.push_back(std::move(option));
    return true;
}

struct LeaseBlock
{
    Scope scope;
    std::optional<std::string> interfaceName;
};

bool ReadLeaseBlock(DhclientTokenizer& tokenizer, LeaseBlock& block)
{
    return ReadScope(
        tokenizer,
        [&](const Tokens& tokens)
        {
            if (tokens.size() == 2 && tokens[0].kind == DhclientTokenKind::Word &&
                tokens[0].text == "interface")
                block.interfaceName = std::string(Unquoted(tokens[1]));
            else
                ApplyStatement(tokens, block.scope, {});
        },
        [&](const Tokens& tokens)
        {
            if (tokens.size() >= 1 && tokens[0].kind == DhclientTokenKind::Word &&
                (tokens[0].text == "ia-na" || tokens[0].text == "ia-ta" ||
                 tokens[0].text == "ia-pd"))
                return ReadIaBlock(tokenizer, tokens, block.scope);
            return SkipBlock(tokenizer);
        });
}
} // namespace

int ParseDhclient6Leases(std::string_view text, std::string_view interfaceName, Lease6& lease)
{
    DhclientTokenizer tokenizer(text);
    bool found = false;
    for (;;)
    {
        const DhclientStatement statement = ReadStatement(tokenizer);
        if (statement.end == DhclientTokenKind::End)
            break;
        if (statement.end != DhclientTokenKind::Open)
            continue; // "default-duid" and the like
        const bool isLease = statement.tokens.size() == 1 &&
                             statement.tokens[0].kind == DhclientTokenKind::Word &&
                             statement.tokens[0].text == "lease6";
        if (!isLease)
        {
            if (!SkipBlock(tokenizer))
                break;
            continue;
        }
        LeaseBlock block;
        if (!ReadLeaseBlock(tokenizer, block))
            break;
        if (block.interfaceName == interfaceName)
        {
            lease.options = std::move(block.scope.options);
            lease.unmapped = std::move(block.scope.unmapped);
            lease.obtained = block.scope.starts;
            found = true;
        }
    }
    return found ? 0 : ENOENT;
}
