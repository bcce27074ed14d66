// Finding the next pixel of a 32-bit row that a pass acts on, four pixels at a time: passes over
// layers that are mostly empty skip the rest without a test per pixel.
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ulib {

// The first x of from..end-1 whose pixel word passes test, or end. lanes(words) answers for four
// words at once: all ones in the 32-bit lanes whose words pass.
template <class Test, class Lanes>
std::int32_t FirstPixel(const std::uint32_t* row, std::int32_t from, std::int32_t end, const Test& test,
                        const Lanes& lanes)
{
    std::int32_t x = from;
#if defined(__SSE2__)
    for (; x + 4 <= end; x += 4) {
        const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const unsigned mask = unsigned(_mm_movemask_epi8(lanes(words)));
        if (mask != 0)
            return x + std::int32_t(std::countr_zero(mask) >> 2);
    }
#else
    (void)lanes;
#endif
    while (x < end && !test(row[x]))
        ++x;
    return x;
}

}  // namespace ulib
