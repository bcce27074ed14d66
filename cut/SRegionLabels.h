// The regions of a paint layer: the areas a click of the paint tool's fill paints, that is the
// 4-connected groups of its non-border pixels (cel_values::IsBorder). Every pixel gets a label:
// 0 on a border, 1..Count() for the regions, numbered in the order of their first pixel in row
// order. Unlike the fill's walk, the labelling has no capacity: every region is labelled whole,
// however large, so work across cels can compare regions a single fill could not reach in one go.
#pragma once

#include "SBitmap.h"
#include "SError.h"
#include "SGapSplit.h"
#include "SGeometry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// How far apart (in border pixels along a row or a column) two regions may lie and still be
// neighbours: the width of the thin lines a cel is drawn with.
inline constexpr std::int32_t RegionNeighbourGap = 2;

struct SRegionFacts
{
    std::int32_t area = 0;  // pixels
    ulib::SRect bounds;
    // The sums of the pixels' columns and rows; the centroid is their mean, in pixel indices.
    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    // The sums of x*x, y*y and x*y: with the centroid they give the region's spread (Spread*).
    std::int64_t sumXX = 0;
    std::int64_t sumYY = 0;
    std::int64_t sumXY = 0;
    // The first pixel in row order: a fill click there paints exactly the region (closing the
    // labels' gaps, when they close any; the seed is then a pixel of the region's core).
    ulib::SPoint seed;
    // The paint value at the seed (cel_values::Unpainted where nothing is painted). A fill paints a
    // region in one colour, so for a painted cel it is the region's colour.
    std::uint32_t colour = 0;
    // Whether every pixel of the region holds `colour` (not so where a brush or a picture painted).
    bool uniform = true;

    double CentroidX() const { return area ? double(sumX) / area : 0.0; }
    double CentroidY() const { return area ? double(sumY) / area : 0.0; }
    // The covariance of the pixels' positions (0 for an empty region).
    double SpreadXX() const { return area ? double(sumXX) / area - CentroidX() * CentroidX() : 0.0; }
    double SpreadYY() const { return area ? double(sumYY) / area - CentroidY() * CentroidY() : 0.0; }
    double SpreadXY() const { return area ? double(sumXY) / area - CentroidX() * CentroidY() : 0.0; }
};

class SRegionLabels
{
public:
    // Labels a 32-bit paint layer and describes its regions; neighbourGap (1..16) is how many border
    // pixels two neighbouring regions may have between them (see Neighbours). With closeGap
    // (1..LargestFillGap; 0 none) the regions are the areas the gap-closing fill paints at that
    // size (SGapSplit.h): a region is split where it squeezes through openings that narrow, each
    // share a region of its own, whose seed is then a pixel of its core. Errors: "domain" (the
    // layer is not 32-bit or a gap is out of range) and "memory_temp"; either leaves the labels
    // empty.
    ulib::SError Build(const ulib::SBitmap& paint, std::int32_t neighbourGap = RegionNeighbourGap,
                       std::int32_t closeGap = 0);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Count() const { return std::int32_t(regions_.size()); }

    // The pixel's region; 0 for a border pixel, or -l after SpreadIntoBorders when region l is the
    // nearest one.
    std::int32_t At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
    const std::int32_t* Row(std::int32_t y) const { return labels_.get() + std::size_t(y) * std::size_t(width_); }

    // label is 1..Count().
    const SRegionFacts& Region(std::int32_t label) const { return regions_[std::size_t(label - 1)]; }

    // The regions that some row or column crosses into from this one over 1..neighbourGap border
    // pixels and nothing else, in ascending order. Regions that meet only at a corner of a border,
    // or across a wider line, are not neighbours. The relation is symmetric and never reflexive.
    std::span<const std::int32_t> Neighbours(std::int32_t label) const
    {
        return {neighbours_.data() + neighbourStart_[std::size_t(label - 1)],
                neighbours_.data() + neighbourStart_[std::size_t(label)]};
    }

    // Marks every border pixel within `reach` pixels (1..15, a chamfer distance) of a region with
    // the negated label of the nearest one, so work that lands on a line a pixel or two off still
    // knows which region is near. Farther border pixels stay 0; regions, facts and neighbours stay.
    // Error: "memory_temp" (nothing marked).
    ulib::SError SpreadIntoBorders(std::int32_t reach);

private:
    struct Run
    {
        std::int32_t x0, x1;  // the columns [x0, x1) of one row's non-border pixels
    };

    void Clear();
    // False when the row table of the scans cannot be allocated.
    bool FindRuns(const ulib::SBitmap& paint, std::vector<Run>& runs, std::vector<std::int32_t>& rowStart) const;
    // Cuts the runs where the shares of the layer's split at `gap` meet, giving each run's share
    // (its core, or 0 in a region without one). False when the split's maps cannot be had.
    bool SplitAtGaps(std::vector<Run>& runs, std::vector<std::int32_t>& rowStart, std::int32_t gap, SGapSplit& split,
                     std::vector<std::int32_t>& share) const;
    void WriteLabels(const ulib::SBitmap& paint, const std::vector<Run>& runs, const std::vector<std::int32_t>& rowStart,
                     const std::vector<std::int32_t>& labelOfRun);
    // SRegionNeighbours.cpp
    void FindNeighbours(const std::vector<Run>& runs, const std::vector<std::int32_t>& rowStart,
                        const std::vector<std::int32_t>& labelOfRun, std::int32_t gap);

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::unique_ptr<std::int32_t[]> labels_;
    std::size_t labelsSize_ = 0;  // the pixels labels_ holds, kept from one Build to the next
    std::vector<SRegionFacts> regions_;
    std::vector<std::int32_t> neighbourStart_;  // Count() + 1 offsets into neighbours_
    std::vector<std::int32_t> neighbours_;
};
