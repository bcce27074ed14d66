// The brush box's picture of one airbrush dab: a grey disc on white whose darkness is the
// density, full inside the hard core and falling off linearly towards the rim.
#pragma once

#include "SBitmap.h"
#include "SPaintContext.h"

#include <cstdint>

namespace brush_preview {

inline constexpr std::int32_t Width = 205;
inline constexpr std::int32_t Height = 77;

// The largest b with b * b <= q (0 for q <= 0).
std::int32_t IntegerSquareRoot(std::int32_t q);

// The dab's level (0 = nothing, density = full) at integer distance b from the centre for a brush
// of the given radius, shape (percent of the radius at full density) and density. Never negative.
std::int32_t DabLevel(const SBrushSettings& brush, std::int32_t b);

// Clears the bitmap to white and draws the dab around (width / 2, height / 2): every pixel within
// the radius becomes grey 255 - level (0 when the level exceeds 255). The bitmap keeps its size
// and format; pixels beyond its edges are skipped, so any radius is safe.
void Draw(ulib::SBitmap& bitmap, const SBrushSettings& brush);

}  // namespace brush_preview
