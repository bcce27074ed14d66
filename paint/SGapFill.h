// The region fill that does not leak through small gaps in the lines: the plain fill's region is
// split where it squeezes through an opening of the borders no wider than the gap size
// (SGapSplit.h), and a click paints the share it falls in. The borders never change.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SGapSplit.h"
#include "SGeometry.h"
#include "SPaintContext.h"

#include <cstdint>

// As FillRegion (SRegionFill.h), closing openings up to `gap` pixels wide (0..LargestFillGap;
// 0, or any value outside, fills exactly as FillRegion). The whole plain region is looked at first,
// so its capacities are the walk's: a region the walk cannot take whole is filled as FillRegion
// fills it. err: as FillRegion's, and "memory_temp" when the split's maps cannot be had.
ulib::SRect FillRegionClosingGaps(SPaintContext& context, ulib::SPoint seed, std::int32_t gap, bool fromTool,
                                  ulib::SError& err, const ulib::SAbort* abort = nullptr);
