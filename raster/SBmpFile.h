// Internal to the raster layer: the BMP file layout that the reader and the writer share.
//
// BMP file layout (little-endian):
//   0  "BM" | u32 file size | u16 0 | u16 0 | u32 pixel offset          file header, 14 bytes
//  14  BITMAPINFOHEADER: u32 size | i32 width | i32 height (negative: top-down) | u16 planes |
//      u16 bit count | u32 compression | u32 image size | i32 x and y pixels per metre |
//      u32 colours used | u32 colours important                         40 bytes or more
//      with bit fields: u32 red, green and blue masks at 40 (after a 40-byte header, inside the
//      longer ones), and a u32 alpha mask at 52 in headers of 56 bytes and more
//      colour table: 4 bytes per entry (B, G, R, 0), after the header (and the masks that follow it)
//      pixel rows, bottom-up unless the height is negative, each padded to 4 bytes; or run lengths
#pragma once

#include <cstddef>
#include <cstdint>

namespace ulib::bmp {

// Run lengths (1 for 8-bit, 2 for 4-bit pictures); bit fields (3): pixels unpacked through masks.
enum Compression : std::uint32_t { Rle8Compression = 1, Rle4Compression = 2, BitFieldsCompression = 3 };
inline constexpr std::size_t FileHeaderSize = 14, InfoHeaderSize = 40;
inline constexpr std::size_t BitFieldsMaskBytes = 12, AlphaMaskHeaderSize = 56;

}  // namespace ulib::bmp
