// UTF-8 (RFC 3629): the encoding of Linux texts and of JSON.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point of the UTF-8 sequence at text[pos], moving pos past it. A
// malformed sequence (a stray or cut-short byte, an overlong form, a surrogate,
// beyond U+10FFFF) gives U+FFFD and moves pos past its first byte only.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// The text with each malformed sequence's bytes replaced by U+FFFD, one per
// byte that does not start a well-formed sequence.
std::string ReplaceMalformedUtf8(std::string_view text);
