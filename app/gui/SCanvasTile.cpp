// The canvas's pixel rules: zoom arithmetic and the tile fill. The fill walks row pointers of the
// display buffer and the tile; nothing per pixel goes through a call.
#include "SCanvasTile.h"

#include <algorithm>
#include <cstring>

namespace canvas {

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;
constexpr std::uint32_t CheckerLight = 0xFFFFFFFFu;
constexpr std::uint32_t CheckerDark = 0xFFE0E0E0u;

// The checkerboard under a tile pixel: 4 x 4 screen squares, white where bit 2 of the tile column
// and bit 2 of the tile row differ. Tiles sit on multiples of 128 screen pixels, so the screen
// position has the same bit 2 and a tile filled in part still lines up with its neighbours.
inline std::uint32_t Checker(std::int32_t column, std::int32_t row)
{
    return ((column ^ row) & 4) != 0 ? CheckerLight : CheckerDark;
}

// a * b / 255 rounded to nearest, for a and b of 0..255, without a division.
inline std::uint32_t Scale255(std::uint32_t v)
{
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// One display pixel as shown: opaque as it is, transparent as the checkerboard, anything between
// blended over the checkerboard with the over rule.
inline std::uint32_t Shade(std::uint32_t pixel, std::uint32_t back)
{
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 255)
        return pixel;
    if (alpha == 0)
        return back;
    const std::uint32_t rest = 255 - alpha;
    // Blue and red blended together in one word, green on its own; back is grey, so one channel.
    const std::uint32_t grey = (back & 0xFF) * rest;
    const std::uint32_t b = Scale255((pixel & 0xFF) * alpha + grey);
    const std::uint32_t g = Scale255(((pixel >> 8) & 0xFF) * alpha + grey);
    const std::uint32_t r = Scale255(((pixel >> 16) & 0xFF) * alpha + grey);
    return Opaque | r << 16 | g << 8 | b;
}

// Silhouette: each channel is the pixel's transparency, so covered pixels are black.
inline std::uint32_t Silhouette(std::uint32_t pixel)
{
    const std::uint32_t v = 255 - (pixel >> 24);
    return Opaque | (v << 16) | (v << 8) | v;
}

// One tile row: `source` already points at the display pixel of the first screen column, and
// screen column k takes source[Index(k)].
template <bool ShowSilhouette, typename Index>
inline void FillRow(const std::uint32_t* source, std::uint32_t* out, std::int32_t width, std::int32_t sx0,
                    std::int32_t sy, Index index)
{
    if constexpr (ShowSilhouette) {
        for (std::int32_t k = 0; k < width; ++k)
            out[k] = Silhouette(source[index(k)]);
    } else {
        for (std::int32_t k = 0; k < width; ++k)
            out[k] = Shade(source[index(k)], Checker(sx0 + k, sy));
    }
}

template <bool ShowSilhouette>
void FillRows(const ulib::SBitmap& display, std::int32_t zoom, const STileTarget& target, std::int32_t width,
              std::int32_t height)
{
    const std::int32_t sx0 = target.origin.x;
    for (std::int32_t row = 0; row < height; ++row) {
        const std::int32_t sy = target.origin.y + row;
        const std::uint32_t* source = display.Row32(ToDocument(sy, zoom));
        auto* out = reinterpret_cast<std::uint32_t*>(target.bits + std::size_t(row) * std::size_t(target.stride));
        // Zoomed in, the screen rows of one document row repeat the row above while the
        // checkerboard keeps its phase (bit 2 of the row unchanged): copy instead of recomputing.
        if (zoom > 0 && row > 0 && ToDocument(sy - 1, zoom) == ToDocument(sy, zoom) && ((sy ^ (sy - 1)) & 4) == 0) {
            std::memcpy(out, target.bits + std::size_t(row - 1) * std::size_t(target.stride), std::size_t(width) * 4);
            continue;
        }
        if (zoom == 0) {
            FillRow<ShowSilhouette>(source + sx0, out, width, sx0, sy, [](std::int32_t k) { return k; });
        } else if (zoom > 0) {
            // Columns are counted from the screen origin so that a partial tile splits blocks right.
            FillRow<ShowSilhouette>(source, out, width, sx0, sy, [sx0, zoom](std::int32_t k) { return (sx0 + k) >> zoom; });
        } else {
            const std::int32_t step = -zoom;
            FillRow<ShowSilhouette>(source + (std::size_t(sx0) << step), out, width, sx0, sy,
                                    [step](std::int32_t k) { return std::size_t(k) << step; });
        }
    }
}

// Row readers for pictures that are not 32-bit. Select(y) chooses the picture row, Pixel(x) gives
// column x of it as a display pixel (blue, green, red, alpha with 255 opaque).
class SBgrRows
{
public:
    static constexpr bool AlwaysOpaque = true;  // 24-bit pixels carry no transparency

    explicit SBgrRows(const ulib::SBitmap& picture) : picture_(picture) {}
    void Select(std::int32_t y) { row_ = picture_.Row(y); }
    std::uint32_t Pixel(std::int32_t x) const
    {
        const std::uint8_t* p = row_ + std::size_t(x) * 3;
        return Opaque | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }

private:
    const ulib::SBitmap& picture_;
    const std::uint8_t* row_ = nullptr;
};

// One byte per pixel through the colour table (8-bit indexed and grey): the table is looked up once
// per fill, with GetPaletteEntry's wrap-around for short tables.
class SIndexRows
{
public:
    static constexpr bool AlwaysOpaque = false;

