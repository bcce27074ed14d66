// The region fill: a 4-connected span fill of the paint layer bounded by its border values, with
// the visiting order and capacities (32768 processed spans, 65536 pending) of the key tables.
#pragma once

#include "SColourSource.h"
#include "SError.h"
#include "SGeometry.h"

#include <cstdint>

// A fill paints at most this many spans (runs of one row between borders); the next new span of
// the region ends in "buf_overflow".
inline constexpr std::int32_t FillProcessedCapacity = 32768;
// At most this many spans wait to be visited at once; offering one more ends the offering span's
// visit with "buf_overflow" (the spans already waiting are still visited).
inline constexpr std::int32_t FillPendingCapacity = 65536;

// Fills the region around document pixel (x, y) with the context's colour source, recording every
// span in the open undo step and recomposing it. With fromTool the fill does nothing while the paint
// layer is hidden. Returns the changed rectangle (empty when nothing changed); a seed outside the
// document (the display buffer's size) or on a border changes nothing and is no error.
// err receives 0 or "memory_temp" (nothing painted), "buf_overflow" (the spans painted so far stay
// painted and recorded), "domain".
ulib::SRect FillRegion(SPaintContext& context, ulib::SPoint seed, bool fromTool, ulib::SError& err);
