// Builds small cels for the document tests: every layer at one size, genga white, paint unpainted,
// trace empty, extra transparent.
#pragma once

#include "SCel.h"

inline SCel MakeCel(std::int32_t width, std::int32_t height)
{
    SCel cel;
    cel.display.Create(width, height, 32);
    cel.genga.Create(width, height, 24);  // created white
    cel.paint.Create(width, height, 32);
    cel.trace.Create(width, height, 32);
    cel.flag.Create(width, height, 8);
    cel.paint.FillRect(ulib::SColor::FromPixel(cel_values::Unpainted));
    cel.trace.FillRect(ulib::SColor::FromPixel(cel_values::NoLine));
    return cel;
}

inline void SetPixel(ulib::SBitmap& layer, std::int32_t x, std::int32_t y, std::uint32_t value)
{
    layer.Row32(y)[x] = value;
}

inline std::uint32_t Shown(SCel& cel, std::int32_t x, std::int32_t y)
{
    cel.ComposeAll();
    return cel.display.Row32(y)[x];
}
