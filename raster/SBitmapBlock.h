// Internal to the raster layer: the layout of an SBitmap block and the helpers that read and write it.
// The block is self-relative (offsets, never pointers), so a byte copy of it is a working image.
#pragma once

#include <cstddef>
#include "SByteOrder.h"

#include <cstdint>
#include <cstring>

namespace ulib::block {

// Block layout (all words 32-bit little-endian, offsets from the block start):
//
//   0  u8 zero | u8 alpha flag | u8 mask flag (always 0) | u8 temporary flag
//   4  total size
//   8  offsets: information header, colour table, pixel area, second plane, mask plane, row table, column table
//  36  end offset (the total size again)
//  40  width, height, format, colour entries, tag, pixel step, stride, mask stride
//  72  accessor entries: get colour, set colour, get index, set index (indices into the accessor tables)
//  88  BITMAPINFOHEADER (40 bytes; 52 with the three channel masks of formats 15 and 16)
//      colour table (4 bytes per entry: B, G, R, 0)
//      pixel area, image rows bottom-up (image row 0 is the last row in memory)
//      second plane (formats -16, 48, 64: same size as the pixel area)
//      mask plane (never used here: size 0)
//      row table: height + 1 words, entry y = (height - 1 - y) * stride, last entry = -stride
//      column table: width + 1 words, entry x = x * bits / 8
inline constexpr std::size_t AlphaFlag = 1;
inline constexpr std::size_t MaskFlag = 2;
inline constexpr std::size_t TemporaryFlag = 3;
inline constexpr std::size_t TotalSize = 4;
inline constexpr std::size_t InfoOffset = 8;
inline constexpr std::size_t ColourTableOffset = 12;
inline constexpr std::size_t PixelOffset = 16;
inline constexpr std::size_t PlaneOffset = 20;
inline constexpr std::size_t MaskOffset = 24;
inline constexpr std::size_t RowTableOffset = 28;
inline constexpr std::size_t ColumnTableOffset = 32;
inline constexpr std::size_t EndOffset = 36;
inline constexpr std::size_t Width = 40;
inline constexpr std::size_t Height = 44;
inline constexpr std::size_t Format = 48;
inline constexpr std::size_t Entries = 52;
inline constexpr std::size_t Tag = 56;
inline constexpr std::size_t PixelStep = 60;
inline constexpr std::size_t Stride = 64;
inline constexpr std::size_t MaskStride = 68;
inline constexpr std::size_t GetColorEntry = 72;
inline constexpr std::size_t SetColorEntry = 76;
inline constexpr std::size_t GetIndexEntry = 80;
inline constexpr std::size_t SetIndexEntry = 84;
inline constexpr std::size_t HeaderSize = 88;

// Offsets inside the BITMAPINFOHEADER.
inline constexpr std::size_t InfoSize = 40;
inline constexpr std::size_t InfoBitCount = 14;
inline constexpr std::size_t InfoResolutionX = 24;
inline constexpr std::size_t InfoResolutionY = 28;

// Accessor table indices (see SBitmapPixels.cpp).
enum GetColorKind : std::uint32_t { GetBgra, GetBgr, Get565, Get555, GetTable8, GetTable4, GetTable1 };
enum SetColorKind : std::uint32_t { SetBgra, SetBgr, Set565, Set555, SetGrey8, SetGrey4, SetNothing };
enum GetIndexKind : std::uint32_t { GetZero, GetByte, GetNibble };
enum SetIndexKind : std::uint32_t { SetIndexNothing, SetByte, SetNibble };

inline std::int32_t SignedWord(const std::uint8_t* p) { return std::int32_t(GetLE32(p)); }

constexpr bool IsValidFormat(std::int32_t format)
{
    switch (format) {
    case -16: case -8: case -4: case -1: case 1: case 4: case 8: case 15: case 16: case 24: case 32: case 48: case 64:
        return true;
    default:
        return false;
    }
}

// Bits one pixel occupies in a row. The 5-5-5 format is stored in 16 bits like 5-6-5.
constexpr std::uint32_t StorageBits(std::int32_t format)
{
    if (format == 15)
        return 16;
    return std::uint32_t(format < 0 ? -format : format);
}

// The bit count the information header describes: halved for the two-plane formats.
constexpr std::uint32_t DescribedBits(std::int32_t format)
{
    std::uint32_t bits = StorageBits(format);
    return format < -8 || format > 32 ? bits / 2 : bits;
}

constexpr std::uint32_t PaletteEntries(std::int32_t format)
{
    if (format == -16)
        return 256;
    std::uint32_t bits = StorageBits(format);
    return bits <= 8 ? 1u << bits : 0u;
}

constexpr bool HasSecondPlane(std::int32_t format) { return format == -16 || format == 48 || format == 64; }

// Everything Create derives from width, height and format. Sizes are 64-bit so nothing overflows
// before the total is checked.
struct Layout
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t format = 24;
    std::uint32_t bits = 24;
    std::uint32_t entries = 0;
    std::uint32_t stride = 0;
    std::uint32_t maskStride = 0;
    std::uint32_t pixelStep = 0;
    std::uint64_t info = 0;
    std::uint64_t colourTable = 0;
    std::uint64_t pixels = 0;
    std::uint64_t plane = 0;
    std::uint64_t mask = 0;
    std::uint64_t rowTable = 0;
    std::uint64_t columnTable = 0;
    std::uint64_t total = 0;
};

