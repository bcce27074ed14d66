// Small 32-bit images for the export tests.
#pragma once

#include "SBitmap.h"

#include <cstdint>
#include <vector>

// A 32-bit image of w by h pixels, every pixel fill.
inline ulib::SBitmap Image32(std::int32_t w, std::int32_t h, std::uint32_t fill)
{
    ulib::SBitmap image;
    image.Create(w, h, 32);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            image.Row32(y)[x] = fill;
    return image;
}

// One row of a 32-bit image as stored words.
inline std::vector<std::uint32_t> Words(const ulib::SBitmap& image, std::int32_t y)
{
    return std::vector<std::uint32_t>(image.Row32(y), image.Row32(y) + image.Width());
}
