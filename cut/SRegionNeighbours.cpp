// The neighbours of the regions, found on the label map: along every row and every column, a
// region's pixel followed by 1..gap border pixels and then another region's pixel makes the two
// neighbours. The same pair turns up along the whole length of the line between them, so each
// pair is kept once as soon as it repeats the one before, then sorted and made unique.
#include "SRegionLabels.h"

#include <algorithm>

namespace {

// A pair of labels, the smaller one high, so sorting groups the pairs by their smaller label.
std::uint64_t PairOf(std::int32_t a, std::int32_t b)
{
    const auto lo = std::uint32_t(std::min(a, b)), hi = std::uint32_t(std::max(a, b));
    return (std::uint64_t(lo) << 32) | hi;
}

void Keep(std::vector<std::uint64_t>& pairs, std::int32_t a, std::int32_t b)
{
    const std::uint64_t pair = PairOf(a, b);
    if (pairs.empty() || pairs.back() != pair)
        pairs.push_back(pair);
}

}  // namespace

void SRegionLabels::FindNeighbours(std::int32_t gap)
{
    std::vector<std::uint64_t> pairs;
    for (std::int32_t y = 0; y < height_; ++y) {
        // Along the row: a region pixel with a border after it.
        const std::int32_t* row = Row(y);
        for (std::int32_t x = 0; x + 2 < width_; ++x) {
            if (row[x] == 0 || row[x + 1] != 0)
                continue;
            for (std::int32_t k = x + 2; k < width_ && k <= x + gap + 1; ++k)
                if (row[k] != 0) {
                    if (row[k] != row[x])
                        Keep(pairs, row[x], row[k]);
                    break;
                }
        }
        // Down the columns: a region pixel of this row with a border below it. Row by row, so the
        // label map is read in the order it lies in memory.
        if (y + 2 >= height_)
            continue;
        const std::int32_t* below = Row(y + 1);
        for (std::int32_t x = 0; x < width_; ++x) {
            if (row[x] == 0 || below[x] != 0)
                continue;
            for (std::int32_t k = y + 2; k < height_ && k <= y + gap + 1; ++k)
                if (const std::int32_t other = Row(k)[x]; other != 0) {
                    if (other != row[x])
                        Keep(pairs, row[x], other);
                    break;
                }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());

    // Each pair lists each region under the other. In sorted order a region's smaller neighbours
    // (pairs where it is the larger label) come before its larger ones, so every list ascends.
    neighbourStart_.assign(regions_.size() + 1, 0);
    for (const std::uint64_t pair : pairs) {
        ++neighbourStart_[std::size_t(pair >> 32)];
        ++neighbourStart_[std::size_t(std::uint32_t(pair))];
    }
    // Labels are 1-based: the count of label L sits at L; shift it to L - 1 while summing.
    std::int32_t sum = 0;
    for (std::size_t i = 0; i + 1 < neighbourStart_.size(); ++i) {
        const std::int32_t count = neighbourStart_[i + 1];
        neighbourStart_[i] = sum;
        sum += count;
    }
    neighbourStart_.back() = sum;
    neighbours_.resize(std::size_t(sum));
    std::vector<std::int32_t> next(neighbourStart_.begin(), neighbourStart_.end() - 1);
    for (const std::uint64_t pair : pairs) {
        const auto lo = std::int32_t(pair >> 32), hi = std::int32_t(std::uint32_t(pair));
        neighbours_[std::size_t(next[std::size_t(lo - 1)]++)] = hi;
        neighbours_[std::size_t(next[std::size_t(hi - 1)]++)] = lo;
    }
}
