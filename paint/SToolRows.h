// Row-level helpers shared by the painting tools: where a layer may be touched, boxes and discs
// clipped to it, and row readers for the reference picture and the flag layer.
// Positions come from the canvas and may lie anywhere, so geometry is worked in 64 bits and
// clipped before a pixel is addressed.
#pragma once

#include "SBitmap.h"
#include "SCel.h"
#include "SGeometry.h"
#include "SPaintContext.h"

#include <algorithm>
#include <cstdint>

namespace tool_rows {

// The document pixels of a 32-bit layer that the tools may read and write: the display buffer's
// size (the document size) clipped to the layer; empty for a layer of another format.
inline ulib::SRect LayerArea(const SCel& cel, const ulib::SBitmap& layer)
{
    if (layer.Format() != 32)
        return {};
    return cel.display.Bounds().Intersect(layer.Bounds());
}

inline bool Inside(const ulib::SRect& area, std::int64_t x, std::int64_t y)
{
    return area.left <= x && x < area.right && area.top <= y && y < area.bottom;
}

// The rectangle [left, right) x [top, bottom) clipped to the area (the all-zero rectangle when
// nothing is left).
inline ulib::SRect ClipRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                            const ulib::SRect& area)
{
    const ulib::SRect r{std::int32_t(std::max<std::int64_t>(left, area.left)),
                        std::int32_t(std::max<std::int64_t>(top, area.top)),
                        std::int32_t(std::min<std::int64_t>(right, area.right)),
                        std::int32_t(std::min<std::int64_t>(bottom, area.bottom))};
    return r.IsEmpty() ? ulib::SRect{} : r;
}

// The square from (c.x - r, c.y - r) to (c.x + r, c.y + r) inclusive, clipped to the area.
inline ulib::SRect BoxAround(ulib::SPoint c, std::int64_t r, const ulib::SRect& area)
{
    return ClipRect(std::int64_t(c.x) - r, std::int64_t(c.y) - r, std::int64_t(c.x) + r + 1, std::int64_t(c.y) + r + 1,
                    area);
}

// floor(sqrt(v)).
inline std::int64_t IntegerSqrt(std::uint64_t v)
{
    std::uint64_t root = 0;
    std::uint64_t bit = std::uint64_t(1) << 62;
    while (bit > v)
        bit >>= 2;
    while (bit) {
        if (v >= root + bit) {
            v -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return std::int64_t(root);
}

// Half the width of the disc of radius r in the row dy away from its centre: the pixels
// c.x - w .. c.x + w belong to it. -1 when the row misses the disc.
inline std::int64_t DiscHalfWidth(std::int64_t r, std::int64_t dy)
{
    if (r < 0 || dy < -r || dy > r)
        return -1;
    return IntegerSqrt(std::uint64_t(r * r - dy * dy));
}

// Floor modulus; n must be positive.
inline std::int32_t Wrap(std::int64_t v, std::int32_t n)
{
    const std::int64_t m = v % n;
    return std::int32_t(m < 0 ? m + n : m);
}

// One row of the reference picture, repeated from the document origin: At(x) is the picture's
// pixel at (x mod width, y mod height) as a colour. The picture must not be empty.
class SReferenceRow
{
public:
    SReferenceRow(const ulib::SBitmap& picture, std::int64_t y)
        : picture_(picture), y_(Wrap(y, picture.Height())), width_(picture.Width()), row_(picture.Row(y_))
    {
    }

    ulib::SColor At(std::int64_t x) const
    {
        const std::int32_t wx = (x >= 0 && x < width_) ? std::int32_t(x) : Wrap(x, width_);
        switch (picture_.Format()) {
        case 32:
            return ulib::SColor::FromPixel(reinterpret_cast<const std::uint32_t*>(row_)[wx]);
        case 24: {
            const std::uint8_t* p = row_ + std::size_t(wx) * 3;
            return ulib::SColor(p[2], p[1], p[0], 0);
        }
        default:
            return picture_.GetColor(wx, y_);
        }
    }

private:
    const ulib::SBitmap& picture_;
    std::int32_t y_;
    std::int32_t width_;
    const std::uint8_t* row_;
};

// Row y of the flag layer when it holds columns 0..x1-1 of that row, else nullptr (the colour
// codes of converted lines are then neither kept nor restored).
inline std::uint8_t* FlagRow(ulib::SBitmap& flag, std::int32_t y, std::int32_t x1)
{
    if (flag.Format() != 8 || y < 0 || y >= flag.Height() || x1 > flag.Width())
        return nullptr;
    return flag.Row(y);
}

// The radius of the selected trace pen; an index outside 0..4 is taken as the nearest pen.
inline std::int32_t PenRadius(const SToolState& tools)
{
    return TracePenRadius[std::clamp(tools.tracePen, 0, 4)];
}

// Recomposes rows top..bottom-1 of the display over the rectangle's columns.
inline void ComposeRect(SCel& cel, const ulib::SRect& rect)
{
    ulib::SError err = 0;
    for (std::int32_t y = rect.top; y < rect.bottom; ++y)
        cel.ComposeRow(y, rect.left, rect.right, err);
}

}  // namespace tool_rows
