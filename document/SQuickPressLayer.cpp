// SQuickPressLayer: cutting an image into coded tiles and putting decoded tiles back into an image.
#include "SQuickPress.h"

#include "SParallel.h"
#include "STileCodec.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <vector>

namespace ulib {

namespace {

constexpr std::int32_t Side = SQuickPressLayer::TileSide;
constexpr std::size_t CompressPixels = std::size_t(Side + 1) * Side;  // 65 rows of 64 pixels
constexpr std::size_t CompressOutput = TileCodeCapacity(Side, Side);  // 20480 bytes
// Tile rows per band below which a layer is coded on one thread.
constexpr std::int32_t TileRowsPerBand = 4;
constexpr std::int32_t MaxTile = SQuickPressLayer::MaxDecodedTileSide;
constexpr std::size_t DecodePixels = std::size_t(MaxTile) * MaxTile;

// Reads the w by h pixels at (x, y) as coded words in the 32-bit layer order (B, G, R, A bytes),
// one row after another.
void LoadTile(const SBitmap& bitmap, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
              std::uint32_t* rows)
{
    const std::size_t width = std::size_t(w);
    switch (bitmap.Format()) {
    case 32:
        for (std::int32_t r = 0; r < h; ++r)
            std::memcpy(rows + std::size_t(r) * width, bitmap.Row32(y + r) + x, width * 4);
        break;
    case 24:
        for (std::int32_t r = 0; r < h; ++r) {
            const std::uint8_t* s = bitmap.Row(y + r) + std::size_t(x) * 3;
            std::uint32_t* d = rows + std::size_t(r) * width;
            for (std::size_t i = 0; i < width; ++i, s += 3)
                d[i] = std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]) << 16 | 0xFF000000u;
        }
        break;
    default:
        for (std::int32_t r = 0; r < h; ++r)
            for (std::int32_t i = 0; i < w; ++i)
                rows[std::size_t(r) * width + std::size_t(i)] = bitmap.GetColor(x + i, y + r).Pixel();
        break;
    }
}

// Writes count decoded words to the pixels (x..x+count-1, y), replacing them (Decode).
void PutReplacing(SBitmap& bitmap, std::int32_t format, const std::uint32_t* src, std::int32_t x, std::int32_t y,
                  std::int32_t count)
{
    if (format == 32) {
        std::memcpy(bitmap.Row32(y) + x, src, std::size_t(count) * 4);
    } else if (format == 24) {
        std::uint8_t* d = bitmap.Row(y) + std::size_t(x) * 3;
        for (std::int32_t i = 0; i < count; ++i, d += 3) {
            d[0] = std::uint8_t(src[i]);
            d[1] = std::uint8_t(src[i] >> 8);
            d[2] = std::uint8_t(src[i] >> 16);
        }
    } else {
        for (std::int32_t i = 0; i < count; ++i)
            bitmap.SetColor(x + i, y, SColor::FromPixel(src[i]));
    }
}

// Composites count decoded words onto the pixels (x..x+count-1, y) (DecodeOnto).
void PutCompositing(SBitmap& bitmap, std::int32_t format, const std::uint32_t* src, std::int32_t x, std::int32_t y,
                    std::int32_t count)
{
    const bool direct = format == 24 || format == 32 || format == 48 || format == 64;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t a = src[i] >> 24;
        if (a == 0)
            continue;
        if (a == 255 && direct) {
            std::uint8_t* d = bitmap.PixelAddress(x + i, y);
            d[0] = std::uint8_t(src[i]);
            d[1] = std::uint8_t(src[i] >> 8);
            d[2] = std::uint8_t(src[i] >> 16);
            if (format == 32)
                d[3] = 255;
        } else if (a == 255) {
            bitmap.SetColor(x + i, y, SColor::FromPixel(src[i]));
        } else {
            bitmap.BlendColor(x + i, y, SColor::FromPixel(src[i]));
        }
    }
}

using PutRow = void (*)(SBitmap&, std::int32_t, const std::uint32_t*, std::int32_t, std::int32_t, std::int32_t);

// The rectangle a decode writes: the bitmap's bounds, cut to *clip when given.
SRect DecodeArea(const SBitmap& bitmap, const SRect* clip)
{
    return clip != nullptr ? bitmap.Bounds().Intersect(*clip) : bitmap.Bounds();
}

