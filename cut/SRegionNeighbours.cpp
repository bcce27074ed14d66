// The neighbours of the regions: along every row and every column, a region's pixel followed by
// 1..gap border pixels and then another region's pixel makes the two neighbours, and so do two
// pixels side by side in regions split at a gap. The rows' runs
// give the crossings along the rows and the border pixels below each run; the label map gives
// what lies beyond them. The same pair turns up along the whole length of the line between them, so each
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

void SRegionLabels::FindNeighbours(const std::vector<Run>& runs, const std::vector<std::int32_t>& rowStart,
                                   const std::vector<std::int32_t>& labelOfRun, std::int32_t gap)
{
    std::vector<std::uint64_t> pairs;
    for (std::int32_t y = 0; y < height_; ++y) {
        const std::int32_t first = rowStart[std::size_t(y)], end = rowStart[std::size_t(y + 1)];
        // Along the row: the runs are maximal, so what lies between two runs is all border.
        for (std::int32_t i = first; i + 1 < end; ++i) {
            const std::int32_t a = labelOfRun[std::size_t(i)], b = labelOfRun[std::size_t(i + 1)];
            if (runs[std::size_t(i + 1)].x0 - runs[std::size_t(i)].x1 <= gap && a != b)
                Keep(pairs, a, b);
        }
        // Down the columns: only the columns of a run with a border below it (those the next row's
        // runs leave uncovered) can cross a line, so only those are looked down.
        if (y + 1 >= height_)
            continue;
        std::int32_t below = end;
        const std::int32_t belowEnd = rowStart[std::size_t(y + 2)];
        for (std::int32_t i = first; i < end; ++i) {
            const Run& run = runs[std::size_t(i)];
            const std::int32_t label = labelOfRun[std::size_t(i)];
            for (std::int32_t x = run.x0; x < run.x1;) {
                while (below < belowEnd && runs[std::size_t(below)].x1 <= x)
                    ++below;
                const bool covered = below < belowEnd && runs[std::size_t(below)].x0 <= x;
                if (covered) {
                    // Regions split at gaps touch across their seams with no border between.
                    if (const std::int32_t other = labelOfRun[std::size_t(below)]; other != label)
                        Keep(pairs, label, other);
                    x = std::min(run.x1, runs[std::size_t(below)].x1);
                    continue;
                }
                const std::int32_t borderEnd = std::min(run.x1, below < belowEnd ? runs[std::size_t(below)].x0 : width_);
                for (; x < borderEnd; ++x)
                    for (std::int32_t k = y + 2; k < height_ && k <= y + gap + 1; ++k)
                        if (const std::int32_t other = Row(k)[x]; other != 0) {
                            if (other != label)
                                Keep(pairs, label, other);
                            break;
                        }
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
