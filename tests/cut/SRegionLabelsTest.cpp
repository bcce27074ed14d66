#include "PaintFixture.h"
#include "SGapFill.h"
#include "SNonBorderPixels.h"
#include "SRegionLabels.h"
#include "SRegionWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

using namespace ulib;

namespace {

SBitmap LayerFromArt(const Art& art)
{
    SBitmap layer;
    layer.Create(std::int32_t(art[0].size()), std::int32_t(art.size()), 32);
    DrawArt(layer, art);
    return layer;
}

// The labels as art: '0' for borders, '1'..'9' and 'a'.. for the regions.
Art LabelArt(const SRegionLabels& labels)
{
    Art art(std::size_t(labels.Height()), std::string(std::size_t(labels.Width()), ' '));
    for (std::int32_t y = 0; y < labels.Height(); ++y)
        for (std::int32_t x = 0; x < labels.Width(); ++x) {
            const std::int32_t l = labels.At(x, y);
            art[y][x] = char(l < 10 ? '0' + l : 'a' + l - 10);
        }
    return art;
}

std::vector<std::int32_t> NeighbourList(const SRegionLabels& labels, std::int32_t label)
{
    const auto n = labels.Neighbours(label);
    return {n.begin(), n.end()};
}

// Reference labels: a breadth-first flood from every unlabelled non-border pixel in row order.
std::vector<std::int32_t> FloodLabels(const SBitmap& layer, std::int32_t& count)
{
    const std::int32_t w = layer.Width(), h = layer.Height();
    std::vector<std::int32_t> labels(std::size_t(w * h), 0);
    auto inside = [&](std::int32_t x, std::int32_t y) { return !cel_values::IsBorder(layer.Row32(y)[x]); };
    count = 0;
    for (std::int32_t y0 = 0; y0 < h; ++y0)
        for (std::int32_t x0 = 0; x0 < w; ++x0) {
            if (!inside(x0, y0) || labels[std::size_t(y0 * w + x0)] != 0)
                continue;
            FloodFrom(labels, w, h, {x0, y0}, ++count, inside);
        }
    return labels;
}

// Reference neighbours: every pair of region pixels on one row or column with 1..gap borders
// and nothing else between them.
std::set<std::pair<std::int32_t, std::int32_t>> NeighbourPairs(const SRegionLabels& labels, std::int32_t gap)
{
    std::set<std::pair<std::int32_t, std::int32_t>> pairs;
    const std::int32_t w = labels.Width(), h = labels.Height();
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                const std::int32_t a = labels.At(x, y);
                if (a == 0)
                    continue;
                for (std::int32_t k = 1; k <= gap; ++k) {
                    const std::int32_t bx = x + (k + 1) * dx, by = y + (k + 1) * dy;
                    if (bx >= w || by >= h || labels.At(x + k * dx, y + k * dy) != 0)
                        break;
                    const std::int32_t b = labels.At(bx, by);
                    if (b != 0 && b != a)
                        pairs.insert({std::min(a, b), std::max(a, b)});
                }
            }
    return pairs;
}

// A random layer drawn like a cel: unpainted or painted ground, crossed by straight border lines
// one to three pixels wide, with scattered border specks and odd alpha-0 values.
Art RandomCelArt(std::mt19937& rng, std::int32_t w, std::int32_t h)
{
    Art art(std::size_t(h), std::string(std::size_t(w), '.'));
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            art[y][x] = ".RH~"[rng() % 4];
    const int lines = int(rng() % 6);
    for (int i = 0; i < lines; ++i) {
        const char border = "#rgb"[rng() % 4];
        const std::int32_t width = 1 + std::int32_t(rng() % 3);
        const bool across = rng() % 2 == 0;
        const std::int32_t at = std::int32_t(rng() % std::uint32_t(across ? h : w));
        const std::int32_t from = std::int32_t(rng() % std::uint32_t(across ? w : h));
        const std::int32_t to = from + std::int32_t(rng() % std::uint32_t(across ? w : h));
        for (std::int32_t t = from; t < to && t < (across ? w : h); ++t)
            for (std::int32_t d = 0; d < width && at + d < (across ? h : w); ++d)
                (across ? art[at + d][t] : art[t][at + d]) = border;
    }
    const unsigned specks = rng() % 30;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            if (rng() % 100 < specks)
                art[y][x] = "#rgb"[rng() % 4];
    return art;
}