// Decodes, in list order, each tile that meets `area` once moved by (dx, dy) and puts the part of
// it inside `area` into the bitmap. Rectangles from files may hold any value, so the placement is
// worked out in 64 bits. A tile of negative size is refused before the area is looked at.
SError WalkTiles(const SQuickPressLayer& layer, SBitmap& bitmap, std::int64_t dx, std::int64_t dy, const SRect& area,
                 PutRow put)
{
    std::unique_ptr<std::uint32_t[]> scratch;
    const std::int32_t format = bitmap.Format();
    for (std::int32_t i = 0; i < layer.tiles.Count(); ++i) {
        const SRect& r = layer.tiles.Key(i);
        if (r.right < r.left || r.bottom < r.top)
            return ErrorFromIdentifier("data");
        const std::int64_t w = std::int64_t(r.right) - r.left;
        const std::int64_t h = std::int64_t(r.bottom) - r.top;
        if (w == 0 || h == 0 || area.IsEmpty())
            continue;
        const std::int64_t left = r.left + dx;
        const std::int64_t top = r.top + dy;
        if (left >= area.right || left + w <= area.left || top >= area.bottom || top + h <= area.top)
            continue;
        if (w > MaxTile || h > MaxTile)
            return ErrorFromIdentifier("data");
        // Inside the area every coordinate fits 32 bits again.
        const std::int32_t x0 = std::int32_t(std::max<std::int64_t>(left, area.left));
        const std::int32_t x1 = std::int32_t(std::min<std::int64_t>(left + w, area.right));
        const std::int32_t y0 = std::int32_t(std::max<std::int64_t>(top, area.top));
        const std::int32_t y1 = std::int32_t(std::min<std::int64_t>(top + h, area.bottom));
        const std::span<const std::uint8_t> bytes = layer.tiles.Value(i).Bytes();
        std::uint32_t* rows[MaxTile + 1];
        rows[0] = const_cast<std::uint32_t*>(ZeroTileRow());  // read only
        if (format == 32 && put == PutReplacing && x1 - x0 == w && y1 - y0 == h) {
            // A whole tile of a 32-bit image: decoded in place, pixels written once.
            for (std::int32_t row = 0; row < h; ++row)
                rows[row + 1] = bitmap.Row32(y0 + row) + x0;
            if (const SError err = DecodeTileRowsBgra(layer.palette, bytes, std::int32_t(h), std::int32_t(w), rows))
                return err;
            continue;
        }
        if (!scratch) {
            scratch.reset(new (std::nothrow) std::uint32_t[DecodePixels]);
            if (!scratch)
                return ErrorFromIdentifier("memory_temp");
        }
        for (std::int32_t row = 0; row < h; ++row)
            rows[row + 1] = scratch.get() + std::size_t(row) * std::size_t(w);
        if (const SError err = DecodeTileRowsBgra(layer.palette, bytes, std::int32_t(h), std::int32_t(w), rows))
            return err;
        for (std::int32_t y = y0; y < y1; ++y)
            put(bitmap, format, rows[y - top + 1] + (x0 - left), x0, y, x1 - x0);
    }
    return 0;
}

std::int64_t PlacementX(const SQuickPressLayer& layer, const SPoint* offset)
{
    return std::int64_t(layer.originX) + (offset != nullptr ? offset->x : 0);
}
std::int64_t PlacementY(const SQuickPressLayer& layer, const SPoint* offset)
{
    return std::int64_t(layer.originY) + (offset != nullptr ? offset->y : 0);
}

}  // namespace

STileCoding::STileCoding(const SBitmap& bitmap)
    : bitmap_(bitmap), palette_(bitmap.GetPalette()), columns_((bitmap.Width() + Side - 1) / Side),
      tileRows_((bitmap.Height() + Side - 1) / Side)
{
    try {
        coded_.resize(std::size_t(columns_) * std::size_t(tileRows_));
    } catch (const std::bad_alloc&) {
        failure_ = "memory_alloc";
    }
}

void STileCoding::Work()
{
    while (WorkRow(bitmap_.Height())) {
    }
}

bool STileCoding::WorkRow(std::int32_t rows)
{
    const std::int32_t height = bitmap_.Height(), width = bitmap_.Width();
    // Tile rows wholly inside the first rows, the last one counting once the bitmap is complete.
    const std::int32_t ready = rows >= height ? tileRows_ : std::max(rows, 0) / Side;
    std::int32_t row = next_.load();
    do {
        if (row >= ready || failure_.load(std::memory_order_relaxed))
            return false;
    } while (!next_.compare_exchange_weak(row, row + 1));
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[CompressPixels]);
    std::unique_ptr<std::uint8_t[]> out(new (std::nothrow) std::uint8_t[CompressOutput]);
    if (!pixels || !out) {
        failure_ = "memory_temp";
        return false;
    }
    const std::int32_t y = row * Side, h = std::min(Side, height - y);
    for (std::int32_t column = 0; column < columns_; ++column) {
        const std::int32_t x = column * Side, w = std::min(Side, width - x);
        std::fill_n(pixels.get(), w, 0u);
        LoadTile(bitmap_, x, y, w, h, pixels.get() + w);
        const std::size_t n = EncodeTileBgra({pixels.get(), std::size_t(h + 1) * std::size_t(w)}, h, w,
                                             {out.get(), CompressOutput}, &palette_);
        if (coded_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)].Assign(out.get(), n) != 0) {
            failure_ = "memory_alloc";
            return false;
        }
    }
    return true;
}

