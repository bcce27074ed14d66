// The region fill: the region walk (SRegionWalk.h) over the paint layer's non-border pixels,
// painting each span, so its visiting order and capacities (FillProcessedCapacity,
// FillPendingCapacity) are the walk's.
#pragma once

#include "SAbort.h"
#include "SColourSource.h"
#include "SError.h"
#include "SGeometry.h"
#include "SRegionWalkTables.h"

// Fills the region around document pixel (x, y) with the context's colour source, recording every
// span in the open undo step and recomposing it. With fromTool the fill does nothing while the paint
// layer is hidden. Returns the changed rectangle (empty when nothing changed); a seed outside the
// document (the display buffer's size) or on a border changes nothing and is no error.
// err receives 0 or "memory_temp" (nothing painted), "buf_overflow" or "abort" (the spans painted
// so far stay painted and recorded; abort is polled every so many spans, null never aborts).
ulib::SRect FillRegion(SPaintContext& context, ulib::SPoint seed, bool fromTool, ulib::SError& err,
                       const ulib::SAbort* abort = nullptr);

class SNonBorderPixels;

// The checks every fill makes before it walks: the seed inside the document (the display buffer's
// size), a 32-bit paint layer, shown when a tool fills; then `inside` is attached to the layer.
// False when there is nothing to fill; err then receives "memory_temp" when the row table could not
// be had, else 0.
bool AttachFillInside(SPaintContext& context, ulib::SPoint seed, bool fromTool, SNonBorderPixels& inside,
                      ulib::SError& err);
