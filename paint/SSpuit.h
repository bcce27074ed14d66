// The spuit: picks the colour mode and the current colour from the visible layers at a pixel.
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

// Looks at document pixel `at` (outside the document nothing happens), top layer first:
//   extra layer (visible) not fully transparent: colour mode, current colour = that pixel;
//   trace layer (visible): a converted line gives colour mode and its colour made opaque, a
//     coloured line the eraser, a black line nothing; no line goes on;
//   paint layer (visible): a painted pixel gives colour mode and its colour (with its alpha),
//     an unpainted one the eraser, a border nothing.
// Changes only the tool state. Returns true when it picked something.
bool PickColour(const SCel& cel, SToolState& tools, ulib::SPoint at);