SError STileCoding::Finish(SQuickPressLayer& layer)
{
    layer.originX = 0;
    layer.originY = 0;
    layer.width = bitmap_.Width();
    layer.height = bitmap_.Height();
    layer.format = bitmap_.Format();
    layer.palette = palette_;
    layer.tiles.Clear();
    auto fail = [&layer](const char* identifier) {
        layer.tiles.Clear();
        layer.width = 0;
        layer.height = 0;
        return ErrorFromIdentifier(identifier);
    };
    // A row nobody took would leave tiles out; only a failure stops the rows being taken.
    Work();
    if (const char* identifier = failure_.load())
        return fail(identifier);
    std::size_t i = 0;
    for (std::int32_t y = 0; y < layer.height; y += Side)
        for (std::int32_t x = 0; x < layer.width; x += Side, ++i)
            if (layer.tiles.Append(SRect{x, y, std::min(x + Side, layer.width), std::min(y + Side, layer.height)},
                                   std::move(coded_[i])) != 0)
                return fail("memory_alloc");
    return 0;
}

SError SQuickPressLayer::Compress(const SBitmap& bitmap)
{
    // Tiles are coded independently: the cores take tile rows, and the tiles are listed in their
    // order afterwards, so the bytes are those of a coding in one go.
    STileCoding coding(bitmap);
    ForEachBand((bitmap.Height() + Side - 1) / Side, TileRowsPerBand, [&](std::int32_t, std::int32_t) { coding.Work(); });
    return coding.Finish(*this);
}

bool SQuickPressLayer::CoversImage() const
{
    if (originX != 0 || originY != 0)
        return false;
    if (width <= 0 || height <= 0)
        return true;
    const std::int64_t columns = (std::int64_t(width) + Side - 1) / Side;
    const std::int64_t rows = (std::int64_t(height) + Side - 1) / Side;
    if (columns * rows != tiles.Count())
        return false;
    std::int32_t i = 0;
    for (std::int32_t y = 0; y < height; y += Side)
        for (std::int32_t x = 0; x < width; x += Side)
            if (!(tiles.Key(i++) == SRect{x, y, std::min(x + Side, width), std::min(y + Side, height)}))
                return false;
    return true;
}

SError SQuickPressLayer::Decode(SBitmap& bitmap, const SPoint* offset, const SRect* clip) const
{
    const bool sameShape = bitmap.Width() == width && bitmap.Height() == height && bitmap.Format() == format;
    if (!sameShape) {
        bitmap.Create(width, height, format, true);
        if (bitmap.Width() != width || bitmap.Height() != height) {
            bitmap.Release();
            return ErrorFromIdentifier("memory_alloc");
        }
    }
    const SRect area = DecodeArea(bitmap, clip);
    const std::int64_t dx = PlacementX(*this, offset);
    const std::int64_t dy = PlacementY(*this, offset);
    // An image that already had this shape still holds old pixels; they go unless every one of
    // them is about to be written anyway.
    const bool writesAll = area == bitmap.Bounds() && dx == 0 && dy == 0 && CoversImage();
    if (sameShape && !writesAll)
        bitmap.ResetPixels();
    const SError err = WalkTiles(*this, bitmap, dx, dy, area, PutReplacing);
    if (err != 0)
        bitmap.Release();
    return err;
}

SError SQuickPressLayer::DecodeOnto(SBitmap& bitmap, const SPoint* offset, const SRect* clip) const
{
    const SError err =
        WalkTiles(*this, bitmap, PlacementX(*this, offset), PlacementY(*this, offset), DecodeArea(bitmap, clip),
                  PutCompositing);
    if (err != 0)
        bitmap.Release();
    return err;
}

SError SQuickPressLayer::DecodeInto(SBitmap& bitmap, const SPoint* offset, const SRect* clip) const
{
    if (bitmap.Width() != width || bitmap.Height() != height || bitmap.Format() != format)
        return ErrorFromIdentifier("domain");
    return WalkTiles(*this, bitmap, PlacementX(*this, offset), PlacementY(*this, offset), DecodeArea(bitmap, clip),
                     PutReplacing);
}

void SQuickPressLayer::Clear() { *this = SQuickPressLayer(); }

SError SQuickPressLayer::Assign(const SQuickPressLayer& other)
{
    if (this == &other)
        return 0;
    try {
        *this = other;
    } catch (const std::bad_alloc&) {
        Clear();
        return ErrorFromIdentifier("memory_alloc");
    }
    return 0;
}

bool SQuickPressLayer::Equals(const SQuickPressLayer& other) const
{
    return name == other.name && tiles == other.tiles && palette == other.palette && extra == other.extra &&
           originX == other.originX && originY == other.originY && width == other.width && height == other.height &&
           format == other.format && kind == other.kind;
}

std::size_t SQuickPressLayer::ByteSize() const
{
    std::size_t size = 36 + std::size_t(name.Length()) + 1 + 4 * std::size_t(palette.Count()) + extra.Length() + 4;
    for (std::int32_t i = 0; i < tiles.Count(); ++i)
        size += 20 + tiles.Value(i).Length();
    return size;
}

}  // namespace ulib
