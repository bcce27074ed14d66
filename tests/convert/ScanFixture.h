// Small scans for the conversion tests, and error identifiers for readable failures.
#pragma once

#include "SBitmap.h"
#include "SError.h"

#include <cstdint>
#include <string>

inline std::string Id(ulib::SError err) { return ulib::ErrorIdentifier(err); }

// White paper with a closed dark rectangle outline, 2 pixels thick, `inset` pixels from the edge.
inline ulib::SBitmap OutlinedScan(std::int32_t w, std::int32_t h, std::int32_t inset)
{
    ulib::SBitmap image;
    image.Create(w, h, 24);
    image.FillRect(ulib::SColor(250, 250, 248));
    const ulib::SRect outer{inset, inset, w - inset, h - inset};
    const ulib::SRect inner{inset + 2, inset + 2, w - inset - 2, h - inset - 2};
    image.FillRect(ulib::SColor(40, 40, 40), &outer);
    image.FillRect(ulib::SColor(250, 250, 248), &inner);
    return image;
}