    explicit SIndexRows(const ulib::SBitmap& picture) : picture_(picture)
    {
        for (std::int32_t i = 0; i < 256; ++i)
            table_[i] = picture.GetPaletteEntry(i).Pixel();
    }
    void Select(std::int32_t y) { row_ = picture_.Row(y); }
    std::uint32_t Pixel(std::int32_t x) const { return table_[row_[x]]; }

private:
    const ulib::SBitmap& picture_;
    const std::uint8_t* row_ = nullptr;
    std::uint32_t table_[256];
};

// Every other format (4- and 1-bit, 15/16-bit, two-plane) through the image's own accessor, so the
// pane shows exactly what picking a colour from it reads.
class SColorRows
{
public:
    static constexpr bool AlwaysOpaque = false;

    explicit SColorRows(const ulib::SBitmap& picture) : picture_(picture) {}
    void Select(std::int32_t y) { y_ = y; }
    std::uint32_t Pixel(std::int32_t x) const { return picture_.GetColor(x, y_).Pixel(); }

private:
    const ulib::SBitmap& picture_;
    std::int32_t y_ = 0;
};

template <typename Rows>
void FillPictureRows(Rows rows, std::int32_t zoom, const STileTarget& target, std::int32_t width, std::int32_t height)
{
    const std::int32_t sx0 = target.origin.x;
    for (std::int32_t row = 0; row < height; ++row) {
        const std::int32_t sy = target.origin.y + row;
        auto* out = reinterpret_cast<std::uint32_t*>(target.bits + std::size_t(row) * std::size_t(target.stride));
        // As for the display buffer: a repeated picture row is copied, unless the checkerboard
        // behind it changes phase (which cannot show through an always-opaque picture).
        if (zoom > 0 && row > 0 && ToDocument(sy - 1, zoom) == ToDocument(sy, zoom) &&
            (Rows::AlwaysOpaque || ((sy ^ (sy - 1)) & 4) == 0)) {
            std::memcpy(out, target.bits + std::size_t(row - 1) * std::size_t(target.stride), std::size_t(width) * 4);
            continue;
        }
        rows.Select(ToDocument(sy, zoom));
        for (std::int32_t k = 0; k < width; ++k) {
            const std::uint32_t pixel = rows.Pixel(ToDocument(sx0 + k, zoom));
            out[k] = Rows::AlwaysOpaque ? pixel : Shade(pixel, Checker(sx0 + k, sy));
        }
    }
}

}  // namespace

const char* ZoomText(std::int32_t zoom)
{
    static const char* const texts[] = {"6%", "12%", "25%", "50%", "100%", "200%", "400%", "800%", "1600%"};
    return texts[std::clamp(zoom, MinZoom, MaxZoom) - MinZoom];
}

ulib::SRect ScreenToDocumentRect(const ulib::SRect& screen, std::int32_t zoom, ulib::SPoint documentSize)
{
    ulib::SRect r{ToDocument(screen.left, zoom), ToDocument(screen.top, zoom), ToDocument(screen.right, zoom) + 1,
                  ToDocument(screen.bottom, zoom) + 1};
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, documentSize.x);
    r.bottom = std::min(r.bottom, documentSize.y);
    return r;
}

ulib::SRect DocumentToScreenRect(const ulib::SRect& document, std::int32_t zoom)
{
    if (document.IsEmpty())
        return {};
    if (zoom >= 0)
        return {document.left << zoom, document.top << zoom, document.right << zoom, document.bottom << zoom};
    // Zoomed out, a document pixel shares a screen pixel with its neighbours: round outwards so the
    // screen pixel showing any changed document pixel is included.
    const std::int32_t n = -zoom;
    const std::int32_t round = (1 << n) - 1;
    return {document.left >> n, document.top >> n, (document.right + round) >> n, (document.bottom + round) >> n};
}

void FillCanvasTile(const ulib::SBitmap& display, std::int32_t zoom, bool silhouette, const STileTarget& target)
{
    if (display.IsEmpty() || display.Format() != 32 || target.bits == nullptr)
        return;
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    // Only the part of the tile that shows the document is written.
    const std::int32_t screenWidth = ToScreen(display.Width(), zoom);
    const std::int32_t screenHeight = ToScreen(display.Height(), zoom);
    const std::int32_t width = std::min(target.width, screenWidth - target.origin.x);
    const std::int32_t height = std::min(target.height, screenHeight - target.origin.y);
    if (width <= 0 || height <= 0 || target.origin.x < 0 || target.origin.y < 0)
        return;

    if (silhouette)
        FillRows<true>(display, zoom, target, width, height);
    else
        FillRows<false>(display, zoom, target, width, height);
}

void FillPictureTile(const ulib::SBitmap& picture, std::int32_t zoom, const STileTarget& target)
{
    if (picture.Format() == 32) {
        FillCanvasTile(picture, zoom, false, target);
        return;
    }
    if (picture.IsEmpty() || target.bits == nullptr)
        return;
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    const std::int32_t width = std::min(target.width, ToScreen(picture.Width(), zoom) - target.origin.x);
    const std::int32_t height = std::min(target.height, ToScreen(picture.Height(), zoom) - target.origin.y);
    if (width <= 0 || height <= 0 || target.origin.x < 0 || target.origin.y < 0)
        return;

    if (picture.Format() == 24)
        FillPictureRows(SBgrRows(picture), zoom, target, width, height);
    else if (picture.Format() == 8 || picture.Format() == -8)
        FillPictureRows(SIndexRows(picture), zoom, target, width, height);
    else
        FillPictureRows(SColorRows(picture), zoom, target, width, height);
}

}  // namespace canvas
