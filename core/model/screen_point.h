// Where the results list's menu opens: the cursor position that a message
// carries (GetMessagePos), x in its low 16 bits and y in its high 16 bits.
#pragma once

#include <cstdint>

struct ScreenPoint
{
    int x;
    int y;
};

// Each half is a signed number, so that a screen left of or above the primary
// one, whose coordinates are negative, does not put the menu 65536 pixels away.
constexpr ScreenPoint ScreenPointFromMessagePos(std::uint32_t dwPos)
{
    return {static_cast<std::int16_t>(dwPos & 0xFFFFu), static_cast<std::int16_t>(dwPos >> 16)};
}
