// Hue, saturation and value: the integer conversions between them and SColor that the palette box,
// the colour chart and scripts share. Integer arithmetic throughout, so every caller gets the same
// bytes for the same numbers.
#pragma once

#include "SColor.h"

#include <cstdint>

namespace ulib {

struct SHsv
{
    std::int32_t hue = 0;         // degrees, 0..359 (0 red, 120 green, 240 blue)
    std::int32_t saturation = 0;  // 0..255
    std::int32_t value = 0;       // 0..255, the largest of red, green and blue
    std::int32_t alpha = 255;     // 255 - transparency

    constexpr bool operator==(const SHsv&) const = default;
};

// The colour of hue (any integer, taken modulo 360), saturation and value (each clamped to 0..255)
// with transparency 255 - alpha (low 8 bits). Saturation 0 is not an exact grey: the smallest
// channel is (255 * value) >> 8, one below value for most values.
SColor HsvToColour(std::int32_t hue, std::int32_t saturation, std::int32_t alpha, std::int32_t value);

// Hue, saturation and value of the colour's red, green and blue, and its alpha. Greys give hue 0 and
// saturation 0; black gives value 0 too.
SHsv ColourToHsv(SColor colour);

}  // namespace ulib
