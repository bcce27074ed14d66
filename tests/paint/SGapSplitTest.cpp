// The split against its definition on small random cels: a core is a group of pixels whose
// chamfer distance to every border is at least the reach (measured here by brute force over the
// borders), and every pixel belongs to a core joined to it by the widest path (found from each core
// alone).
#include "SChamferDistance.h"
#include "SGapSplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <queue>
#include <random>
#include <set>
#include <vector>

using namespace ulib;

namespace {

constexpr std::int32_t W = 30, H = 22;

// Random strokes (rows and columns two pixels wide) with gaps, and a sprinkle of specks.
std::vector<bool> RandomBorders(std::mt19937& rng)
{
    std::vector<bool> border(std::size_t(W * H), false);
    for (int stroke = 0; stroke < 5; ++stroke) {
        const bool across = rng() % 2;
        const std::int32_t at = std::int32_t(rng() % (across ? H : W));
        const std::int32_t from = std::int32_t(rng() % 10), to = std::int32_t(rng() % 10) + (across ? W : H) - 10;
        for (std::int32_t t = from; t < to; ++t) {
            if (rng() % 9 == 0)
                t += std::int32_t(rng() % 5);  // an opening
            for (std::int32_t k = 0; k < 2 && t < to; ++k) {
                const std::int32_t x = across ? t : std::min(at + k, W - 1), y = across ? std::min(at + k, H - 1) : t;
                border[std::size_t(y * W + x)] = true;
            }
        }
    }
    for (bool&& b : border)
        b = b || rng() % 60 == 0;
    return border;
}

std::vector<SRowSpan> SpansOf(const std::vector<bool>& border)
{
    std::vector<SRowSpan> spans;
    for (std::int32_t y = 0; y < H; ++y)
        for (std::int32_t x = 0; x < W;) {
            if (border[std::size_t(y * W + x)]) {
                ++x;
                continue;
            }
            const std::int32_t x0 = x;
            while (x < W && !border[std::size_t(y * W + x)])
                ++x;
            spans.push_back({y, x0, x});
        }
    return spans;
}

std::int32_t BruteDistance(const std::vector<bool>& border, std::int32_t x, std::int32_t y)
{
    std::int32_t best = 255;
    for (std::int32_t by = 0; by < H; ++by)
        for (std::int32_t bx = 0; bx < W; ++bx)
            if (border[std::size_t(by * W + bx)]) {
                const std::int32_t dx = std::abs(bx - x), dy = std::abs(by - y);
                best = std::min(best, ChamferStraight * std::max(dx, dy) + (ChamferDiagonal - ChamferStraight) * std::min(dx, dy));
            }
    return best;
}

// For each pixel, the widest path from the pixels of `from` along the set: the greatest, over the
// paths, of the least distance to the borders of a pixel on the path outside `from` (-1: not reached;
// `reach` on `from`).
std::vector<std::int32_t> WidestFrom(const std::vector<bool>& border, const std::vector<std::int32_t>& distance,
                                     const std::vector<std::size_t>& from, std::int32_t reach)
{
    std::vector<std::int32_t> widest(border.size(), -1);
    std::priority_queue<std::pair<std::int32_t, std::size_t>> queue;
    for (const std::size_t i : from)
        queue.push({widest[i] = reach, i});
    while (!queue.empty()) {
        const auto [width, i] = queue.top();
        queue.pop();
        if (width < widest[i])
            continue;
        const std::int32_t x = std::int32_t(i % W), y = std::int32_t(i / W);
        const std::pair<std::int32_t, std::int32_t> next[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& [nx, ny] : next) {
            const std::size_t j = std::size_t(ny * W + nx);
            if (nx < 0 || ny < 0 || nx >= W || ny >= H || border[j])
                continue;
            const std::int32_t through = std::min(width, distance[j]);
            if (through > widest[j])
                queue.push({widest[j] = through, j});
        }
    }
    return widest;
}

}  // namespace

