#include "SHsv.h"

#include <algorithm>

namespace ulib {

SColor HsvToColour(std::int32_t hue, std::int32_t saturation, std::int32_t alpha, std::int32_t value)
{
    const std::int32_t h = ((hue % 360) + 360) % 360;
    const std::int32_t s = std::clamp(saturation, 0, 255);
    const std::int32_t v = std::clamp(value, 0, 255);

    const std::int32_t max = v;
    const std::int32_t min = ((255 - s) * v) >> 8;
    // Twice the span, so that the 60-degree slopes below can be divided by 120 with rounding help.
    const std::int32_t g = 2 * (v - min);

    std::int32_t r = min, gr = min, b = min;
    switch (h / 60) {
    case 0:
        r = max;
        gr = (h * g + 1) / 120 + min;
        break;
    case 1:
        gr = max;
        r = (g * (120 - h) + 1) / 120 + min;
        break;
    case 2:
        gr = max;
        b = (g * (h - 120) + 1) / 120 + min;
        break;
    case 3:
        b = max;
        gr = (g * (240 - h) + 1) / 120 + min;
        break;
    case 4:
        b = max;
        r = (g * (h - 240) + 1) / 120 + min;
        break;
    default:
        r = max;
        b = (g * (360 - h) + 1) / 120 + min;
        break;
    }
    return SColor(std::uint8_t(r), std::uint8_t(gr), std::uint8_t(b), std::uint8_t(255 - alpha));
}

SHsv ColourToHsv(SColor colour)
{
    const std::int32_t r = colour.r, g = colour.g, b = colour.b;
    const std::int32_t max = std::max({r, g, b});
    const std::int32_t min = std::min({r, g, b});
    const std::int32_t d = max - min;

    SHsv hsv;
    if (d != 0) {
        // The channel tests go in this order so that ties between two largest channels resolve
        // the same way everywhere (red before green before blue).
        if (r == max)
            hsv.hue = (g - b) * 60 / d;
        else if (g == max)
            hsv.hue = (b - r) * 60 / d + 120;
        else
            hsv.hue = (r - g) * 60 / d + 240;
        hsv.hue = (hsv.hue % 360 + 360) % 360;
    }
    hsv.saturation = max == 0 ? 0 : std::min(d * 256 / max, 255);
    hsv.value = max;
    hsv.alpha = 255 - colour.t;
    return hsv;
}

}  // namespace ulib
