// Blit: copies a rectangle of one image into another, clipped on both sides.
#include "SBitmap.h"

#include "SBitmapBlock.h"

#include <algorithm>
#include <cstring>

namespace ulib {

namespace {

// The source and target rectangles of a blit after clipping; empty when nothing is copied.
struct BlitSpan
{
    std::int32_t sourceX = 0, sourceY = 0, targetX = 0, targetY = 0, width = 0, height = 0;
};

BlitSpan ClipBlit(const SBitmap& target, const SBitmap& source, SPoint offset, const SRect* sourceRect)
{
    SRect from = sourceRect != nullptr ? sourceRect->Intersect(source.Bounds()) : source.Bounds();
    // In 64 bits: an offset far outside the target must clip to nothing, not overflow.
    std::int64_t left = std::max<std::int64_t>(std::int64_t(from.left) + offset.x, 0);
    std::int64_t top = std::max<std::int64_t>(std::int64_t(from.top) + offset.y, 0);
    std::int64_t right = std::min<std::int64_t>(std::int64_t(from.right) + offset.x, target.Width());
    std::int64_t bottom = std::min<std::int64_t>(std::int64_t(from.bottom) + offset.y, target.Height());
    BlitSpan span;
    if (from.IsEmpty() || left >= right || top >= bottom)
        return span;
    span.targetX = std::int32_t(left);
    span.targetY = std::int32_t(top);
    span.sourceX = std::int32_t(left - offset.x);
    span.sourceY = std::int32_t(top - offset.y);
    span.width = std::int32_t(right - left);
    span.height = std::int32_t(bottom - top);
    return span;
}

// One 1-bit pixel: bit 7 - (x mod 8) of byte x / 8.
void CopyBit(SBitmap& target, std::int32_t tx, std::int32_t ty, const SBitmap& source, std::int32_t sx, std::int32_t sy)
{
    unsigned bit = (*source.PixelAddress(sx, sy) >> (7 - (sx & 7))) & 1;
    std::uint8_t* p = target.PixelAddress(tx, ty);
    unsigned mask = 1u << (7 - (tx & 7));
    *p = std::uint8_t(bit != 0 ? *p | mask : *p & ~mask);
}

}  // namespace

void Blit(SBitmap& target, const SBitmap& source, SPoint offset, const SRect* sourceRect)
{
    if (&target == &source) {
        // Reading and writing the same rows would smear overlapping areas: copy the source first.
        SBitmap copy(source);
        if (copy.Width() == source.Width() && copy.Height() == source.Height())
            Blit(target, copy, offset, sourceRect);
        return;
    }
    BlitSpan s = ClipBlit(target, source, offset, sourceRect);
    if (s.width <= 0 || s.height <= 0)
        return;

    std::int32_t format = source.Format();
    if (target.Format() != format) {
        for (std::int32_t y = 0; y < s.height; ++y)
            for (std::int32_t x = 0; x < s.width; ++x)
                target.SetColor(s.targetX + x, s.targetY + y, source.GetColor(s.sourceX + x, s.sourceY + y));
        return;
    }
    if (format >= 8 || format == -8) {
        std::size_t bytes = std::size_t(s.width) * block::StorageBits(format) / 8;
        for (std::int32_t y = 0; y < s.height; ++y)
            std::memcpy(target.PixelAddress(s.targetX, s.targetY + y), source.PixelAddress(s.sourceX, s.sourceY + y), bytes);
        return;
    }
    for (std::int32_t y = 0; y < s.height; ++y) {
        for (std::int32_t x = 0; x < s.width; ++x) {
            std::int32_t sx = s.sourceX + x, sy = s.sourceY + y, tx = s.targetX + x, ty = s.targetY + y;
            if (format == 4 || format == -4)
                target.SetIndex(tx, ty, source.GetIndex(sx, sy));
            else if (format == -16)
                *target.PixelAddress(tx, ty) = *source.PixelAddress(sx, sy);  // the index byte only
            else
                CopyBit(target, tx, ty, source, sx, sy);  // 1, -1: the index accessors do not reach bits
        }
    }
}

}  // namespace ulib
