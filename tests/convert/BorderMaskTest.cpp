// The notch and thinning passes decide every cell from the mask as it was when the pass began and
// mark the cells afterwards, so bands of rows on several cores give what one thread gives: checked
// on random paint layers of every density, with markers already in them, and sizes that split
// into several bands or none. Cells are looked at sixteen at a time with the rest one by one, so
// a drawing gives the same result wherever it lies across those chunks.
#include "SImportPasses.h"

#include "SParallel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace ulib;
using namespace import_value;

namespace {

// Blobs and lines of border over unpainted paper, with single-pixel holes and stray markers.
SBitmap RandomPaint(std::mt19937& random, std::int32_t w, std::int32_t h, std::uint32_t density)
{
    SBitmap paint;
    paint.Create(w, h, 32);
    const std::uint32_t values[] = {BlackBorder, RedBorder};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const bool line = std::uint32_t(x / 3 + y / 4) % 7 < density % 7 || random() % 100 < density;
            std::uint32_t v = line ? values[(x / 11 + y / 13) % 2] : Unpainted;
            if (random() % 500 == 0)
                v = Marker;
            paint.Row32(y)[x] = v;
        }
    return paint;
}

bool SamePixels(const SBitmap& a, const SBitmap& b)
{
    return a.PixelAreaSize() == b.PixelAreaSize() && std::memcmp(a.PixelArea(), b.PixelArea(), a.PixelAreaSize()) == 0;
}

TEST(BorderMask, BandedPassesGiveTheOneThreadLayer)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one core: every pass runs in one band";
    std::mt19937 random(11);
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{301, 400}, {97, 1031}, {4, 300}, {200, 5}, {1, 1}};
    for (const auto& [w, h] : sizes)
        for (const std::uint32_t density : {2u, 20u, 45u, 80u}) {
            const SBitmap paint = RandomPaint(random, w, h, density);
            for (const bool thin : {false, true}) {
                SBitmap banded = paint, serial = paint;
                auto run = [thin](SBitmap& layer) {
                    return thin ? ThinPaintLines(layer, nullptr) : ExtendPaintNotches(layer, nullptr);
                };
                ASSERT_EQ(run(banded), 0u);
                {
                    const SSerialScope one;
                    ASSERT_EQ(run(serial), 0u);
                }
                ASSERT_TRUE(SamePixels(banded, serial)) << w << "x" << h << " density " << density << " thin " << thin;
                for (std::int32_t y = 0; y < h; ++y)
                    for (std::int32_t x = 0; x < w; ++x) {
                        const std::uint32_t before = paint.Row32(y)[x], after = banded.Row32(y)[x];
                        // Passes only open cells, and leave no marker behind.
                        ASSERT_TRUE(after == before || after == Unpainted) << x << "," << y;
                        ASSERT_NE(after, Marker) << x << "," << y;
                    }
            }
        }
}

TEST(BorderMask, MaskRoundTripKeepsTheLayerAndClearsMarkers)
{
    std::mt19937 random(5);
    const SBitmap paint = RandomPaint(random, 131, 67, 30);
    SBorderMask mask;
    ASSERT_EQ(mask.Make(paint), 0u);
    SBitmap back = paint;
    mask.ApplyTo(back);
    EXPECT_TRUE(SamePixels(back, paint));
    mask.ClearMarks();
    mask.ApplyTo(back);
    for (std::int32_t y = 0; y < paint.Height(); ++y)
        for (std::int32_t x = 0; x < paint.Width(); ++x) {
            const std::uint32_t v = paint.Row32(y)[x];
            ASSERT_EQ(back.Row32(y)[x], v == Marker ? Unpainted : v) << x << "," << y;
        }
    SBitmap genga;
    genga.Create(4, 4, 24);
    EXPECT_NE(mask.Make(genga), 0u);
    EXPECT_EQ(mask.Width(), 0);
}

TEST(BorderMask, ADrawingThinsAndNotchesAlikeAtEveryPlaceAcrossTheChunks)
{
    std::mt19937 random(23);
    constexpr std::int32_t side = 37, margin = 4, shifts = 17;
    const SBitmap drawing = RandomPaint(random, side, side, 45);
    for (const bool thin : {false, true}) {
        std::vector<SBitmap> results;
        for (std::int32_t shift = 0; shift < shifts; ++shift) {
            SBitmap paint;
            paint.Create(side + 2 * margin + shifts, side + 2 * margin, 32);
            for (std::int32_t y = 0; y < paint.Height(); ++y)
                for (std::int32_t x = 0; x < paint.Width(); ++x)
                    paint.Row32(y)[x] = Unpainted;
            for (std::int32_t y = 0; y < side; ++y)
                for (std::int32_t x = 0; x < side; ++x)
                    paint.Row32(y + margin)[x + margin + shift] = drawing.Row32(y)[x];
            ASSERT_EQ(thin ? ThinPaintLines(paint, nullptr) : ExtendPaintNotches(paint, nullptr), 0u);
            SBitmap result;
            result.Create(side, side, 32);
            for (std::int32_t y = 0; y < side; ++y)
                for (std::int32_t x = 0; x < side; ++x)
                    result.Row32(y)[x] = paint.Row32(y + margin)[x + margin + shift];
            results.push_back(result);
        }
        for (std::int32_t shift = 1; shift < shifts; ++shift)
            EXPECT_TRUE(SamePixels(results[std::size_t(shift)], results[0])) << "thin " << thin << " shift " << shift;
        EXPECT_FALSE(SamePixels(results[0], drawing)) << "thin " << thin << ": the passes changed nothing";
    }
}

}  // namespace
