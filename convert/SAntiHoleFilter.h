// Convolution kernels for ConvolveImage, and the anti-hole kernel that import uses to close
// pinholes in scanned lines before the paint layer's borders are classified.
#pragma once

#include <cstdint>

namespace ulib {

// One tap of a convolution kernel: the source pixel at (x + dx, y + dy) counted weight times.
struct SImageRankTap
{
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t weight = 0;
};

// The interface of a kernel handed to ConvolveImage: a number of taps, then the taps themselves
// with the bias added to and the divisor applied to their weighted sum.
class SImageRankFanctor
{
public:
    virtual ~SImageRankFanctor() = default;
    // The number of taps FillTaps writes.
    virtual std::int32_t TapCount() const { return 0; }
    // Writes TapCount() taps into `taps`, and the bias and divisor.
    virtual void FillTaps(SImageRankTap* taps, std::int32_t& bias, std::int32_t& divisor) const
    {
        (void)taps;
        (void)bias;
        (void)divisor;
    }
};

}  // namespace ulib

// 3 by 3 smoothing weighted towards the centre (2 3 2 / 3 10 3 / 2 3 2, divided by 30).
class SAntiHoleFilter : public ulib::SImageRankFanctor
{
public:
    std::int32_t TapCount() const override { return 9; }
    void FillTaps(ulib::SImageRankTap* taps, std::int32_t& bias, std::int32_t& divisor) const override;
};
