// Bit-field BMP pixels of any channel layout, unpacked into 24- or 32-bit pixels.
#include "SBmpRead.h"

#include "SByteOrder.h"

#include <array>
#include <bit>

namespace ulib::bmp {

namespace {

bool IsOneRun(std::uint32_t mask)
{
    if (mask == 0)
        return true;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// One channel's 8-bit value from a pixel. A channel narrower than 8 bits repeats its bits (5 bits
// abcde give abcdeabc), so that its largest value is 255; a wider one keeps its top 8 bits.
class Channel
{
public:
    explicit Channel(std::uint32_t mask) : mask_(mask)
    {
        const int width = std::popcount(mask);
        low_ = mask == 0 ? 0 : std::countr_zero(mask);
        drop_ = width > 8 ? width - 8 : 0;
        const int kept = width - drop_;
        for (std::uint32_t v = 0; kept != 0 && v < (1u << kept); ++v) {
            std::uint32_t out = 0;
            for (int shift = 8 - kept; shift > -kept; shift -= kept)
                out |= shift >= 0 ? v << shift : v >> -shift;
            scaled_[v] = std::uint8_t(out);
        }
    }

    std::uint8_t operator()(std::uint32_t pixel) const { return scaled_[(pixel & mask_) >> low_ >> drop_]; }

private:
    std::uint32_t mask_;
    int low_ = 0;
    int drop_ = 0;
    std::array<std::uint8_t, 256> scaled_{};
};

}  // namespace

bool AreUsableMasks(const Masks& masks, std::uint32_t bitCount)
{
    const std::uint32_t all[] = {masks.red, masks.green, masks.blue, masks.alpha};
    const std::uint32_t pixelBits = bitCount == 16 ? 0xFFFFu : bitCount == 32 ? 0xFFFFFFFFu : 0u;
    std::uint32_t seen = 0;
    for (std::uint32_t mask : all) {
        if (!IsOneRun(mask) || (mask & ~pixelBits) != 0 || (mask & seen) != 0)
            return false;
        seen |= mask;
    }
    return true;
}

void UnpackFields(SBitmap& bitmap, const std::uint8_t* rows, std::size_t fileStride, std::uint32_t bitCount,
                  const Masks& masks)
{
    const Channel red(masks.red), green(masks.green), blue(masks.blue), alpha(masks.alpha);
    const bool withAlpha = bitmap.Format() == 32;
    const std::size_t step = withAlpha ? 4 : 3, stride = std::size_t(bitmap.Stride());
    for (std::int32_t row = 0; row < bitmap.Height(); ++row) {
        const std::uint8_t* from = rows + std::size_t(row) * fileStride;
        std::uint8_t* to = bitmap.PixelArea() + std::size_t(row) * stride;
        for (std::int32_t x = 0; x < bitmap.Width(); ++x, to += step) {
            const std::uint32_t pixel = bitCount == 16 ? GetLE16(from + std::size_t(x) * 2)
                                                       : GetLE32(from + std::size_t(x) * 4);
            to[0] = blue(pixel);
            to[1] = green(pixel);
            to[2] = red(pixel);
            if (withAlpha)
                to[3] = alpha(pixel);
        }
    }
}

}  // namespace ulib::bmp
