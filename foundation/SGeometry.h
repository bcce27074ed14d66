// Points and rectangles in pixel coordinates.
// Rectangles are right- and bottom-exclusive and empty when left >= right or top >= bottom.
#pragma once

#include <algorithm>
#include <cstdint>

namespace ulib {

struct SPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr bool operator==(const SPoint&) const = default;
};

struct SRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr bool operator==(const SRect&) const = default;

    constexpr std::int32_t Width() const { return right - left; }
    constexpr std::int32_t Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return left >= right || top >= bottom; }
    constexpr bool Contains(SPoint p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
    constexpr bool Overlaps(const SRect& o) const { return !Intersect(o).IsEmpty(); }

    // An empty intersection is returned as the all-zero rectangle.
    constexpr SRect Intersect(const SRect& o) const
    {
        SRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.IsEmpty() ? SRect{} : r;
    }
    // An empty operand is ignored.
    constexpr SRect Union(const SRect& o) const
    {
        if (o.IsEmpty())
            return *this;
        if (IsEmpty())
            return o;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    constexpr SRect Offset(std::int32_t dx, std::int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr SRect Inflate(std::int32_t dx, std::int32_t dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    constexpr SRect Deflate(std::int32_t dx, std::int32_t dy) const { return Inflate(-dx, -dy); }
};

}  // namespace ulib
