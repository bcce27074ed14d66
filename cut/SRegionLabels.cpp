// The labelling groups the rows' runs of non-border pixels (SRunGroups.h: runs of neighbouring rows
// that share a column), numbered in the order of their first pixels, then writes the label map.
#include "SRegionLabels.h"

#include "SGapSplit.h"
#include "SNonBorderPixels.h"
#include "SRunGroups.h"

#include <algorithm>
#include <new>

using namespace ulib;

namespace {

// 0*0 + 1*1 + ... + (n-1)*(n-1).
std::int64_t SquaresBelow(std::int64_t n) { return (n - 1) * n * (2 * n - 1) / 6; }

}  // namespace

void SRegionLabels::Clear()
{
    width_ = height_ = 0;
    regions_.clear();
    neighbourStart_.clear();
    neighbours_.clear();
}

bool SRegionLabels::FindRuns(const SBitmap& paint, std::vector<Run>& runs, std::vector<std::int32_t>& rowStart) const
{
    // The fill's own inside rule and row scans, read only here.
    SNonBorderPixels inside;
    if (!inside.Attach(const_cast<SBitmap&>(paint), width_, height_))
        return false;
    for (std::int32_t y = 0; y < height_; ++y) {
        rowStart[std::size_t(y)] = std::int32_t(runs.size());
        for (std::int32_t x = 0; (x = inside.NextInside(y, x, width_)) < width_;) {
            const std::int32_t end = inside.NextOutside(y, x + 1, width_);
            runs.push_back({x, end});
            x = end;
        }
    }
    rowStart[std::size_t(height_)] = std::int32_t(runs.size());
    return true;
}

void SRegionLabels::WriteLabels(const SBitmap& paint, const std::vector<Run>& runs,
                                const std::vector<std::int32_t>& rowStart, const std::vector<std::int32_t>& labelOfRun)
{
    for (std::int32_t y = 0; y < height_; ++y) {
        std::int32_t* row = labels_.get() + std::size_t(y) * std::size_t(width_);
        const std::uint32_t* pixels = paint.Row32(y);
        std::int32_t x = 0;
        for (std::int32_t i = rowStart[std::size_t(y)]; i < rowStart[std::size_t(y + 1)]; ++i) {
            const Run& run = runs[std::size_t(i)];
            const std::int32_t label = labelOfRun[std::size_t(i)];
            for (; x < run.x0; ++x)
                row[x] = 0;
            for (; x < run.x1; ++x)
                row[x] = label;
            SRegionFacts& r = regions_[std::size_t(label - 1)];
            const std::int32_t length = run.x1 - run.x0;
            if (r.area == 0) {
                r.seed = {run.x0, y};
                r.colour = pixels[run.x0];
            }
            if (r.uniform)
                r.uniform = std::all_of(pixels + run.x0, pixels + run.x1, [&r](std::uint32_t v) { return v == r.colour; });
            r.area += length;
            // The sums over the columns x0..x1-1 in closed form.
            const std::int64_t sumX = std::int64_t(run.x0 + run.x1 - 1) * length / 2;  // always even
            r.sumX += sumX;
            r.sumY += std::int64_t(y) * length;
            r.sumXX += SquaresBelow(run.x1) - SquaresBelow(run.x0);
            r.sumYY += std::int64_t(y) * y * length;
            r.sumXY += std::int64_t(y) * sumX;
            r.bounds = r.bounds.Union({run.x0, y, run.x1, y + 1});
        }
        for (; x < width_; ++x)
            row[x] = 0;
    }
}

SError SRegionLabels::Build(const SBitmap& paint, std::int32_t neighbourGap, std::int32_t closeGap)
{
    Clear();
    if (paint.Format() != 32 || neighbourGap < 1 || neighbourGap > 16 || closeGap < 0 || closeGap > LargestFillGap)
        return ErrorFromIdentifier("domain");
    width_ = paint.Width();
    height_ = paint.Height();
    // Labelling cel after cel of one cut reuses the map: a fresh one costs a page fault per page.
    const std::size_t pixels = std::size_t(width_) * std::size_t(height_);
    if (pixels != labelsSize_ || !labels_) {
        labels_.reset(new (std::nothrow) std::int32_t[pixels]);
        labelsSize_ = labels_ ? pixels : 0;
    }
    if (!labels_) {
        Clear();
        return ErrorFromIdentifier("memory_temp");
    }
    try {
        std::vector<Run> runs;
        std::vector<std::int32_t> rowStart(std::size_t(height_) + 1);
        std::vector<std::int32_t> label;  // each run's
        runs.reserve(std::size_t(height_) * 8);
        if (!FindRuns(paint, runs, rowStart)) {
            Clear();
            return ErrorFromIdentifier("memory_temp");
        }
        std::vector<std::int32_t> share;  // each run's core when gaps are closed
        SGapSplit split;
        if (closeGap > 0 && !SplitAtGaps(runs, rowStart, closeGap, split, share)) {
            Clear();
            return ErrorFromIdentifier("memory_temp");
        }
        std::vector<SKeyedRun> keyed;
        keyed.reserve(runs.size());
        for (std::int32_t y = 0; y < height_; ++y)
            for (std::int32_t i = rowStart[std::size_t(y)]; i < rowStart[std::size_t(y + 1)]; ++i)
                keyed.push_back({y, runs[std::size_t(i)].x0, runs[std::size_t(i)].x1,
                                 share.empty() ? 0u : std::uint32_t(share[std::size_t(i)])});
        const std::int32_t count = GroupRuns(keyed, false, label);
        for (std::int32_t& l : label)
            ++l;
        regions_.resize(std::size_t(count));
        WriteLabels(paint, runs, rowStart, label);
        // A share's first pixel may lie on a seam, which the fill's own split can give either
        // side: its core's first pixel is the share's whichever way the ties fall.
        for (std::size_t i = 0; i < share.size(); ++i)
            if (share[i] > 0)
                regions_[std::size_t(label[i] - 1)].seed = split.CoreSeed(share[i]);
        FindNeighbours(runs, rowStart, label, neighbourGap);
    } catch (const std::bad_alloc&) {
        Clear();
        return ErrorFromIdentifier("memory_temp");
    }
    return 0;
}

bool SRegionLabels::SplitAtGaps(std::vector<Run>& runs, std::vector<std::int32_t>& rowStart, std::int32_t gap,
                                SGapSplit& split, std::vector<std::int32_t>& share) const
{
    std::vector<SRowSpan> spans;
    spans.reserve(runs.size());
    for (std::int32_t y = 0; y < height_; ++y)
        for (std::int32_t i = rowStart[std::size_t(y)]; i < rowStart[std::size_t(y + 1)]; ++i)
            spans.push_back({y, runs[std::size_t(i)].x0, runs[std::size_t(i)].x1});
    if (!split.Split(std::move(spans), width_, height_, gap))
        return false;
    // The runs again, cut where the share changes; the spans are the runs in order.
    runs.clear();
    std::int32_t row = -1;
    split.ForEachShareRun([&](std::int32_t y, std::int32_t x0, std::int32_t x1, std::int32_t owner) {
        while (row < y)
            rowStart[std::size_t(++row)] = std::int32_t(runs.size());
        runs.push_back({x0, x1});
        share.push_back(owner);
    });
    while (row < height_)
        rowStart[std::size_t(++row)] = std::int32_t(runs.size());
    return true;
}
