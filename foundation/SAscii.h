// Byte-level ASCII helpers for parsers of outside text: independent of the C locale, so a Japanese
// or Turkish locale never changes how a file or a setting is read.
#pragma once

namespace ulib {

// The value of a hexadecimal digit (either case), or -1.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A space or a tab: the blanks the settings, chart and store files allow around their fields.
constexpr bool IsAsciiBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

}  // namespace ulib