TEST(GapSplit, OwnersAreTheCoresOfTheWidestPathsOnRandomCels)
{
    std::mt19937 rng(1808);
    for (int round = 0; round < 60; ++round) {
        const std::vector<bool> border = RandomBorders(rng);
        const std::int32_t gap = 1 + std::int32_t(rng() % 6);
        SGapSplit split;
        ASSERT_TRUE(split.Split(SpansOf(border), W, H, gap));
        const std::int32_t reach = (ChamferStraight * gap + 1) / 2 + ChamferStraight;

        std::map<std::int32_t, std::vector<std::size_t>> cores;
        std::vector<std::int32_t> distance(border.size(), 0);
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x) {
                const std::size_t i = std::size_t(y * W + x);
                if (border[i]) {
                    EXPECT_EQ(split.Owner({x, y}), 0);
                    continue;
                }
                distance[i] = BruteDistance(border, x, y);
                if (distance[i] >= reach)
                    cores[split.Owner({x, y})].push_back(i);
            }
        ASSERT_EQ(std::int32_t(cores.size()), split.Cores()) << "round " << round;
        std::map<std::int32_t, std::vector<std::int32_t>> widest;
        for (const auto& [owner, pixels] : cores) {
            ASSERT_GT(owner, 0) << "round " << round;
            widest[owner] = WidestFrom(border, distance, pixels, reach);
            // A core is one group of core pixels connected through their sides or corners, and
            // every core pixel touching it belongs to it.
            std::vector<bool> reached(border.size(), false);
            std::vector<std::size_t> stack{pixels.front()};
            reached[pixels.front()] = true;
            while (!stack.empty()) {
                const std::size_t i = stack.back();
                stack.pop_back();
                const std::int32_t x = std::int32_t(i % W), y = std::int32_t(i / W);
                for (std::int32_t ny = std::max(0, y - 1); ny <= std::min(H - 1, y + 1); ++ny)
                    for (std::int32_t nx = std::max(0, x - 1); nx <= std::min(W - 1, x + 1); ++nx) {
                        const std::size_t j = std::size_t(ny * W + nx);
                        if (!border[j] && distance[j] >= reach && !reached[j]) {
                            EXPECT_EQ(split.Owner({nx, ny}), owner) << "round " << round << " at " << nx << "," << ny;
                            reached[j] = true;
                            stack.push_back(j);
                        }
                    }
            }
            for (const std::size_t i : pixels)
                EXPECT_TRUE(reached[i]) << "round " << round << ": core " << owner << " is not connected";
        }
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x) {
                const std::size_t i = std::size_t(y * W + x);
                if (border[i])
                    continue;
                std::int32_t best = -1;
                for (const auto& [owner, w] : widest)
                    best = std::max(best, w[i]);
                const std::int32_t owner = split.Owner({x, y});
                if (best < 0)
                    EXPECT_EQ(owner, 0) << "round " << round << " at " << x << "," << y;
                else
                    EXPECT_EQ(widest[owner][i], best) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(GapSplit, SeamsLieWhereSharesMeet)
{
    std::mt19937 rng(2712);
    for (int round = 0; round < 30; ++round) {
        const std::vector<bool> border = RandomBorders(rng);
        SGapSplit split;
        ASSERT_TRUE(split.Split(SpansOf(border), W, H, 1 + std::int32_t(rng() % 6)));
        std::set<std::pair<std::int32_t, std::int32_t>> seams;
        split.ForEachSeamPixel([&](std::int32_t x, std::int32_t y) { seams.insert({x, y}); });
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x) {
                if (border[std::size_t(y * W + x)])
                    continue;
                bool meets = false;
                const std::pair<std::int32_t, std::int32_t> next[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto& [nx, ny] : next)
                    meets = meets || (nx >= 0 && ny >= 0 && nx < W && ny < H && !border[std::size_t(ny * W + nx)] &&
                                      split.Owner({nx, ny}) != split.Owner({x, y}));
                EXPECT_EQ(seams.count({x, y}) == 1, meets) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(GapSplit, AnEmptySetHasNoCores)
{
    SGapSplit split;
    ASSERT_TRUE(split.Split({}, W, H, 4));
    EXPECT_EQ(split.Cores(), 0);
    EXPECT_EQ(split.Owner({3, 3}), 0);
}
