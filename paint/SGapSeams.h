// The openings of a paint layer's borders that the gap-closing fill would close: where the shares
// of two cores meet when the layer's every non-border pixel is split (SGapSplit.h).
#pragma once

#include "SBitmap.h"
#include "SError.h"
#include "SGeometry.h"

#include <cstdint>
#include <vector>

// The seam pixels of the 32-bit paint layer's columns 0..width-1 of rows 0..height-1 (the
// document) closing openings up to `gap` pixels wide, as rectangles one row high, row by row.
// Nothing for gap 0 or outside 1..LargestFillGap, or a layer that is not 32-bit or smaller than
// the document. err: "memory_temp" when the split's maps cannot be had (seams left empty).
std::vector<ulib::SRect> FindGapSeams(ulib::SBitmap& paint, std::int32_t width, std::int32_t height, std::int32_t gap,
                                      ulib::SError& err);

// A print of where the borders of the same part of the layer lie, one number per row: layers with
// the same borders have the same print, so the seams found for one hold for the other, and a
// print costs a small part of finding the seams. Empty for a layer FindGapSeams takes no seams
// from.
std::vector<std::uint64_t> BorderPrint(ulib::SBitmap& paint, std::int32_t width, std::int32_t height);
