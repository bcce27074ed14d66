// The marks over the regions the last colour carry left unpainted, drawn over the canvas: each
// region hatched and framed in a pattern no paint can have, the one the view was last moved to
// framed more heavily.
#pragma once

#include "SCarryMarks.h"
#include "SGeometry.h"

#include <cstdint>
#include <vector>

class QPainter;

// Draws the marks of the regions that reach into `document` (the document rectangle being
// repainted) at zoom step z; current is the index of the region to stress, or -1.
void DrawLeftRegions(QPainter& painter, const std::vector<SLeftRegion>& regions, std::int32_t current,
                     const ulib::SRect& document, std::int32_t zoom);
