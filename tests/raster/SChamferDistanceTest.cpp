// The chamfer distances against the metric they stand for: from any source, 4 per diagonal step
// and 3 per straight one, the nearest source winning, capped at 255.
#include "SChamferDistance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

using namespace ulib;

TEST(ChamferDistance, EveryPixelHoldsTheNearestSourceInTheThreeFourMetric)
{
    std::mt19937 rng(34);
    for (int round = 0; round < 30; ++round) {
        const std::int32_t w = 1 + std::int32_t(rng() % 90), h = 1 + std::int32_t(rng() % 70);
        const int share = int(rng() % 4);  // no source at all in some rounds
        std::vector<std::uint8_t> map(std::size_t(w) * std::size_t(h));
        std::vector<std::pair<std::int32_t, std::int32_t>> sources;
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const bool source = int(rng() % 200) < share;
                map[std::size_t(y) * std::size_t(w) + std::size_t(x)] = source ? 0 : 255;
                if (source)
                    sources.push_back({x, y});
            }
        ChamferDistances(map.data(), w, h);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                std::int32_t want = 255;
                for (const auto& [sx, sy] : sources) {
                    const std::int32_t dx = std::abs(x - sx), dy = std::abs(y - sy);
                    want = std::min(want, ChamferDiagonal * std::min(dx, dy) + ChamferStraight * std::abs(dx - dy));
                }
                ASSERT_EQ(map[std::size_t(y) * std::size_t(w) + std::size_t(x)], want)
                    << "round " << round << " at " << x << "," << y;
            }
    }
}
