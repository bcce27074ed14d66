// The values of the cel's 32-bit layer pixels, for every part that reads or writes a layer.
// A value is a little-endian word, blue lowest, top byte b3:
//   paint: 0x00000000 / 0x000000FF / 0x0000FF00 / 0x00FF0000 borders under black / blue / green / red
//          lines, 0x00FFFFFF unpainted, b3 1..255 a painted colour with that alpha; any other
//          value with b3 0 is neither painted nor a border (painting leaves it alone);
//   trace: 0x00FFFFFF nothing; b3 != 0 a converted line (colour in b0..b2, density b3); else b0 != 0
//          a black line of density b0; else b2 != 0 a coloured line of density b2 with colour code
//          b1 (1 blue, 2 green, else red);
//   extra: alpha 255 opaque, 1..254 translucent, 0 nothing.
// Everything here is constexpr and inline: the hot loops call it per pixel.
#pragma once

#include "SColor.h"

#include <cstdint>

namespace cel_values {

// Paint layer: the borders under lines of each colour, and the unpainted pixel.
inline constexpr std::uint32_t BorderBlack = 0x00000000, BorderBlue = 0x000000FF;
inline constexpr std::uint32_t BorderGreen = 0x0000FF00, BorderRed = 0x00FF0000;
inline constexpr std::uint32_t Unpainted = 0x00FFFFFF;

// Trace layer.
inline constexpr std::uint32_t NoLine = 0x00FFFFFF;
inline constexpr std::uint32_t CodeRed = 0;  // any code other than blue and green draws red
inline constexpr std::uint32_t CodeBlue = 1;
inline constexpr std::uint32_t CodeGreen = 2;

// Fully transparent white: what a new extra layer is filled with and what a 32-bit export writes
// for every pixel of alpha 0.
inline constexpr std::uint32_t TransparentWhite = 0x00FFFFFF;

// The top byte: a painted pixel's alpha, a converted line's density.
constexpr std::uint32_t TopByte(std::uint32_t v) { return v >> 24; }
// Blue, green and red without the top byte: a converted line's colour, or the colour part of a
// colour value (SColor::Value) as a converted line takes it.
constexpr std::uint32_t ColourBits(std::uint32_t v) { return v & 0x00FFFFFFu; }
constexpr std::uint32_t ColourBits(ulib::SColor c) { return ColourBits(c.Value()); }

// --- paint layer ---

constexpr bool IsBorder(std::uint32_t v)
{
    return v == BorderBlack || v == BorderBlue || v == BorderGreen || v == BorderRed;
}
// The borders under black and red lines, which the boundary delete, the repaint and the export's
// paint-under-lines pass handle apart from the blue and green ones.
constexpr bool IsBlackOrRedBorder(std::uint32_t v) { return v == BorderBlack || v == BorderRed; }
constexpr bool IsPainted(std::uint32_t v) { return TopByte(v) != 0; }
// Painted or unpainted: a pixel that painting may change (borders and other alpha-0 values stay).
// Free of branches, so loops over it vectorise.
constexpr bool TakesPaint(std::uint32_t v) { return IsPainted(v) || v == Unpainted; }

// --- trace layer ---
// The accessors read the bytes as the encoding names them; which one applies follows the order
// of the encoding (no line, converted, black, coloured), so callers test in that order.

constexpr bool IsConvertedLine(std::uint32_t v) { return TopByte(v) != 0; }
constexpr std::uint32_t ConvertedDensity(std::uint32_t v) { return TopByte(v); }
constexpr std::uint32_t BlackDensity(std::uint32_t v) { return v & 0xFFu; }
constexpr std::uint32_t ColourCode(std::uint32_t v) { return (v >> 8) & 0xFFu; }
constexpr std::uint32_t ColourDensity(std::uint32_t v) { return (v >> 16) & 0xFFu; }
// A coloured pencil line not yet converted: no converted or black density, a colour density.
// One mask test, so row scans over it vectorise.
constexpr bool IsUnconvertedColourLine(std::uint32_t v) { return (v & 0xFF0000FFu) == 0 && (v & 0x00FF0000u) != 0; }
// The bits of BlackDensity and ColourDensity.
inline constexpr std::uint32_t LineDensityBits = 0x00FF00FFu;
// BlackDensity or ColourDensity not 0, in one test (true for NoLine as well).
constexpr bool HasLineDensity(std::uint32_t v) { return (v & LineDensityBits) != 0; }

// A black line of density d (1..255); d 0 gives 0, the empty unconverted value.
constexpr std::uint32_t BlackLine(std::uint32_t density) { return density; }
constexpr std::uint32_t ColouredLine(std::uint32_t density, std::uint32_t code) { return density << 16 | code << 8; }
// colour: blue, green and red in the low 24 bits (see ColourBits).
constexpr std::uint32_t ConvertedLine(std::uint32_t density, std::uint32_t colour) { return density << 24 | colour; }

}  // namespace cel_values
