// The 32-bit colour value shared by every layer and tool.
// Bytes in memory order blue, green, red, transparency; transparency = 255 - alpha, so 0 is opaque.
#pragma once

#include <cstdint>

namespace ulib {

struct SColor
{
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t t = 0;  // transparency: 0 opaque, 255 fully transparent

    constexpr SColor() = default;
    constexpr SColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t transparency = 0)
        : b(blue), g(green), r(red), t(transparency)
    {
    }

    // The value as stored in memory, read as a little-endian 32-bit number (blue lowest).
    constexpr std::uint32_t Value() const
    {
        return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | std::uint32_t(t) << 24;
    }
    static constexpr SColor FromValue(std::uint32_t v)
    {
        return SColor(std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), std::uint8_t(v >> 24));
    }
    // Layer pixels keep alpha (255 opaque) in the top byte; colours keep transparency there.
    static constexpr SColor FromPixel(std::uint32_t argb)
    {
        return SColor(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb),
                      std::uint8_t(255 - (argb >> 24)));
    }
    constexpr std::uint32_t Pixel() const
    {
        return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | std::uint32_t(255 - t) << 24;
    }

    constexpr bool operator==(const SColor&) const = default;

    static const SColor Black, White, Grey, Silver, Red, Yellow, Green, Cyan, Blue, Magenta;
};

inline constexpr SColor SColor::Black{0, 0, 0};
inline constexpr SColor SColor::White{255, 255, 255};
inline constexpr SColor SColor::Grey{128, 128, 128};
inline constexpr SColor SColor::Silver{192, 192, 192};
inline constexpr SColor SColor::Red{255, 0, 0};
inline constexpr SColor SColor::Yellow{255, 255, 0};
inline constexpr SColor SColor::Green{0, 255, 0};
inline constexpr SColor SColor::Cyan{0, 255, 255};
inline constexpr SColor SColor::Blue{0, 0, 255};
inline constexpr SColor SColor::Magenta{255, 0, 255};

static_assert(sizeof(SColor) == 4);

}  // namespace ulib
