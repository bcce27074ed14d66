// Chamfer distances over a byte map: how far each pixel lies from the nearest source pixel, in
// steps of 3 along a row or column and 4 across a corner (thirds of a pixel, within 8% of the
// straight-line distance), by one pass from the top left and one from the bottom right.
#pragma once

#include <cstdint>

namespace ulib {

inline constexpr std::int32_t ChamferStraight = 3;
inline constexpr std::int32_t ChamferDiagonal = 4;

// `map` holds width * height bytes, row after row: 0 at the sources, 255 elsewhere. Each pixel
// becomes its distance to the nearest source, capped at 255 (255 everywhere when there is none).
void ChamferDistances(std::uint8_t* map, std::int32_t width, std::int32_t height);

}  // namespace ulib
