// The value of one hexadecimal digit, as option texts and JSON escapes write it.
#pragma once

// 0 to 15, or -1 when c is no hexadecimal digit (either case).
constexpr int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
