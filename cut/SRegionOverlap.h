// Where the pixels of each region of a target cel land in a source cel under a mapping: for every
// target region, how many of its pixels fall in each source region, on the source's borders, or
// outside the source. This is what the carry's decisions are read from.
#pragma once

#include "SAbort.h"
#include "SCelMapping.h"
#include "SError.h"
#include "SRegionLabels.h"

#include <cstdint>
#include <span>
#include <vector>

struct SOverlap
{
    // A source label; -l for a pixel on a line next to region l (SRegionLabels::SpreadIntoBorders),
    // 0 for one elsewhere on the borders.
    std::int32_t source = 0;
    std::int32_t pixels = 0;  // target pixels
};

class SRegionOverlap
{
public:
    // Maps every pixel of every target region through the mapping; with a step above 1 only every
    // step-th pixel of every step-th row, each counting for step * step (a rough table, sooner).
    // Errors: "abort" (polled every few rows) and "memory_temp"; either leaves the table empty.
    ulib::SError Build(const SRegionLabels& source, const SRegionLabels& target, const SCelMapping& mapping,
                       const ulib::SAbort* abort = nullptr, std::int32_t step = 1);

    // The overlaps of a target region (label 1..Count of the target), most pixels first, ties by
    // source label.
    std::span<const SOverlap> Of(std::int32_t target) const { return overlaps_[std::size_t(target - 1)]; }
    // The target region's pixels that land outside the source cel.
    std::int32_t Outside(std::int32_t target) const { return outside_[std::size_t(target - 1)]; }
    // The pixels of the target region that land in source regions (not on borders, not outside).
    std::int32_t Landed(std::int32_t target) const;

private:
    std::vector<std::vector<SOverlap>> overlaps_;
    std::vector<std::int32_t> outside_;
};
