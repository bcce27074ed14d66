// The region fill that does not leak through small gaps in the lines. The plain fill's region is
// split where it squeezes through an opening of the borders no wider than the gap size: the pixels
// farther than half the size from every border form cores (an opening that narrow has none), and
// every pixel of the region belongs to the core nearest to it along the region. A click paints the
// pixels of the core it belongs to, so the fill still reaches into corners and up to the lines,
// and an opening's pixels go half to each side. The borders never change.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SGeometry.h"
#include "SPaintContext.h"

#include <cstdint>

// The largest gap size a fill closes.
inline constexpr std::int32_t LargestFillGap = 32;

// As FillRegion (SRegionFill.h), closing openings up to `gap` pixels wide (0..LargestFillGap;
// 0, or any value outside, fills exactly as FillRegion). The whole plain region is looked at first,
// so its capacities are the walk's: a region the walk cannot take whole is filled as FillRegion
// fills it. err: as FillRegion's, and "memory_temp" when the split's maps cannot be had.
ulib::SRect FillRegionClosingGaps(SPaintContext& context, ulib::SPoint seed, std::int32_t gap, bool fromTool,
                                  ulib::SError& err, const ulib::SAbort* abort = nullptr);
