// The one raster image type: a device-independent bitmap kept in a single self-relative block
// (header, information header, colour table, pixel area, second plane, row and column tables).
// Copying is one block copy; a variable without an image points at a shared, never-written empty block.
#pragma once

#include "SColor.h"
#include "SError.h"
#include "SGeometry.h"
#include "SPalette.h"
#include "SPlatform.h"

#include <cstddef>
#include <cstdint>

namespace ulib {

class SBitmap
{
public:
    static constexpr std::int32_t MaxSize = 12000;

    SBitmap() noexcept;
    ~SBitmap();
    SBitmap(const SBitmap& other);
    SBitmap& operator=(const SBitmap& other);
    SBitmap(SBitmap&& other) noexcept;
    SBitmap& operator=(SBitmap&& other) noexcept;

    // (Re)allocates: width and height 0..12000, format one of -16 -8 -4 -1 1 4 8 15 16 24 32 48 64.
    // Same size and format: nothing happens. Invalid arguments or a failed allocation leave the image
    // empty (callers compare the size). New pixels are white for 15, 16, 24, 48 and zero otherwise;
    // the grey formats (-1, -4, -8, -16) get a grey ramp as their colour table.
    // With keep, the tag, resolutions and colour table (as far as it reaches) survive; pixels never do.
    void Create(std::int32_t width, std::int32_t height, std::int32_t format, bool keep = false);
    void Release();
    // Gives every pixel (and the second plane) the fill of a freshly created image: white for
    // 15, 16, 24 and 48, zero for the others. Reuses the block, unlike a second Create.
    void ResetPixels();
    // Copies the source (one block copy); a source marked temporary gives its block instead (the two
    // are swapped and both flags cleared). A failed copy leaves the image empty. The copy constructor
    // and copy assignment always copy; moves take the block and clear its temporary flag.
    void Assign(SBitmap& source);
    // Exchanges the blocks and clears both temporary flags.
    void Swap(SBitmap& other) noexcept;
    // Lets the next Assign from this variable take the block over; no effect on the empty image.
    void MarkTemporary();

    std::int32_t Width() const;
    std::int32_t Height() const;
    std::int32_t Format() const;
    SPoint Dimensions() const { return {Width(), Height()}; }
    SRect Bounds() const { return {0, 0, Width(), Height()}; }
    std::int32_t Stride() const;
    std::int32_t PaletteCount() const;
    std::uint32_t Tag() const;
    // Whether the fourth byte of a 32-bit pixel is the picture's alpha (255 opaque). Readers set it
    // for pictures that have an alpha channel; the fourth byte of other 32-bit pictures (a plain
    // 32-bit BMP) may be anything. A new image has none; copies keep it; the empty image ignores it.
    bool HasAlpha() const;
    void SetHasAlpha(bool alpha);
    bool IsEmpty() const { return Width() == 0 || Height() == 0; }

    // Unchecked addresses for row walkers: (x, y) must lie inside the image.
    std::uint8_t* PixelAddress(std::int32_t x, std::int32_t y);
    const std::uint8_t* PixelAddress(std::int32_t x, std::int32_t y) const;
    std::uint8_t* Row(std::int32_t y) { return PixelAddress(0, y); }
    const std::uint8_t* Row(std::int32_t y) const { return PixelAddress(0, y); }
    std::uint32_t* Row32(std::int32_t y) { return reinterpret_cast<std::uint32_t*>(Row(y)); }
    const std::uint32_t* Row32(std::int32_t y) const { return reinterpret_cast<const std::uint32_t*>(Row(y)); }

    // Per-format accessors. Coordinates wrap (floor modulus of the size); on a 0-sized image the
    // getters return zero and the setters do nothing.
    SColor GetColor(std::int32_t x, std::int32_t y) const;
    void SetColor(std::int32_t x, std::int32_t y, SColor colour);
    std::uint32_t GetIndex(std::int32_t x, std::int32_t y) const;
    void SetIndex(std::int32_t x, std::int32_t y, std::uint32_t index);
    // Composites the colour onto the pixel with the over rule (T 255: nothing; T 0: SetColor).
    void BlendColor(std::int32_t x, std::int32_t y, SColor colour);
    // SetColor over the rectangle clipped to the bounds; nullptr means the whole image.
    void FillRect(SColor colour, const SRect* rect = nullptr);

    // Colour table; the index wraps modulo the entries; without entries get gives 0, set does nothing.
    SColor GetPaletteEntry(std::int32_t index) const;
    void SetPaletteEntry(std::int32_t index, SColor colour);
    SPalette GetPalette() const;

    // Resolutions in pixels per metre. The setters create a 0 by 0 24-bit image on an empty one.
    std::int32_t ResolutionX() const;
    std::int32_t ResolutionY() const;
    void SetResolutionX(std::int32_t ppm);
    void SetResolutionY(std::int32_t ppm);

    // 0 by 0, format 24, tag 0, both resolutions 0.
    bool IsPristine() const;
    // Information header + colour table + pixel area, plus 14 with a BMP file header.
    std::size_t DibSize(bool withFileHeader) const;
    // The information header (followed by masks and colour table) and the bottom-up pixel area.
    const std::uint8_t* InfoHeader() const;
    const std::uint8_t* PixelArea() const;
    std::uint8_t* PixelArea();
    std::size_t PixelAreaSize() const;

    // Draws the image (or the part inside `source`, clipped to the bounds) through the platform
    // seam. An empty image draws nothing and succeeds.
    // The clipped part keeps its place: when the rectangle reaches outside the image, the drawing
    // starts further right or down by as much as was cut off. err: "memory_alloc" (two-plane formats).
    SError Draw(SDrawSurface* surface, std::int32_t x, std::int32_t y, const SRect* source = nullptr) const;

    // The whole self-relative block, for code that stores or compares images byte for byte.
    const std::uint8_t* Block() const { return block_; }
    std::size_t BlockSize() const;

private:
    static std::uint8_t FreshFill(std::int32_t format);
    bool IsShared() const;
    std::uint32_t Word(std::size_t offset) const;
    void ClearTemporary();
    std::int32_t WrapX(std::int32_t x) const;
    std::int32_t WrapY(std::int32_t y) const;

    std::uint8_t* block_;
};

// Copies the source rectangle (nullptr: all of it, else clipped to the source), moved by offset and
// clipped to the target; coordinates never wrap. Equal formats copy the stored pixels (whole row
// segments where pixels are whole bytes); different formats go through GetColor/SetColor.
// Target and source may be the same image.
void Blit(SBitmap& target, const SBitmap& source, SPoint offset, const SRect* sourceRect = nullptr);

// A new image of the given size by area averaging (format of the source when above 8, else 24),
// with the source's resolutions; returned by value, so it is moved and not marked temporary.
// 32-bit sources average colour weighted by alpha and alpha by area. A size outside 0..12000 gives
// the empty image; an empty source gives the new size in the format's fill.
SBitmap Resample(const SBitmap& source, std::int32_t width, std::int32_t height);

}  // namespace ulib
