// The brushes: round dabs of the brush settings (radius, shape, density) on the paint layer or the
// extra layer, the colour mix they blend with, and the strokes made of dabs.
#pragma once

#include "SColor.h"
#include "SGeometry.h"
#include "SPaintContext.h"

#include <cstdint>

enum class SBrushLayer { Paint, Extra };

// The base colour b mixed with the brush colour c at weight w (0 base only .. 255 brush only), in
// 12-bit widened weights; where transparencies differ the result's transparency is mixed as well.
ulib::SColor MixColour(ulib::SColor b, ulib::SColor c, std::uint32_t w);

// One dab at document pixel `at`. The box around the disc, clipped to the document, is recorded in
// the open undo step and its rows are recomposed. The paint brush leaves border pixels alone; a
// fully transparent result is written as unpainted. Does nothing while the layer is hidden (or,
// for the extra layer, absent). Returns the changed rectangle.
ulib::SRect BrushDab(SPaintContext& context, SBrushLayer layer, ulib::SPoint at);

// The dabs of a drag from p to q: one at q, then with a radius below 4 three more at
// (3q + p) / 4, (q + p) / 2 and (q + 3p) / 4 (division truncating toward zero), so that fast
// strokes of small brushes leave no gaps. Returns the union of the dabs' rectangles.
ulib::SRect BrushStroke(SPaintContext& context, SBrushLayer layer, ulib::SPoint p, ulib::SPoint q);
