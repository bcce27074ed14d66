// The dab preview, computed in integers exactly as the brush box shows it.
#include "SBrushPreview.h"

namespace brush_preview {

std::int32_t IntegerSquareRoot(std::int32_t q)
{
    if (q <= 0)
        return 0;
    // Newton's step from above converges on the floor of the root without floating point.
    std::int64_t x = q;
    std::int64_t y = (x + 1) / 2;
    while (y < x) {
        x = y;
        y = (x + q / x) / 2;
    }
    return static_cast<std::int32_t>(x);
}

std::int32_t DabLevel(const SBrushSettings& brush, std::int32_t b)
{
    const std::int64_t r = brush.radius;
    const std::int64_t core = r * brush.shape / 100;
    std::int64_t level = 0;
    if (b <= core)
        level = brush.density;
    else if (r > core)  // b > core, so r > core whenever b lies within the radius
        level = brush.density * (r - b + 1) / (r - core);
    return level < 0 ? 0 : static_cast<std::int32_t>(level);
}

void Draw(ulib::SBitmap& bitmap, const SBrushSettings& brush)
{
    bitmap.FillRect(ulib::SColor::White);
    const std::int32_t width = bitmap.Width();
    const std::int32_t height = bitmap.Height();
    const std::int32_t cx = width / 2;
    const std::int32_t cy = height / 2;
    const std::int64_t r = brush.radius;
    if (r < 0)
        return;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int64_t dy = y - cy;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int64_t dx = x - cx;
            const std::int64_t q = dx * dx + dy * dy;
            if (q > r * r)
                continue;
            const std::int32_t level = DabLevel(brush, IntegerSquareRoot(static_cast<std::int32_t>(q)));
            const auto grey = static_cast<std::uint8_t>(level > 255 ? 0 : 255 - level);
            bitmap.SetColor(x, y, ulib::SColor(grey, grey, grey));
        }
    }
}

}  // namespace brush_preview
