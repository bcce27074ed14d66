// Refining the local movement on the drawing's lines: around every node of the mapping's grid, the
// shift that brings the target's line edges onto the source's (a chamfer match: the sum of the
// distances from each mapped target edge pixel to the nearest source edge) is searched from coarse
// to fine steps, then the grid is smoothed so a node with few or misleading lines follows its
// neighbours; a second, short round settles the smoothed grid. Region centroids place the drawing
// to within several pixels; the lines place it to about one.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SCelMapping.h"
#include "SError.h"

// sourcePaint and targetPaint are the cels' 32-bit paint layers (their borders are the lines).
// Errors: "abort", "memory_temp" (the mapping is then unchanged).
ulib::SError RefineOnLines(const ulib::SBitmap& sourcePaint, const ulib::SBitmap& targetPaint, SCelMapping& mapping,
                           const ulib::SAbort* abort = nullptr);