TEST(RegionLabels, LabelsRegionsInRowOrderAndDescribesThem)
{
    const SBitmap layer = LayerFromArt({"..#RR",
                                        "..#R#",
                                        "##b#.",
                                        "~.#..",
                                        "HH#.."});
    SRegionLabels labels;
    ASSERT_EQ(labels.Build(layer), 0u);
    EXPECT_EQ(LabelArt(labels), Art({"11022",
                                     "11020",
                                     "00003",
                                     "44033",
                                     "44033"}));
    ASSERT_EQ(labels.Count(), 4);
    const SRegionFacts& red = labels.Region(2);
    EXPECT_EQ(red.area, 3);
    EXPECT_EQ(red.bounds, (SRect{3, 0, 5, 2}));
    EXPECT_EQ(red.seed, (SPoint{3, 0}));
    EXPECT_EQ(red.colour, ArtValue('R'));
    EXPECT_DOUBLE_EQ(red.CentroidX(), 10.0 / 3);
    EXPECT_DOUBLE_EQ(red.CentroidY(), 1.0 / 3);
    EXPECT_EQ(labels.Region(1).colour, cel_values::Unpainted);
    // The seed is the first pixel in row order, whatever the rest of the region holds.
    EXPECT_EQ(labels.Region(4).seed, (SPoint{0, 3}));
    EXPECT_EQ(labels.Region(4).colour, ArtValue('~'));
    EXPECT_EQ(labels.Region(3).bounds, (SRect{3, 2, 5, 5}));
}

TEST(RegionLabels, NeighboursAcrossThinLinesOnly)
{
    using Lists = std::vector<std::vector<std::int32_t>>;  // the neighbours of regions 1, 2, ...
    struct Case
    {
        const char* what;
        Art art;
        std::int32_t gap;
        Lists neighbours;
    };
    const Case cases[] = {
        {"one- and two-pixel lines", {"..#..##.."}, 2, {{2}, {1, 3}, {2}}},
        {"a line wider than the gap", {"..###.."}, 2, {{}, {}}},
        {"a gap as wide as the line", {"..###.."}, 3, {{2}, {1}}},
        {"down a column", {"..", "##", "rg", ".."}, 2, {{2}, {1}}},
        {"a corner only", {"..#", "..#", "##."}, 8, {{}, {}}},
        {"a line ending inside one region", {"....", ".##.", "...."}, 2, {{}}},
        {"mixed borders between", {".#.", "...", "rgb", "..."}, 2, {{2}, {1}}},
    };
    for (const Case& c : cases) {
        SRegionLabels labels;
        ASSERT_EQ(labels.Build(LayerFromArt(c.art), c.gap), 0u) << c.what;
        ASSERT_EQ(labels.Count(), std::int32_t(c.neighbours.size())) << c.what;
        for (std::int32_t l = 1; l <= labels.Count(); ++l)
            EXPECT_EQ(NeighbourList(labels, l), c.neighbours[std::size_t(l - 1)]) << c.what << ", region " << l;
    }
}

TEST(RegionLabels, RefusesWhatItCannotLabel)
{
    SRegionLabels labels;
    SBitmap grey;
    grey.Create(4, 4, 8);
    EXPECT_EQ(ErrorIdentifier(labels.Build(grey)), "domain");
    const SBitmap layer = LayerFromArt({".#."});
    EXPECT_EQ(ErrorIdentifier(labels.Build(layer, 0)), "domain");
    EXPECT_EQ(ErrorIdentifier(labels.Build(layer, 17)), "domain");
    EXPECT_EQ(labels.Count(), 0);
    EXPECT_EQ(labels.Width(), 0);

    SBitmap empty;
    empty.Create(0, 0, 32);
    EXPECT_EQ(labels.Build(empty), 0u);
    EXPECT_EQ(labels.Count(), 0);
}

