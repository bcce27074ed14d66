#include "SNonBorderPixels.h"

#include <new>

bool SNonBorderPixels::Attach(ulib::SBitmap& layer, std::int32_t width, std::int32_t height)
{
    rows_.reset(new (std::nothrow) std::uint32_t*[std::size_t(height)]);
    if (!rows_)
        return false;
    for (std::int32_t y = 0; y < height; ++y)
        rows_[y] = layer.Row32(y);
    width_ = width;
    height_ = height;
    return true;
}
