// What the first picture of a TIFF file holds and how it becomes a BMP-style picture: the kind of
// row conversion, the output bit count, the colour table and the resolutions.
#pragma once

#include <cstdint>
#include <tiffio.h>

namespace tiffplugin {

// How the stored samples of one row become output pixels.
enum class RowKind {
    Copy,       // stored bytes are the output bytes: 1-bit bilevel or palette, 8-bit grey or palette
    Unpack,     // 2- or 4-bit grey or palette samples, one output byte each
    Grey16,     // 16-bit grey reduced to 8 bits
    Rgb8,       // R, G, B (extra samples skipped) to B, G, R
    Rgb16,      // the same from 16-bit samples
    Rgba8,      // R, G, B, alpha to B, G, R, A with unassociated alpha
    Rgba16,     // the same from 16-bit samples
    GreyAlpha,  // 8- or 16-bit grey and alpha to B, G, R, A with unassociated alpha
    RgbaImage,  // anything else: libtiff's own RGBA reader, 32-bit output
};

struct Layout
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samplesPerPixel = 1;
    RowKind kind = RowKind::RgbaImage;
    bool associatedAlpha = false;  // Rgba8, Rgba16 and GreyAlpha: colours are premultiplied by alpha
    bool minIsWhite = false;       // GreyAlpha: grey is stored with white as 0
    bool alpha = false;            // the fourth output byte is straight alpha (32-bit output only)
    std::uint16_t outputBits = 32;  // 1, 8, 24 or 32
    std::uint64_t stride = 0;       // output row bytes, a multiple of 4
    std::uint32_t paletteCount = 0;  // entries of palette used: 0, 2 or 256
    std::uint32_t palette[256] = {}; // B, G, R, 0 as one little-endian word
    std::int32_t pixelsPerMetreX = 0;
    std::int32_t pixelsPerMetreY = 0;
    bool tiled = false;
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    std::uint32_t rowsPerStrip = 0;  // at most height
};

enum class LayoutResult { Ok, Unsupported, Broken, TooLarge };

// Reads the current directory's tags into layout. A picture of more than maxPixels pixels gives
// TooLarge; a picture libtiff cannot render in any way gives Unsupported; missing or contradictory
// tags give Broken. For JPEG-compressed YCbCr it asks libtiff for RGB rows (a setting on tiff).
// For RgbaImage, alpha is left to the reading, which learns it from libtiff's reader.
LayoutResult ReadLayout(TIFF* tiff, std::uint64_t maxPixels, Layout& layout);

}  // namespace tiffplugin
