#include "SColourText.h"

#include "SAscii.h"

#include <cstdint>
#include <string>

namespace ulib {

namespace {

// The base a "0" followed by this byte selects, or 0 when it is no base letter.
int PrefixBase(char c)
{
    switch (c) {
    case 'b': case 'B':
        return 2;
    case 'o': case 'O':
        return 8;
    case 'd': case 'D':
        return 10;
    case 'x': case 'X': case 'h': case 'H':
        return 16;
    default:
        return 0;
    }
}

std::uint8_t Clamp255(std::int64_t value) { return std::uint8_t(value < 0 ? 0 : (value > 255 ? 255 : value)); }

SColor HexColour(std::string_view digits)
{
    std::uint32_t value = 0;
    std::size_t count = 0;
    while (count < 8 && count < digits.size() && HexDigitValue(digits[count]) >= 0) {
        value = value << 4 | std::uint32_t(HexDigitValue(digits[count]));
        ++count;
    }
    if (count == 8)
        return SColor(std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                      std::uint8_t(255 - (value & 0xFF)));
    if (count == 7)
        value >>= 4;  // the seventh digit is ignored
    else if (count < 6)
        return SColor::Black;
    return SColor(std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value));
}

}  // namespace

SString ColourToText(SColor colour, std::string_view format)
{
    std::string text = "(";
    text += std::to_string(colour.r);
    text += ',';
    text += std::to_string(colour.g);
    text += ',';
    text += std::to_string(colour.b);
    if (colour.t == 0)
        return SString(text + ")");
    const std::string alpha = std::to_string(255 - colour.t);
    return SString(format == "/" ? text + ") " + alpha : text + "," + alpha + ")");
}

SColor TextToColour(std::string_view text)
{
    if (text.empty())
        return SColor::Black;
    if (text[0] == '#')
        return HexColour(text.substr(1));

    // Numbers far past 255 only need to stay past it.
    constexpr std::int64_t Saturated = 0x7FFFFFFF;
    std::int64_t numbers[4] = {0, 0, 0, 0};
    int found = 0;
    std::size_t i = 0;
    const auto printable = [&](std::size_t at) { return at < text.size() && text[at] >= 0x20 && text[at] <= 0x7E; };
    while (found < 4 && printable(i)) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        const bool negative = i > 0 && text[i - 1] == '-';
        int base = 10;
        if (text[i] == '0' && printable(i + 1) && PrefixBase(text[i + 1])) {
            base = PrefixBase(text[i + 1]);
            i += 2;
        }
        std::int64_t value = 0;
        for (; printable(i); ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0 || digit >= base)
                break;
            value = value * base + digit;
            if (value > Saturated)
                value = Saturated;
        }
        numbers[found++] = negative ? -value : value;
    }

    const SColor colour(Clamp255(numbers[0]), Clamp255(numbers[1]), Clamp255(numbers[2]));
    if (found < 4)
        return colour;
    return SColor(colour.r, colour.g, colour.b, std::uint8_t(255 - Clamp255(numbers[3])));
}

}  // namespace ulib
