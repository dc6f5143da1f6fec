// The words of dhclient's lease and configuration files: its lease blocks
// ("lease { ... }", "lease6 { ... }") and statements, as its own lexer splits
// them.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

enum class DhclientTokenKind
{
    Word,
    Quoted, // with its quotes
    Open,
    Close,
    Semicolon,
    End,
};

struct DhclientToken
{
    DhclientTokenKind kind;
    std::string_view text;
};

// Splits the lease text into words, quoted texts and the marks { } ; where a
// '#' outside quotes starts a comment to the end of the line. A quote left
// open ends the text.
class DhclientTokenizer
{
public:
    explicit DhclientTokenizer(std::string_view text) : m_text(text) {}

    DhclientToken Next();

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

// The words and quoted texts of one statement, and the mark that ended it.
struct DhclientStatement
{
    std::vector<DhclientToken> tokens;
    DhclientTokenKind end = DhclientTokenKind::End;
};

// Reads one statement: its words up to the mark that ends it.
DhclientStatement ReadStatement(DhclientTokenizer& tokenizer);

// Skips the rest of a block whose '{' has been read, nested blocks and all.
// False when the text ends first.
bool SkipBlock(DhclientTokenizer& tokenizer);

// A quoted interface name without its quotes; names have no escapes.
std::string_view Unquoted(const DhclientToken& token);