TEST(RegionLabels, AgreeWithAFloodFillAndDescribeEachRegionExactly)
{
    std::mt19937 rng(4242);
    for (int round = 0; round < 300; ++round) {
        const std::int32_t w = 1 + std::int32_t(rng() % 40), h = 1 + std::int32_t(rng() % 30);
        const SBitmap layer = LayerFromArt(RandomCelArt(rng, w, h));
        const std::int32_t gap = 1 + std::int32_t(rng() % 12);
        SRegionLabels labels;
        ASSERT_EQ(labels.Build(layer, gap), 0u);
        std::int32_t count = 0;
        const std::vector<std::int32_t> flood = FloodLabels(layer, count);
        // The flood numbers regions by their first pixel in row order too, so the maps are equal.
        ASSERT_EQ(labels.Count(), count) << "round " << round;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                ASSERT_EQ(labels.At(x, y), flood[std::size_t(y * w + x)]) << "round " << round << " at " << x << "," << y;

        std::vector<SRegionFacts> facts(static_cast<std::size_t>(count));
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if (const std::int32_t l = labels.At(x, y)) {
                    SRegionFacts& f = facts[std::size_t(l - 1)];
                    if (f.area++ == 0) {
                        f.seed = {x, y};
                        f.colour = layer.Row32(y)[x];
                    }
                    f.uniform = f.uniform && layer.Row32(y)[x] == f.colour;
                    f.sumX += x;
                    f.sumY += y;
                    f.sumXX += std::int64_t(x) * x;
                    f.sumYY += std::int64_t(y) * y;
                    f.sumXY += std::int64_t(x) * y;
                    f.bounds = f.bounds.Union({x, y, x + 1, y + 1});
                }
        for (std::int32_t l = 1; l <= count; ++l) {
            const SRegionFacts& got = labels.Region(l);
            const SRegionFacts& want = facts[std::size_t(l - 1)];
            EXPECT_EQ(got.area, want.area) << "round " << round << " region " << l;
            EXPECT_EQ(got.bounds, want.bounds) << "round " << round << " region " << l;
            EXPECT_EQ(got.sumX, want.sumX) << "round " << round << " region " << l;
            EXPECT_EQ(got.sumY, want.sumY) << "round " << round << " region " << l;
            EXPECT_EQ(got.sumXX, want.sumXX) << "round " << round << " region " << l;
            EXPECT_EQ(got.sumYY, want.sumYY) << "round " << round << " region " << l;
            EXPECT_EQ(got.sumXY, want.sumXY) << "round " << round << " region " << l;
            EXPECT_EQ(got.seed, want.seed) << "round " << round << " region " << l;
            EXPECT_EQ(got.colour, want.colour) << "round " << round << " region " << l;
            EXPECT_EQ(got.uniform, want.uniform) << "round " << round << " region " << l;
        }

        std::set<std::pair<std::int32_t, std::int32_t>> listed;
        for (std::int32_t l = 1; l <= count; ++l) {
            const std::vector<std::int32_t> n = NeighbourList(labels, l);
            EXPECT_TRUE(std::is_sorted(n.begin(), n.end()));
            EXPECT_EQ(std::adjacent_find(n.begin(), n.end()), n.end());
            for (const std::int32_t other : n) {
                const std::vector<std::int32_t> back = NeighbourList(labels, other);
                EXPECT_TRUE(std::binary_search(back.begin(), back.end(), l)) << "round " << round;
                listed.insert({std::min(l, other), std::max(l, other)});
            }
        }
        ASSERT_EQ(listed, NeighbourPairs(labels, gap)) << "round " << round;
    }
}

// The paint layer after the paint tool's click at `seed` closing gaps up to `gap` (0: none), in a
// colour the art never holds.
SBitmap ClickedLayer(const Art& art, SPoint seed, std::int32_t gap)
{
    PaintDesk desk(art);
    desk.undo.BeginStep("ペイント");
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = SColor(1, 2, 3);
    SPaintContext context = desk.Context();
    SError err = 0;
    FillRegionClosingGaps(context, seed, gap, true, err);
    EXPECT_EQ(err, 0u);
    return desk.cel.paint;
}

TEST(RegionLabels, EachRegionIsWhatTheWalkAndAFillClickAtItsSeedReach)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 60; ++round) {
        const std::int32_t w = 1 + std::int32_t(rng() % 30), h = 1 + std::int32_t(rng() % 20);
        const Art art = RandomCelArt(rng, w, h);
        SBitmap layer = LayerFromArt(art);
        SRegionLabels labels;
        ASSERT_EQ(labels.Build(layer), 0u);
        SNonBorderPixels inside;
        ASSERT_TRUE(inside.Attach(layer, w, h));
        for (std::int32_t l = 1; l <= labels.Count(); ++l) {
            const SPoint seed = labels.Region(l).seed;
            std::vector<char> walked(std::size_t(w * h), 0);
            auto mark = [&](std::int32_t y, std::int32_t x0, std::int32_t x1) {
                for (std::int32_t x = x0; x < x1; ++x)
                    walked[std::size_t(y * w + x)] = 1;
            };
            ASSERT_EQ(WalkRegion(inside, mark, seed), 0u);

            const SBitmap clicked = ClickedLayer(art, seed, 0);
            for (std::int32_t y = 0; y < h; ++y)
                for (std::int32_t x = 0; x < w; ++x) {
                    const bool inRegion = labels.At(x, y) == l;
                    ASSERT_EQ(walked[std::size_t(y * w + x)] != 0, inRegion) << "round " << round << " region " << l;
                    // The fill repaints what takes paint and passes over the odd values.
                    const std::uint32_t before = layer.Row32(y)[x];
                    const bool repainted = inRegion && cel_values::TakesPaint(before);
                    ASSERT_EQ(clicked.Row32(y)[x] != before, repainted)
                        << "round " << round << " region " << l << " at " << x << "," << y;
                }
        }
    }
}

