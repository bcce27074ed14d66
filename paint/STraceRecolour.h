// Recolouring trace lines with the colour mode's line colour. With a colour, converted lines take
// it and coloured lines become converted lines (their colour code kept in the flag layer); without
// one (eraser, texture, a fully transparent colour, no usable reference pixel) converted lines turn
// back into coloured lines with the code from the flag layer, which is cleared. Black lines stay.
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

#include <cstdint>

// Recolours row y from x0 to x1 (exclusive, clipped) of the trace layer. Records nothing and does
// not recompose.
void RecolourTraceSpan(SCel& cel, const SToolState& tools, const ulib::SBitmap& reference, std::int32_t y,
                       std::int32_t x0, std::int32_t x1);

// One dab of the trace pen at document pixel `at`: every row of the disc of the pen's radius,
// clipped to the document, is recorded in the open undo step (trace layer), recoloured and
// recomposed. Does nothing while the trace layer is hidden. Returns the changed rectangle.
ulib::SRect TracePenDab(SPaintContext& context, ulib::SPoint at);
