#include "SAntiHoleFilter.h"

void SAntiHoleFilter::FillTaps(ulib::SImageRankTap* taps, std::int32_t& bias, std::int32_t& divisor) const
{
    static constexpr std::int32_t weights[3][3] = {{2, 3, 2}, {3, 10, 3}, {2, 3, 2}};
    std::int32_t i = 0;
    for (std::int32_t dy = -1; dy <= 1; ++dy)
        for (std::int32_t dx = -1; dx <= 1; ++dx)
            taps[i++] = {dx, dy, weights[dy + 1][dx + 1]};
    bias = 0;
    divisor = 30;
}
