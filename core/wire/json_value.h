// A small strict JSON reader (RFC 8259) for lease files: bounded in nesting
// and in the number of values, so that hostile input cannot exhaust the stack
// or the memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMaxJsonDepth = 32;
inline constexpr std::size_t kMaxJsonValues = 4096;

struct JsonValue
{
    enum class Kind
    {
        Null,
        Boolean,
        Number,
        String,
        Array,
        Object,
    };

    Kind m_kind = Kind::Null;
    bool m_bValue = false;
    // A string's text (escapes resolved, UTF-8), or a number as it was written.
    std::string m_strText;
    // An array's items, or an object's member values in order, named by m_Keys.
    std::vector<JsonValue> m_Items;
    std::vector<std::string> m_Keys;
};

// The one value the whole text holds (blanks around it allowed), or nullopt
// when the text is not valid JSON or passes the limits.
std::optional<JsonValue> ParseJson(std::string_view text);
