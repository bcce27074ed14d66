// SBitmap pixel accessors: one small function per pixel layout, chosen through the accessor entries
// stored in the block header, plus blending and rectangle fills built on them.
#include "SBitmap.h"

#include "SBitmapBlock.h"
#include "SOver.h"

#include <cstring>

namespace ulib {

namespace {

using GetColorFn = SColor (*)(const SBitmap&, std::int32_t, std::int32_t);
using SetColorFn = void (*)(SBitmap&, std::int32_t, std::int32_t, SColor);
using GetIndexFn = std::uint32_t (*)(const SBitmap&, std::int32_t, std::int32_t);
using SetIndexFn = void (*)(SBitmap&, std::int32_t, std::int32_t, std::uint32_t);

std::uint16_t Load16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
void Store16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

// The grey value of a colour: the common value of a neutral colour, else a weighted sum whose
// weights add up to 32768.
std::uint8_t GreyOf(SColor c)
{
    if (c.b == c.g && c.g == c.r)
        return c.b;
    return std::uint8_t((std::uint32_t(c.g) * 23434 + std::uint32_t(c.r) * 6969 + std::uint32_t(c.b) * 2365) >> 15);
}

// The nibble of column x: even columns are the high nibble of their byte.
unsigned NibbleShift(std::int32_t x) { return (x & 1) == 0 ? 4 : 0; }

SColor GetBgra(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = image.PixelAddress(x, y);
    return SColor(p[2], p[1], p[0], std::uint8_t(255 - p[3]));
}
SColor GetBgr(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = image.PixelAddress(x, y);
    return SColor(p[2], p[1], p[0], 0);
}
SColor Get565(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    std::uint32_t v = Load16(image.PixelAddress(x, y));
    return SColor(std::uint8_t((v >> 11) << 3), std::uint8_t(((v >> 5) & 0x3F) << 2), std::uint8_t((v & 0x1F) << 3), 0);
}
SColor Get555(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    std::uint32_t v = Load16(image.PixelAddress(x, y));
    return SColor(std::uint8_t(((v >> 10) & 0x1F) << 3), std::uint8_t(((v >> 5) & 0x1F) << 3), std::uint8_t((v & 0x1F) << 3), 0);
}
SColor GetTable8(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    return image.GetPaletteEntry(*image.PixelAddress(x, y));
}
SColor GetTable4(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    return image.GetPaletteEntry((*image.PixelAddress(x, y) >> NibbleShift(x)) & 0x0F);
}
SColor GetTable1(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    return image.GetPaletteEntry((*image.PixelAddress(x, y) >> (7 - (x & 7))) & 1);
}

void SetBgra(SBitmap& image, std::int32_t x, std::int32_t y, SColor c)
{
    std::uint8_t* p = image.PixelAddress(x, y);
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
    p[3] = std::uint8_t(255 - c.t);
}
void SetBgr(SBitmap& image, std::int32_t x, std::int32_t y, SColor c)
{
    std::uint8_t* p = image.PixelAddress(x, y);
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}
void Set565(SBitmap& image, std::int32_t x, std::int32_t y, SColor c)
{
    Store16(image.PixelAddress(x, y), std::uint32_t(c.r >> 3) << 11 | std::uint32_t(c.g >> 2) << 5 | std::uint32_t(c.b >> 3));
}
void Set555(SBitmap& image, std::int32_t x, std::int32_t y, SColor c)
{
    Store16(image.PixelAddress(x, y), std::uint32_t(c.r >> 3) << 10 | std::uint32_t(c.g >> 3) << 5 | std::uint32_t(c.b >> 3));
}
void SetGrey8(SBitmap& image, std::int32_t x, std::int32_t y, SColor c) { *image.PixelAddress(x, y) = GreyOf(c); }
void SetGrey4(SBitmap& image, std::int32_t x, std::int32_t y, SColor c)
{
    std::uint8_t* p = image.PixelAddress(x, y);
    unsigned shift = NibbleShift(x);
    *p = std::uint8_t((*p & ~(0x0Fu << shift)) | std::uint32_t(GreyOf(c) >> 4) << shift);
}
void SetNothing(SBitmap&, std::int32_t, std::int32_t, SColor) {}

std::uint32_t GetZero(const SBitmap&, std::int32_t, std::int32_t) { return 0; }
std::uint32_t GetByte(const SBitmap& image, std::int32_t x, std::int32_t y) { return *image.PixelAddress(x, y); }
std::uint32_t GetNibble(const SBitmap& image, std::int32_t x, std::int32_t y)
{
    return (*image.PixelAddress(x, y) >> NibbleShift(x)) & 0x0F;
}

void SetIndexNothing(SBitmap&, std::int32_t, std::int32_t, std::uint32_t) {}
void SetByte(SBitmap& image, std::int32_t x, std::int32_t y, std::uint32_t index)
{
    *image.PixelAddress(x, y) = std::uint8_t(index);
}
void SetNibble(SBitmap& image, std::int32_t x, std::int32_t y, std::uint32_t index)
{
    std::uint8_t* p = image.PixelAddress(x, y);
    unsigned shift = NibbleShift(x);
    *p = std::uint8_t((*p & ~(0x0Fu << shift)) | (index & 0x0F) << shift);
}

// Indexed by the accessor entries of the block header (block::GetColorKind and its siblings).
constexpr GetColorFn GetColorTable[] = {GetBgra, GetBgr, Get565, Get555, GetTable8, GetTable4, GetTable1};
constexpr SetColorFn SetColorTable[] = {SetBgra, SetBgr, Set565, Set555, SetGrey8, SetGrey4, SetNothing};
constexpr GetIndexFn GetIndexTable[] = {GetZero, GetByte, GetNibble};
constexpr SetIndexFn SetIndexTable[] = {SetIndexNothing, SetByte, SetNibble};

// Floor modulus, so that coordinates tile the image; n must be positive.
std::int32_t Wrap(std::int32_t v, std::int32_t n)
{
    if (std::uint32_t(v) < std::uint32_t(n))
        return v;
    std::int32_t m = v % n;
    return m < 0 ? m + n : m;
}

}  // namespace

std::int32_t SBitmap::WrapX(std::int32_t x) const { return Wrap(x, Width()); }
std::int32_t SBitmap::WrapY(std::int32_t y) const { return Wrap(y, Height()); }

SColor SBitmap::GetColor(std::int32_t x, std::int32_t y) const
{
    if (IsEmpty())
        return SColor();
    return GetColorTable[Word(block::GetColorEntry)](*this, WrapX(x), WrapY(y));
}

void SBitmap::SetColor(std::int32_t x, std::int32_t y, SColor colour)
{
    if (IsEmpty())
        return;
    SetColorTable[Word(block::SetColorEntry)](*this, WrapX(x), WrapY(y), colour);
}

std::uint32_t SBitmap::GetIndex(std::int32_t x, std::int32_t y) const
{
    if (IsEmpty())
        return 0;
    return GetIndexTable[Word(block::GetIndexEntry)](*this, WrapX(x), WrapY(y));
}

void SBitmap::SetIndex(std::int32_t x, std::int32_t y, std::uint32_t index)
{
    if (IsEmpty())
        return;
    SetIndexTable[Word(block::SetIndexEntry)](*this, WrapX(x), WrapY(y), index);
}

void SBitmap::BlendColor(std::int32_t x, std::int32_t y, SColor colour)
{
    if (colour.t == 255)
        return;
    if (colour.t == 0) {
        SetColor(x, y, colour);
        return;
    }
    SetColor(x, y, Over(colour, GetColor(x, y)));
}

void SBitmap::FillRect(SColor colour, const SRect* rect)
{
    SRect area = rect != nullptr ? rect->Intersect(Bounds()) : Bounds();
    if (area.IsEmpty())
        return;
    std::int32_t format = Format();
    // Where SetColor decides every byte of a pixel, write the first pixel of each row and repeat
    // its bytes; elsewhere (indexed, two-plane formats) go pixel by pixel.
    bool repeatBytes = format == 32 || format == 24 || format == 16 || format == 15 || format == -8;
    std::size_t step = block::StorageBits(format) / 8;
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        if (!repeatBytes) {
            for (std::int32_t x = area.left; x < area.right; ++x)
                SetColor(x, y, colour);
            continue;
        }
        SetColor(area.left, y, colour);
        std::uint8_t* first = PixelAddress(area.left, y);
        std::uint8_t* p = first + step;
        if (format == 32) {
            std::uint32_t v;
            std::memcpy(&v, first, 4);
            for (std::int32_t x = area.left + 1; x < area.right; ++x, p += 4)
                std::memcpy(p, &v, 4);
        } else {
            for (std::int32_t x = area.left + 1; x < area.right; ++x, p += step)
                std::memcpy(p, first, step);
        }
    }
}

}  // namespace ulib
