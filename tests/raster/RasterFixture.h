// Small helpers shared by the raster tests.
#pragma once

#include "SBitmap.h"

inline ulib::SBitmap Made(std::int32_t width, std::int32_t height, std::int32_t format)
{
    ulib::SBitmap image;
    image.Create(width, height, format);
    return image;
}
