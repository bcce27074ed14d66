// The inside of a region fill: the pixels of a 32-bit paint layer that are not borders
// (cel_values::IsBorder), as an inside policy of the region walk (SRegionWalk.h).
#pragma once

#include "SBitmap.h"
#include "SCelValues.h"

#include <cstdint>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class SNonBorderPixels
{
public:
    // Covers columns 0..width-1 of rows 0..height-1 of the layer, which must be 32-bit and at least
    // that large. False when the row table cannot be allocated.
    bool Attach(ulib::SBitmap& layer, std::int32_t width, std::int32_t height);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool Inside(std::int32_t y, std::int32_t x) const { return !cel_values::IsBorder(rows_[y][x]); }
    // The layer's row y, for a sink that paints it without looking the row up again.
    std::uint32_t* Row(std::int32_t y) const { return rows_[y]; }

    // The row scans look at four pixels at a time: the spans of a large region are long, and a row
    // is scanned up to three times (as a span and as the neighbour of the spans above and below).

    // The first border column of row y in [x, end), else end.
    std::int32_t NextOutside(std::int32_t y, std::int32_t x, std::int32_t end) const
    {
        const std::uint32_t* row = rows_[y];
#if defined(__SSE2__)
        for (; x + 4 <= end; x += 4)
            if (const int mask = BorderMask4(row + x))
                return x + __builtin_ctz(unsigned(mask));
#endif
        while (x < end && !cel_values::IsBorder(row[x]))
            ++x;
        return x;
    }

    // The first column of row y in [x, end) that is not a border, else end.
    std::int32_t NextInside(std::int32_t y, std::int32_t x, std::int32_t end) const
    {
        const std::uint32_t* row = rows_[y];
#if defined(__SSE2__)
        for (; x + 4 <= end; x += 4)
            if (const int mask = BorderMask4(row + x) ^ 0xF)
                return x + __builtin_ctz(unsigned(mask));
#endif
        while (x < end && cel_values::IsBorder(row[x]))
            ++x;
        return x;
    }

private:
#if defined(__SSE2__)
    static __m128i Equals4(__m128i v, std::uint32_t value) { return _mm_cmpeq_epi32(v, _mm_set1_epi32(int(value))); }

    // IsBorder of four pixels as the low four bits.
    static int BorderMask4(const std::uint32_t* p)
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i border =
            _mm_or_si128(_mm_or_si128(Equals4(v, cel_values::BorderBlack), Equals4(v, cel_values::BorderBlue)),
                         _mm_or_si128(Equals4(v, cel_values::BorderGreen), Equals4(v, cel_values::BorderRed)));
        return _mm_movemask_ps(_mm_castsi128_ps(border));
    }
#endif

    // The layer's row addresses, looked up once: SBitmap finds a row through its row table.
    std::unique_ptr<std::uint32_t*[]> rows_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};
