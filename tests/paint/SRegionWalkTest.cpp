#include "PaintFixture.h"
#include "SNonBorderPixels.h"
#include "SRegionWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using namespace ulib;

namespace {

// An inside policy over a plain mask, scanning one pixel at a time.
struct MaskInside
{
    std::int32_t width = 0, height = 0;
    std::vector<char> in;

    std::int32_t Width() const { return width; }
    std::int32_t Height() const { return height; }
    bool Inside(std::int32_t y, std::int32_t x) const { return in[std::size_t(y * width + x)] != 0; }
    std::int32_t NextOutside(std::int32_t y, std::int32_t x, std::int32_t end) const
    {
        while (x < end && Inside(y, x))
            ++x;
        return x;
    }
    std::int32_t NextInside(std::int32_t y, std::int32_t x, std::int32_t end) const
    {
        while (x < end && !Inside(y, x))
            ++x;
        return x;
    }
};

using Span = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // row, first column, end column

struct SpanRecorder
{
    std::vector<Span> spans;
    SAbort* raiseAfter10 = nullptr;  // raised once ten spans are handed out

    void operator()(std::int32_t y, std::int32_t x0, std::int32_t x1)
    {
        spans.emplace_back(y, x0, x1);
        if (raiseAfter10 && spans.size() == 10)
            raiseAfter10->RequestAbort();
    }
};

// The mask's pixels 4-connected to the seed, breadth first.
std::vector<char> Flood(const MaskInside& mask, SPoint seed)
{
    std::vector<std::int32_t> reached(mask.in.size(), 0);
    FloodFrom(reached, mask.width, mask.height, seed, 1, [&](std::int32_t x, std::int32_t y) { return mask.Inside(y, x); });
    return {reached.begin(), reached.end()};
}

TEST(RegionWalk, HandsOutEachRegionPixelOnceInWholeRunsWhateverThePolicy)
{
    std::mt19937 rng(9001);
    for (int round = 0; round < 400; ++round) {
        const std::int32_t w = 1 + std::int32_t(rng() % 37), h = 1 + std::int32_t(rng() % 29);
        const unsigned borderShare = 15 + rng() % 40;
        Art art(std::size_t(h), std::string(std::size_t(w), '.'));
        MaskInside mask{w, h, std::vector<char>(std::size_t(w * h), 1)};
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if (rng() % 100 < borderShare) {
                    art[y][x] = "#rgb"[rng() % 4];
                    mask.in[std::size_t(y * w + x)] = 0;
                } else {
                    art[y][x] = ".RH~"[rng() % 4];
                }
        SBitmap layer;
        layer.Create(w, h, 32);
        DrawArt(layer, art);
        SNonBorderPixels borders;
        ASSERT_TRUE(borders.Attach(layer, w, h));
        const SPoint seed{std::int32_t(rng() % w), std::int32_t(rng() % h)};

        SpanRecorder byBorders, byMask;
        ASSERT_EQ(WalkRegion(borders, byBorders, seed), 0u);
        ASSERT_EQ(WalkRegion(mask, byMask, seed), 0u);
        // The vector row scans find what the plain ones find, so the walks agree span by span.
        ASSERT_EQ(byBorders.spans, byMask.spans) << "round " << round;

        std::vector<char> handed(mask.in.size(), 0);
        for (const auto& [y, x0, x1] : byMask.spans) {
            ASSERT_TRUE(x0 == 0 || !mask.Inside(y, x0 - 1)) << "round " << round;
            ASSERT_TRUE(x1 == w || !mask.Inside(y, x1)) << "round " << round;
            for (std::int32_t x = x0; x < x1; ++x)
                ASSERT_EQ(handed[std::size_t(y * w + x)]++, 0) << "round " << round << " twice " << x << "," << y;
        }
        ASSERT_EQ(handed, Flood(mask, seed)) << "round " << round << " seed " << seed.x << "," << seed.y;
    }
}

TEST(RegionWalk, AbortStopsTheWalkAtTheNextPoll)
{
    // A column 3000 rows deep: a span a row.
    const MaskInside column{3, 3000, std::vector<char>(3 * 3000, 1)};
    SpanRecorder whole;
    EXPECT_EQ(WalkRegion(column, whole, {1, 1500}, nullptr), 0u);
    EXPECT_EQ(whole.spans.size(), 3000u);

    SAbort abort;
    SpanRecorder stopped;
    stopped.raiseAfter10 = &abort;
    EXPECT_EQ(ErrorIdentifier(WalkRegion(column, stopped, {1, 1500}, &abort)), "abort");
    EXPECT_GE(stopped.spans.size(), 10u);
    EXPECT_LE(stopped.spans.size(), std::size_t(region_walk::AbortPollSpans));
    EXPECT_TRUE(std::equal(stopped.spans.begin(), stopped.spans.end(), whole.spans.begin()));

    // Raised before the walk: nothing is handed out.
    SpanRecorder none;
    EXPECT_EQ(ErrorIdentifier(WalkRegion(column, none, {1, 1500}, &abort)), "abort");
    EXPECT_TRUE(none.spans.empty());
}

}  // namespace
