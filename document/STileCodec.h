// The tile coder of compressed layers: a byte-oriented predictive coder, exactly lossless for
// 32-bit colour with transparency, that codes one tile of 1..255 by 1..255 pixels at a time.
// No entropy stage: line art (runs, repeats of the row above, small steps) takes 1-2 bytes a pixel.
#pragma once

#include "SError.h"
#include "SPalette.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ulib {

// Coded pixels are four bytes c0, c1, c2, A: the red, green and blue bytes of the colour and
// A = 255 - transparency. A tile of w by h pixels is coded from (h + 1) rows of w pixels whose first
// row is all zero; the tile's rows follow it. For the pixel at linear position k of the tile
// (k = 0 is the first tile pixel, so k - 1 reaches into the zero row):
//   left = pixel k - 1, up = pixel k - w, upright = pixel k - w + 1
// (for the last pixel of a row, upright is the first pixel of its own row).
//
// Tokens (all channel arithmetic modulo 256; "dN" fields are stored with the bias N added):
//
//   00-7F  2  0vvvvvvv vvvvvvvv   left + (d16 c0: 5 bits, c1: 5, c2: 5), A of left
//   80-BF  1  10aabbcc            left + (d2 c0, c1, c2: 2 bits each), A of left
//   C0-DF  3  110vvvvv v16 v8     left + (d64 c0: 7 bits, c1: 7, c2: 7), A of left
//   E0-E1  2  1110000v v8         up + (d4 c0: 3 bits, c1: 3, c2: 3), A of up
//   E2-E3  2  1110001v v8         upright + (d4, as E0), A of upright
//   E4     1                      copy of up
//   E5     1                      copy of upright
//   E6     2  E6 A                c0, c1, c2 of left with this A
//   E7-F5  1                      run: (byte - E6) copies of left, 1..15
//   F6     2  F6 n                run: n copies of left
//   F7     3  F7 nh nl            run: nh * 256 + nl copies of left
//   F8-FB                         invalid
//   FC     2  FC g                colour table entry g when g < table size, else grey g; A = 255
//   FD     4  FD c0 c1 c2         literal, A = 255
//   FE     5  FE c0 c1 c2 A       literal
//   FF     9  FF c0 x c1 x c2 x A x   wide literal (x skipped); decoded, never written
//
// The encoder takes, for each pixel, a run of pixels equal to left (flushed before the next other
// pixel, or at the tile's last pixel, which is then written a second time by the rules below),
// else the first of: E4, E5, E6, 80, 00, E0, E2, FC, C0, FD, FE that can code the pixel.

// Pixels as the public coder sees them: one 32-bit word per pixel whose bytes in memory are
// c0, c1, c2, A (on this little-endian build c0 | c1 << 8 | c2 << 16 | A << 24).
using STilePixel = std::uint32_t;

// Output bytes a tile of w by h pixels can need at most: five per pixel.
constexpr std::size_t TileCodeCapacity(std::int32_t w, std::int32_t h) { return std::size_t(w) * std::size_t(h) * 5; }

// Codes one tile. pixels: (h + 1) * w words, the first row zero, the tile's rows after it.
// Returns the number of bytes written to out; 0 when w or h is outside 1..255, pixels holds fewer
// than (h + 1) * w words or out fewer than TileCodeCapacity(w, h) bytes.
// With a colour table, a grey pixel is coded as FC only where the table decodes it back to the same
// colour (the layer's own table travels with its tiles); without one the coder is the plain format.
// A tile one pixel wide never uses the upright forms: there upright is the pixel itself.
std::size_t EncodeTile(std::span<const STilePixel> pixels, std::int32_t h, std::int32_t w, std::span<std::uint8_t> out,
                       const SPalette* palette = nullptr);

// Decodes one tile into pixels ((h + 1) * w words; the first row is set to zero, the tile's rows
// follow). Decoding stops when h * w pixels are made or the bytes end; a clean end before that is
// not an error and the pixels not made are zero. The palette serves the FC token.
// w or h 0: nothing to do, success. Errors: "domain" (w or h above 255 or negative), "pointer"
// (pixels too small), "file_version" (bytes F8-FB, or a token cut short by the end of the bytes;
// the pixels are then all zero).
SError DecodeTile(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                  std::span<STilePixel> pixels);

// The same coder over pixels in the byte order of a 32-bit layer (B, G, R, A in memory, so c0 is
// bits 16-23 of the word), which lets the layer code copy whole rows instead of converting each
// pixel. Same contracts as above; the coded bytes are identical.
std::size_t EncodeTileBgra(std::span<const std::uint32_t> pixels, std::int32_t h, std::int32_t w,
                           std::span<std::uint8_t> out, const SPalette* palette = nullptr);
SError DecodeTileBgra(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                      std::span<std::uint32_t> pixels);

// DecodeTileBgra straight into the rows of an image: rows[1..h] are the addresses of the tile's
// rows (w pixels each, written), rows[0] the row above the tile, which must read as zero and is
// never written (ZeroTileRow() gives one). Same errors, "pointer" for a missing row table.
SError DecodeTileRowsBgra(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                          std::uint32_t* const* rows);
// 255 zero pixels.
const std::uint32_t* ZeroTileRow();

}  // namespace ulib
