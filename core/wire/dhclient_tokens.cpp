#include "core/wire/dhclient_tokens.h"

#include <algorithm>
#include <array>

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
} // namespace

DhclientToken DhclientTokenizer::Next()
{
    while (m_at < m_text.size() && (IsBlank(m_text[m_at]) || m_text[m_at] == '#'))
    {
        if (m_text[m_at] == '#')
            m_at = std::min(m_text.find('\n', m_at), m_text.size());
        else
            ++m_at;
    }
    if (m_at >= m_text.size())
        return {DhclientTokenKind::End, {}};

    const std::size_t begin = m_at;
    static constexpr std::string_view kMarks = "{};";
    static constexpr std::array<DhclientTokenKind, 3> kMarkKinds = {
        DhclientTokenKind::Open, DhclientTokenKind::Close, DhclientTokenKind::Semicolon};
    const std::size_t mark = kMarks.find(m_text[m_at]);
    if (mark != std::string_view::npos)
        return {kMarkKinds[mark], m_text.substr(m_at++, 1)};

    if (m_text[m_at] == '"')
    {
        for (++m_at; m_at < m_text.size() && m_text[m_at] != '"'; ++m_at)
            if (m_text[m_at] == '\\')
                ++m_at;
        if (m_at >= m_text.size())
        {
            m_at = m_text.size();
            return {DhclientTokenKind::End, {}};
        }
        ++m_at;
        return {DhclientTokenKind::Quoted, m_text.substr(begin, m_at - begin)};
    }
    while (m_at < m_text.size() && !IsBlank(m_text[m_at]) &&
           std::string_view("{};\"#").find(m_text[m_at]) == std::string_view::npos)
        ++m_at;
    return {DhclientTokenKind::Word, m_text.substr(begin, m_at - begin)};
}

DhclientStatement ReadStatement(DhclientTokenizer& tokenizer)
{
    DhclientStatement statement;
    for (DhclientToken token = tokenizer.Next();; token = tokenizer.Next())
    {
        if (token.kind != DhclientTokenKind::Word && token.kind != DhclientTokenKind::Quoted)
        {
            statement.end = token.kind;
            return statement;
        }
        statement.tokens.push_back(token);
    }
}

// Skips the rest of a block whose '{' has been read, nested blocks and all.
// False when the text ends first.
bool SkipBlock(DhclientTokenizer& tokenizer)
{
    for (std::size_t depth = 1; depth > 0;)
    {
        const DhclientToken token = tokenizer.Next();
        if (token.kind == DhclientTokenKind::End)
            return false;
        if (token.kind == DhclientTokenKind::Open)
            ++depth;
        else if (token.kind == DhclientTokenKind::Close)
            --depth;
    }
    return true;
}

// A quoted interface name without its quotes; names have no escapes.
std::string_view Unquoted(const DhclientToken& token)
{
    if (token.kind == DhclientTokenKind::Quoted)
        return token.text.substr(1, token.text.size() - 2);
    return token.text;
}
