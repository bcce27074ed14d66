#include "SGapSeams.h"

#include "SErrorCause.h"
#include "SGapSplit.h"
#include "SNonBorderPixels.h"

#include <new>

using namespace ulib;

std::vector<std::uint64_t> BorderPrint(SBitmap& paint, std::int32_t width, std::int32_t height)
{
    std::vector<std::uint64_t> print;
    SNonBorderPixels inside;
    if (paint.Format() != 32 || paint.Width() < width || paint.Height() < height || !inside.Attach(paint, width, height))
        return print;
    print.resize(std::size_t(height));
    // FNV-1a over the ends of each row's runs of non-border pixels.
    constexpr std::uint64_t Offset = 14695981039346656037ull, Prime = 1099511628211ull;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint64_t h = Offset ^ std::uint64_t(width);
        for (std::int32_t x = inside.NextInside(y, 0, width); x < width;) {
            const std::int32_t end = inside.NextOutside(y, x, width);
            h = (h ^ std::uint64_t(x)) * Prime;
            h = (h ^ std::uint64_t(end)) * Prime;
            x = inside.NextInside(y, end, width);
        }
        print[std::size_t(y)] = h;
    }
    return print;
}

std::vector<SRect> FindGapSeams(SBitmap& paint, std::int32_t width, std::int32_t height, std::int32_t gap, SError& err)
{
    err = 0;
    std::vector<SRect> seams;
    SNonBorderPixels inside;
    if (gap <= 0 || gap > LargestFillGap || paint.Format() != 32 || paint.Width() < width || paint.Height() < height)
        return seams;
    try {
        if (!inside.Attach(paint, width, height))
            throw std::bad_alloc();
        std::vector<SRowSpan> spans;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = inside.NextInside(y, 0, width); x < width;) {
                const std::int32_t end = inside.NextOutside(y, x, width);
                spans.push_back({y, x, end});
                x = inside.NextInside(y, end, width);
            }
        SGapSplit split;
        if (!split.Split(std::move(spans), width, height, gap))
            throw std::bad_alloc();
        split.ForEachSeamPixel([&](std::int32_t x, std::int32_t y) {
            if (!seams.empty() && seams.back().top == y && seams.back().right == x)
                ++seams.back().right;
            else
                seams.push_back({x, y, x + 1, y + 1});
        });
    } catch (const std::bad_alloc&) {
        seams.clear();
        err = ErrorFromIdentifier("memory_temp");
    }
    return seams;
}
