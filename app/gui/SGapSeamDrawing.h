// The seams of the openings the fill's gap size closes, drawn over the canvas while their view is on.
#pragma once

#include "SGeometry.h"

#include <cstdint>
#include <vector>

class QPainter;

// Draws the seams (rectangles one row high) that reach into `document` (the document rectangle
// being repainted) at zoom step z, each at least three screen pixels thick so it shows when
// the view is reduced.
void DrawGapSeams(QPainter& painter, const std::vector<ulib::SRect>& seams, const ulib::SRect& document,
                  std::int32_t zoom);
