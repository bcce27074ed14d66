// What the painting window shows after a colour carry: the regions it left unpainted, pointed out on
// the canvas until the next edit, and the status bar's texts.
#pragma once

#include "SCarry.h"
#include "SGeometry.h"
#include "SString.h"

#include <cstdint>
#include <vector>

// A region the carry left unpainted, as the region fill finds it from its seed.
struct SLeftRegion
{
    ulib::SRect bounds;
    ulib::SPoint seed;              // a pixel of the region
    std::vector<ulib::SRect> rows;  // its pixels as rectangles one row high, in no particular order
};

// "色を写しました: 2380 領域を塗り、51 領域を残しました".
ulib::SString CarrySummary(const SCarryReport& report);
// The status text of a step to left region index (0-based) of count: "塗り残し 3 / 51".
ulib::SString LeftRegionText(std::int32_t index, std::int32_t count);
