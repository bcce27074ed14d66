// The spuit.
#include "SSpuit.h"

#include "SToolRows.h"

using namespace ulib;
using namespace tool_rows;

namespace {

bool TakeColour(SToolState& tools, SColor colour)
{
    tools.colourMode = SColourMode::Colour;
    tools.currentColour = colour;
    return true;
}

bool TakeEraser(SToolState& tools)
{
    tools.colourMode = SColourMode::Eraser;
    return true;
}

}  // namespace

bool PickColour(const SCel& cel, SToolState& tools, SPoint at)
{
    if (!cel.display.Bounds().Contains(at))
        return false;
    if (cel.visible[LayerExtra] && LayerArea(cel, cel.extra).Contains(at)) {
        const std::uint32_t e = cel.extra.Row32(at.y)[at.x];
        if (e >> 24)
            return TakeColour(tools, SColor::FromPixel(e));
    }
    if (cel.visible[LayerTrace] && LayerArea(cel, cel.trace).Contains(at)) {
        const std::uint32_t t = cel.trace.Row32(at.y)[at.x];
        if (t != cel_values::NoLine) {
            if (cel_values::IsConvertedLine(t))
                return TakeColour(tools, SColor::FromPixel(t | 0xFF000000u));
            if (cel_values::BlackDensity(t))
                return false;  // black lines give no colour
            if (cel_values::ColourDensity(t))
                return TakeEraser(tools);
        }
    }
    if (cel.visible[LayerPaint] && LayerArea(cel, cel.paint).Contains(at)) {
        const std::uint32_t p = cel.paint.Row32(at.y)[at.x];
        if (cel_values::IsPainted(p))
            return TakeColour(tools, SColor::FromPixel(p));
        if (p == cel_values::Unpainted)
            return TakeEraser(tools);
    }
    return false;
}