TEST(RegionLabels, LabelRegionsTooLargeForOneWalk)
{
    // A comb: teeth one column wide joined along the top row, a hundred spans a row for 400 rows.
    const std::int32_t w = 201, h = 400;
    SBitmap layer;
    layer.Create(w, h, 32);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            layer.Row32(y)[x] = (y > 0 && x % 2 == 1) ? cel_values::BorderBlack : cel_values::Unpainted;
    SNonBorderPixels inside;
    ASSERT_TRUE(inside.Attach(layer, w, h));
    auto ignore = [](std::int32_t, std::int32_t, std::int32_t) {};
    ASSERT_EQ(ErrorIdentifier(WalkRegion(inside, ignore, {0, 0})), "buf_overflow");

    SRegionLabels labels;
    ASSERT_EQ(labels.Build(layer), 0u);
    ASSERT_EQ(labels.Count(), 1);
    EXPECT_EQ(labels.Region(1).area, w + (h - 1) * 101);
    EXPECT_EQ(labels.Region(1).bounds, (SRect{0, 0, w, h}));
    EXPECT_TRUE(labels.Neighbours(1).empty());
}

// With a gap, the labels are the gap-closing fill's shares: each region is what a fill click at its
// seed paints closing the same gaps, two regions a fill joins never share a label, and regions
// that meet across a seam are neighbours.
TEST(RegionLabels, WithAGapEachRegionIsWhatAGapClosingClickAtItsSeedPaints)
{
    std::mt19937 rng(1808);
    int split = 0;
    for (int round = 0; round < 40; ++round) {
        const std::int32_t w = 20 + std::int32_t(rng() % 30), h = 15 + std::int32_t(rng() % 20);
        const Art art = RandomCelArt(rng, w, h);
        const std::int32_t gap = 1 + std::int32_t(rng() % 6);
        SBitmap layer = LayerFromArt(art);
        SRegionLabels plain, labels;
        ASSERT_EQ(plain.Build(layer), 0u);
        ASSERT_EQ(labels.Build(layer, RegionNeighbourGap, gap), 0u);
        ASSERT_GE(labels.Count(), plain.Count());
        split += labels.Count() > plain.Count();
        const auto pairs = NeighbourPairs(labels, RegionNeighbourGap);
        for (std::int32_t l = 1; l <= labels.Count(); ++l) {
            const SBitmap clicked = ClickedLayer(art, labels.Region(l).seed, gap);
            std::set<std::int32_t> touching;
            for (std::int32_t y = 0; y < h; ++y)
                for (std::int32_t x = 0; x < w; ++x) {
                    const bool inRegion = labels.At(x, y) == l;
                    const std::uint32_t before = layer.Row32(y)[x];
                    ASSERT_EQ(clicked.Row32(y)[x] != before, inRegion && cel_values::TakesPaint(before))
                        << "round " << round << " gap " << gap << " region " << l << " at " << x << "," << y;
                    if (inRegion) {
                        EXPECT_EQ(plain.At(x, y), plain.At(labels.Region(l).seed.x, labels.Region(l).seed.y));
                    }
                    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}})
                        if (inRegion && x + dx < w && y + dy < h && labels.At(x + dx, y + dy) > 0 &&
                            labels.At(x + dx, y + dy) != l)
                            touching.insert(labels.At(x + dx, y + dy));
                }
            const auto n = labels.Neighbours(l);
            for (const std::int32_t other : touching)
                EXPECT_TRUE(std::find(n.begin(), n.end(), other) != n.end())
                    << "round " << round << ": " << l << " and " << other << " meet at a seam";
        }
        // Across lines, the neighbours are those of the plain labels' rule.
        for (const auto& [a, b] : pairs) {
            const auto n = labels.Neighbours(a);
            EXPECT_TRUE(std::find(n.begin(), n.end(), b) != n.end()) << "round " << round;
        }
    }
    EXPECT_GT(split, 20);  // most cels have openings the gap closes
}

TEST(RegionLabels, AGapOfNoneLabelsAsWithoutAndOneOutOfRangeIsRefused)
{
    std::mt19937 rng(4);
    const Art art = RandomCelArt(rng, 40, 30);
    SBitmap layer = LayerFromArt(art);
    SRegionLabels plain, none;
    ASSERT_EQ(plain.Build(layer), 0u);
    ASSERT_EQ(none.Build(layer, RegionNeighbourGap, 0), 0u);
    ASSERT_EQ(none.Count(), plain.Count());
    for (std::int32_t y = 0; y < 30; ++y)
        for (std::int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(none.At(x, y), plain.At(x, y));
    for (const std::int32_t gap : {-1, LargestFillGap + 1}) {
        SRegionLabels labels;
        EXPECT_EQ(ErrorIdentifier(labels.Build(layer, RegionNeighbourGap, gap)), "domain");
        EXPECT_EQ(labels.Count(), 0);
    }
}

}  // namespace
