// Turning a plug-in's two blocks into a bitmap. The blocks come from code we do not control, so
// every field is read from a copy of the header and every size is checked before a byte is copied.
//
// Information block (little-endian), as in a BMP file:
//     0  uint32 header size     4  int32 width       8  int32 height (bottom-up rows only)
//    12  uint16 planes         14  uint16 bit count  16  uint32 compression (0, or 3 with masks)
//    24  int32 x pixels/metre  28  int32 y pixels/metre
//    40  colour table (4 bytes an entry: blue, green, red, reserved), or with compression 3 the
//        three 32-bit masks red, green, blue
// A header of 56 bytes or more (the V4 and V5 headers) holds the alpha mask at 52; a 32-bit picture
// whose masks are 00FF0000, 0000FF00, 000000FF, FF000000 carries straight alpha in its fourth byte.
// Pixel block: the rows, last image row first, each padded to 4 bytes.
#include "SByteOrder.h"
#include "SSpiAccess.h"

#include <algorithm>
#include <cstring>

namespace ulib {

namespace {

constexpr std::size_t InfoHeaderSize = 40;
// The part of a header read here: the 40 bytes and the four masks after them.
constexpr std::size_t MaskedHeaderSize = 56;
constexpr std::uint32_t BitFields = 3;

// The bitmap format for the header's bit count, or 0 when the bitmap has none. A plain 16-bit
// picture is 5-5-5 by definition, which the bitmap calls format 15; its 5-6-5 format 16 is taken
// only when the masks say so. Compressed pixel areas (run lengths, embedded files) are refused.
std::int32_t FormatFor(const std::uint8_t* header, std::size_t infoSize)
{
    const std::uint16_t bits = GetLE16(header + 14);
    const std::uint32_t compression = GetLE32(header + 16);
    if (compression == 0) {
        switch (bits) {
        case 1: case 4: case 8: case 24: case 32: case 48: case 64:
            return bits;
        case 16:
            return 15;
        default:
            return 0;
        }
    }
    if (compression != BitFields)
        return 0;
    if (bits == 32)
        return 32;
    if (bits != 16 || infoSize < InfoHeaderSize + 12)
        return 0;
    const std::uint32_t red = GetLE32(header + 40), green = GetLE32(header + 44), blue = GetLE32(header + 48);
    if (red == 0x7C00 && green == 0x03E0 && blue == 0x001F)
        return 15;
    if (red == 0xF800 && green == 0x07E0 && blue == 0x001F)
        return 16;
    return 0;
}

// Whether the header says the fourth byte of each 32-bit pixel is alpha: its own size covers the
// alpha mask and the masks are the bitmap's byte order. A 40-byte header followed by masks never
// does: the standard gives it three.
bool DeclaresAlpha(const std::uint8_t* header, std::size_t infoSize)
{
    return infoSize >= MaskedHeaderSize && GetLE32(header) >= MaskedHeaderSize && GetLE16(header + 14) == 32 &&
           GetLE32(header + 16) == BitFields && GetLE32(header + 40) == 0x00FF0000 && GetLE32(header + 44) == 0x0000FF00 &&
           GetLE32(header + 48) == 0x000000FF && GetLE32(header + 52) == 0xFF000000;
}

// Whether any pixel has a non-zero alpha. A writer that declares alpha but leaves every fourth byte
// zero means an opaque picture; marking it would import a blank page.
bool AnyAlpha(const SBitmap& bitmap)
{
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.Row(y);
        for (std::int32_t x = 0; x < bitmap.Width(); ++x)
            if (row[4 * std::size_t(x) + 3] != 0)
                return true;
    }
    return false;
}

SError Refuse(SBitmap* bitmap, const char* identifier)
{
    bitmap->Release();
    return ErrorFromIdentifier(identifier);
}

}  // namespace

SError PictureFromPluginBlocks(SBitmap* bitmap, const std::uint8_t* info, std::size_t infoSize,
                               const std::uint8_t* pixels, std::size_t pixelSize)
{
    if (!bitmap)
        return ErrorFromIdentifier("pointer");
    if (!info || infoSize < InfoHeaderSize)
        return Refuse(bitmap, "bad_format");
    std::uint8_t header[MaskedHeaderSize] = {};
    std::memcpy(header, info, std::min(infoSize, sizeof header));
    const std::int32_t format = FormatFor(header, infoSize);
    if (format == 0)
        return Refuse(bitmap, "bad_format");

    const std::int32_t width = std::int32_t(GetLE32(header + 4));
    const std::int32_t height = std::int32_t(GetLE32(header + 8));
    bitmap->Create(width, height, format);
    if (bitmap->Width() != width || bitmap->Height() != height || bitmap->Format() != format)
        return Refuse(bitmap, "memory_alloc");
    bitmap->SetResolutionX(std::int32_t(GetLE32(header + 24)));
    bitmap->SetResolutionY(std::int32_t(GetLE32(header + 28)));

    // The table is taken only when the block holds all of it; otherwise the bitmap keeps its own.
    const std::size_t entries = std::size_t(bitmap->PaletteCount());
    const std::size_t ownHeader = std::max<std::size_t>(GetLE32(bitmap->InfoHeader()), InfoHeaderSize);
    if (entries > 0 && infoSize >= ownHeader + entries * 4) {
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* quad = info + InfoHeaderSize + i * 4;
            SColor colour;
            colour.b = quad[0];
            colour.g = quad[1];
            colour.r = quad[2];
            colour.t = quad[3];
            bitmap->SetPaletteEntry(std::int32_t(i), colour);
        }
    }

    const std::size_t area = bitmap->PixelAreaSize();
    if (area > 0 && (!pixels || pixelSize < area))
        return Refuse(bitmap, "unexpected");
    if (area > 0)
        std::memcpy(bitmap->PixelArea(), pixels, area);
    // Set either way: a bitmap of the same size and format is reused as it is, mark included.
    bitmap->SetHasAlpha(DeclaresAlpha(header, infoSize) && AnyAlpha(*bitmap));
    return 0;
}

}  // namespace ulib