constexpr Layout ComputeLayout(std::int32_t width, std::int32_t height, std::int32_t format)
{
    Layout l;
    l.width = width;
    l.height = height;
    l.format = format;
    l.bits = StorageBits(format);
    l.entries = PaletteEntries(format);
    l.stride = std::uint32_t((std::uint64_t(width) * l.bits + 31) / 32 * 4);
    l.maskStride = std::uint32_t((std::uint64_t(width) + 31) / 32 * 4);
    l.pixelStep = DescribedBits(format) / 8;
    std::uint64_t area = std::uint64_t(l.stride) * std::uint64_t(height);
    l.info = HeaderSize;
    l.colourTable = l.info + InfoSize + (format == 15 || format == 16 ? 12 : 0);
    l.pixels = l.colourTable + std::uint64_t(l.entries) * 4;
    l.plane = l.pixels + area;
    l.mask = l.plane + (HasSecondPlane(format) ? area : 0);
    l.rowTable = l.mask;  // no image carries a mask plane
    l.columnTable = l.rowTable + (std::uint64_t(height) + 1) * 4;
    l.total = l.columnTable + (std::uint64_t(width) + 1) * 4;
    return l;
}

struct Accessors
{
    std::uint32_t getColor, setColor, getIndex, setIndex;
};

constexpr Accessors AccessorsFor(std::int32_t format)
{
    switch (format) {
    case 32: case 64: return {GetBgra, SetBgra, GetZero, SetIndexNothing};
    case 24: case 48: return {GetBgr, SetBgr, GetZero, SetIndexNothing};
    case 16: return {Get565, Set565, GetZero, SetIndexNothing};
    case 15: return {Get555, Set555, GetZero, SetIndexNothing};
    case 8: return {GetTable8, SetNothing, GetByte, SetByte};
    case -8: return {GetTable8, SetGrey8, GetByte, SetByte};
    case -16: return {GetTable8, SetNothing, GetByte, SetIndexNothing};
    case 4: return {GetTable4, SetNothing, GetNibble, SetNibble};
    case -4: return {GetTable4, SetGrey4, GetNibble, SetNibble};
    default: return {GetTable1, SetNothing, GetZero, SetIndexNothing};  // 1, -1
    }
}

// Writes the header, the information header (with masks) and the row and column tables. The colour
// table, tag, resolutions and pixels are left to the caller; the block must be zeroed beforehand.
constexpr void WriteFrame(std::uint8_t* b, const Layout& l)
{
    PutLE16(b, 0);
    b[MaskFlag] = 0;
    b[TemporaryFlag] = 0;
    PutLE32(b + TotalSize, std::uint32_t(l.total));
    PutLE32(b + InfoOffset, std::uint32_t(l.info));
    PutLE32(b + ColourTableOffset, std::uint32_t(l.colourTable));
    PutLE32(b + PixelOffset, std::uint32_t(l.pixels));
    PutLE32(b + PlaneOffset, std::uint32_t(l.plane));
    PutLE32(b + MaskOffset, std::uint32_t(l.mask));
    PutLE32(b + RowTableOffset, std::uint32_t(l.rowTable));
    PutLE32(b + ColumnTableOffset, std::uint32_t(l.columnTable));
    PutLE32(b + EndOffset, std::uint32_t(l.total));
    PutLE32(b + Width, std::uint32_t(l.width));
    PutLE32(b + Height, std::uint32_t(l.height));
    PutLE32(b + Format, std::uint32_t(l.format));
    PutLE32(b + Entries, l.entries);
    PutLE32(b + PixelStep, l.pixelStep);
    PutLE32(b + Stride, l.stride);
    PutLE32(b + MaskStride, l.maskStride);
    Accessors a = AccessorsFor(l.format);
    PutLE32(b + GetColorEntry, a.getColor);
    PutLE32(b + SetColorEntry, a.setColor);
    PutLE32(b + GetIndexEntry, a.getIndex);
    PutLE32(b + SetIndexEntry, a.setIndex);

    std::uint8_t* info = b + l.info;
    PutLE32(info, InfoSize);
    PutLE32(info + 4, std::uint32_t(l.width));
    PutLE32(info + 8, std::uint32_t(l.height));  // positive: bottom-up rows
    PutLE16(info + 12, 1);
    PutLE16(info + InfoBitCount, std::uint16_t(DescribedBits(l.format)));
    if (l.format == 15 || l.format == 16) {
        bool is565 = l.format == 16;
        PutLE32(info + 40, is565 ? 0xF800 : 0x7C00);
        PutLE32(info + 44, is565 ? 0x07E0 : 0x03E0);
        PutLE32(info + 48, 0x001F);
    }

    std::uint8_t* rows = b + l.rowTable;
    for (std::int32_t y = 0; y < l.height; ++y)
        PutLE32(rows + std::size_t(y) * 4, std::uint32_t((l.height - 1 - y) * std::int64_t(l.stride)));
    PutLE32(rows + std::size_t(l.height) * 4, std::uint32_t(-std::int64_t(l.stride)));
    std::uint8_t* columns = b + l.columnTable;
    for (std::int32_t x = 0; x <= l.width; ++x)
        PutLE32(columns + std::size_t(x) * 4, std::uint32_t(std::uint64_t(x) * l.bits / 8));
}

}  // namespace ulib::block
