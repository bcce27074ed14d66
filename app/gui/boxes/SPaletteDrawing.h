// The palette box's geometry and colours without Qt: what each pixel of the hue ring is, the colours
// of the bars and ramps, where markers sit, which level or hue a mouse position picks, and the
// splash mask of the colour-mode swatch. Coordinates are the box's own, left/top 0.
#pragma once

#include "SColor.h"
#include "SPaletteModel.h"

#include <cstdint>
#include <vector>

namespace palette {

inline constexpr int RingArea = 128;  // the hue box draws into 128 x 128 of its 132 x 132
inline constexpr int BarLength = 128;
inline constexpr int BarBreadth = 17;
inline constexpr int SwatchLeft = 48, SwatchTop = 48, SwatchSize = 32;

struct SPixel
{
    int x = 0;
    int y = 0;
    bool operator==(const SPixel&) const = default;
};

// What the hue box shows at a pixel of its 128 x 128 area before the disc and swatch go on top.
enum class SRingPart { Nothing, Highlight, Ring, Shadow };
struct SRingPixel
{
    SRingPart part = SRingPart::Nothing;
    int hue = 0;  // for Ring: the hue drawn there, 0..359
};
SRingPixel RingPixel(int x, int y);

// The fill of a bar's or ramp's 2-pixel strip that contains position `at` (0..127 along the bar),
// from the box's hue, saturation and value. Ramps ignore them.
ulib::SColor BarColour(int index, int at, int hue, int saturation, int value);

// The level a mouse position picks on a bar (index 1, 2: from y; 3..6: from x), clamped to 0..255.
int LevelAt(int index, int x, int y);
// The hue a mouse position picks on the ring, 0..359, measured around (63, 63).
int HueAt(int x, int y);
// True when a press at (x, y) is on the centre disc, which cycles the colour mode.
bool InCentre(int x, int y);

// Where a bar's marker for `value` (0..255) runs: n - n * value / 255 clamped to 0..n-1.
int MarkerPosition(int value, int n = BarLength);
// The pixels of a marker line for the box at `value` (the hue for the ring), both ends included.
// Bars 1, 2: a row across the bar; 3..6: a column; 0: a radial line from radius 53 to 63.
std::vector<SPixel> MarkerPixels(int index, int value);

// Row y (0..31) of the splash shape, bit x (1 << x) set where the splash covers column x.
std::uint32_t SplashRow(int y);

}  // namespace palette
