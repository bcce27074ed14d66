// What the painting operations read and change: the cel, its undo buffer, the tool state (colour
// mode, current colour, brush, trace pen) and the reference picture used as paint in bitmap mode.
// The controller owns all of them; the operations never keep them beyond a call.
#pragma once

#include "SBitmap.h"
#include "SCel.h"
#include "SColor.h"
#include "SHuedraneUndoBuffer.h"

#include <cstdint>

enum class SColourMode : int { Colour = 1, Eraser = 2, Bitmap = 3, Texture = 4 };

struct SBrushSettings
{
    std::int32_t radius = 16;    // 0..100
    std::int32_t shape = 0;      // percentage of the radius painted at full density
    std::int32_t density = 255;  // 0..255
};

struct SToolState
{
    SColourMode colourMode = SColourMode::Colour;
    ulib::SColor currentColour{255, 192, 128};
    SBrushSettings brush;
    std::int32_t tracePen = 2;  // index into TracePenRadius
    std::int32_t fillGap = 0;   // openings of the borders up to this wide the paint tool's fill closes; 0 none
};

// Trace pen radii in document pixels, by pen index 0..4.
inline constexpr std::int32_t TracePenCount = 5;
inline constexpr std::int32_t TracePenRadius[TracePenCount] = {0, 2, 4, 12, 32};

struct SPaintContext
{
    SCel& cel;
    SHuedraneUndoBuffer& undo;
    SToolState& tools;
    const ulib::SBitmap& reference;  // empty when there is none
};
