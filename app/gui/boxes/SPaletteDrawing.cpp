#include "SPaletteDrawing.h"

#include "SHsv.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace palette {

namespace {

constexpr double Pi = 3.14159265358979323846;
// The ring marker's degrees-to-radians factor, as the marker positions were always computed.
constexpr double MarkerRadians = 0.0174532925199399995;

// A straight line between two pixels, every step one pixel (both ends included).
std::vector<SPixel> Line(SPixel from, SPixel to)
{
    std::vector<SPixel> pixels;
    const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int err = dx + dy;
    for (SPixel at = from;;) {
        pixels.push_back(at);
        if (at == to)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            at.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            at.y += sy;
        }
    }
    return pixels;
}

// The splash: a blot with a few drops thrown off it, as circles (centre x, centre y, squared radius).
struct SBlob
{
    int x, y, r2;
};
constexpr SBlob SplashBlobs[] = {
    {16, 16, 81}, {11, 12, 30}, {21, 12, 25}, {12, 21, 25}, {21, 20, 36}, {16, 8, 16},
    {24, 16, 12}, {8, 16, 12},  {17, 24, 12}, {4, 6, 4},    {28, 5, 5},   {27, 27, 4},
    {4, 27, 3},   {16, 2, 2},   {30, 17, 2},  {2, 15, 2},   {14, 30, 2},  {25, 9, 2},
    {7, 25, 2},
};

std::array<std::uint32_t, 32> MakeSplash()
{
    std::array<std::uint32_t, 32> rows{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            for (const SBlob& blob : SplashBlobs)
                if ((x - blob.x) * (x - blob.x) + (y - blob.y) * (y - blob.y) <= blob.r2) {
                    rows[std::size_t(y)] |= std::uint32_t(1) << x;
                    break;
                }
    return rows;
}

}  // namespace

SRingPixel RingPixel(int x, int y)
{
    if (x >= 32 && x < 96 && y >= 32 && y < 96)
        return {};
    const int c = 63 - x, d = 63 - y, e = c * c + d * d;
    if (e > 3968 && e <= 4095)
        return {SRingPart::Highlight, 0};
    if (e >= 2704 && e <= 3968) {
        int hue = int(std::atan2(double(d), double(c)) * 180.0 / Pi);
        if (hue < 0)
            hue += 360;
        return {SRingPart::Ring, hue % 360};
    }
    if (e > 2600 && e < 2704)
        return {SRingPart::Shadow, 0};
    if (e > 2208 && e < 2304)
        return {SRingPart::Highlight, 0};
    return {};
}

ulib::SColor BarColour(int index, int at, int hue, int saturation, int value)
{
    const int strip = std::clamp(at, 0, BarLength - 1) & ~1;
    const int level = 255 - strip * 256 / BarLength;
    const auto l = std::uint8_t(level);
    switch (index) {
    case BoxSaturation:
        return ulib::HsvToColour(hue, level, 255, value);
    case BoxValue:
        return ulib::HsvToColour(hue, saturation, 255, level);
    case BoxRed:
        return ulib::SColor(l, 0, 0);
    case BoxGreen:
        return ulib::SColor(0, l, 0);
    case BoxBlue:
        return ulib::SColor(0, 0, l);
    default:
        return ulib::SColor(l, l, l);
    }
}

int LevelAt(int index, int x, int y)
{
    const int along = index == BoxSaturation || index == BoxValue ? y : x;
    return std::clamp(255 - along * 256 / BarLength, 0, 255);
}

int HueAt(int x, int y)
{
    const float angle = x == 63 && y == 63 ? 0.0f : std::atan2(float(y - 63), float(x - 63));
    const int hue = int(double(angle) * 57.29577951308 + 180.0);
    return (hue % 360 + 360) % 360;
}

bool InCentre(int x, int y)
{
    return (x - 64) * (x - 64) + (y - 64) * (y - 64) < 1600;
}

int MarkerPosition(int value, int n)
{
    return std::clamp(n - n * value / 255, 0, n - 1);
}

std::vector<SPixel> MarkerPixels(int index, int value)
{
    std::vector<SPixel> pixels;
    if (index == BoxHue) {
        const double theta = (value + 180) * MarkerRadians;
        const double c = std::cos(theta), s = std::sin(theta);
        return Line({int(c * 53 + 64), int(s * 53 + 64)}, {int(c * 63 + 64), int(s * 63 + 64)});
    }
    const int p = MarkerPosition(value);
    for (int across = 0; across < BarBreadth; ++across)
        pixels.push_back(index == BoxSaturation || index == BoxValue ? SPixel{across, p} : SPixel{p, across});
    return pixels;
}

std::uint32_t SplashRow(int y)
{
    static const std::array<std::uint32_t, 32> rows = MakeSplash();
    return y >= 0 && y < 32 ? rows[std::size_t(y)] : 0;
}

}  // namespace palette
