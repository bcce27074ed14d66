// The two chamfer passes, row by row: first what the row before (or after) offers, with no
// dependence between the pixels so it vectorises, then along the row in the pass's direction.
#include "SChamferDistance.h"

#include <algorithm>
#include <cstddef>

namespace ulib {

namespace {

std::uint8_t Offer(std::uint8_t here, std::int32_t there) { return std::uint8_t(std::min<std::int32_t>(here, there)); }

void ChamferRow(std::uint8_t* row, const std::uint8_t* before, std::int32_t w, bool forward)
{
    if (before) {
        row[0] = Offer(row[0], before[0] + ChamferStraight);
        if (w > 1)
            row[0] = Offer(row[0], before[1] + ChamferDiagonal);
        for (std::int32_t x = 1; x + 1 < w; ++x)
            row[x] = Offer(row[x], std::min({before[x] + ChamferStraight, before[x - 1] + ChamferDiagonal,
                                             before[x + 1] + ChamferDiagonal}));
        if (w > 1) {
            row[w - 1] = Offer(row[w - 1], before[w - 1] + ChamferStraight);
            row[w - 1] = Offer(row[w - 1], before[w - 2] + ChamferDiagonal);
        }
    }
    if (forward)
        for (std::int32_t x = 1; x < w; ++x)
            row[x] = Offer(row[x], row[x - 1] + ChamferStraight);
    else
        for (std::int32_t x = w - 2; x >= 0; --x)
            row[x] = Offer(row[x], row[x + 1] + ChamferStraight);
}

}  // namespace

void ChamferDistances(std::uint8_t* map, std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = map + std::size_t(y) * std::size_t(width);
        ChamferRow(row, y > 0 ? row - width : nullptr, width, true);
    }
    for (std::int32_t y = height - 1; y >= 0; --y) {
        std::uint8_t* row = map + std::size_t(y) * std::size_t(width);
        ChamferRow(row, y + 1 < height ? row + width : nullptr, width, false);
    }
}

}  // namespace ulib
