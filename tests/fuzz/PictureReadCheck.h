// What every picture reader must give a fuzzer: success with a usable picture, or an empty bitmap.
#pragma once

#include "SBitmap.h"
#include "SError.h"

#include <cstdint>
#include <cstdlib>

inline void CheckPictureRead(ulib::SError err, const ulib::SBitmap& image)
{
    if (err != 0 && !image.IsPristine())
        std::abort();
    if (err == 0 && !image.IsEmpty()) {
        // Touch the picture's corners, so a wrong row table shows up under the sanitizers.
        volatile std::uint32_t sink = image.GetColor(0, 0).Value() ^
                                      image.GetColor(image.Width() - 1, image.Height() - 1).Value();
        (void)sink;
    }
}
