// Spreading region labels into the borders: a two-pass chamfer distance (3 along a row or column,
// 4 across a corner) over the border pixels, carrying the label of the region each distance came
// from. The forward pass looks left and up, the backward pass right and down.
#include "SRegionLabels.h"

#include <new>

using namespace ulib;

namespace {

constexpr std::uint8_t Straight = 3;
constexpr std::uint8_t Diagonal = 4;
constexpr std::uint8_t Far = 255;

}  // namespace

SError SRegionLabels::SpreadIntoBorders(std::int32_t reach)
{
    if (reach < 1 || reach > 15 || !labels_)
        return reach < 1 || reach > 15 ? ErrorFromIdentifier("domain") : 0;
    const std::int32_t w = width_, h = height_;
    std::unique_ptr<std::uint8_t[]> distance(new (std::nothrow) std::uint8_t[std::size_t(w) * std::size_t(h)]);
    if (!distance)
        return ErrorFromIdentifier("memory_temp");
    const std::uint8_t limit = std::uint8_t(reach * Straight);
    std::int32_t* labels = labels_.get();
    std::uint8_t* dist = distance.get();
    auto at = [w](std::int32_t x, std::int32_t y) { return std::size_t(y) * std::size_t(w) + std::size_t(x); };
    // Takes the neighbour's label when it comes from closer than what the pixel has.
    auto offer = [&](std::size_t here, std::int32_t x, std::int32_t y, std::uint8_t step) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        const std::size_t there = at(x, y);
        if (dist[there] == Far)
            return;
        const std::int32_t d = dist[there] + step;
        if (d < dist[here] && d <= limit) {
            dist[here] = std::uint8_t(d);
            labels[here] = -std::abs(labels[there]);
        }
    };
    for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h); ++i)
        dist[i] = labels[i] > 0 ? 0 : Far;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const std::size_t here = at(x, y);
            if (dist[here] == 0)
                continue;
            offer(here, x - 1, y, Straight);
            offer(here, x - 1, y - 1, Diagonal);
            offer(here, x, y - 1, Straight);
            offer(here, x + 1, y - 1, Diagonal);
        }
    for (std::int32_t y = h - 1; y >= 0; --y)
        for (std::int32_t x = w - 1; x >= 0; --x) {
            const std::size_t here = at(x, y);
            if (dist[here] == 0)
                continue;
            offer(here, x + 1, y, Straight);
            offer(here, x + 1, y + 1, Diagonal);
            offer(here, x, y + 1, Straight);
            offer(here, x - 1, y + 1, Diagonal);
        }
    return 0;
}
