// The carry's decision for every region of the target cel: paint it with a source colour, keep it
// as it is, or leave it unpainted for the painter because the source does not say for sure. The
// rules never guess: a region whose pixels land in regions of several colours, mostly on lines or
// outside, in a source region that does not fit its size and place, or among neighbours that were
// not its neighbours in the source, is left.
#pragma once

#include "SCelMapping.h"
#include "SRegionLabels.h"
#include "SRegionOverlap.h"

#include <cstdint>
#include <vector>

enum class SCarryVerdict : std::uint8_t {
    Keep,   // painted already, or unpainted in the source too: nothing to do
    Paint,  // paint with `colour`
    Left,   // unpainted, and the source does not say which colour it takes
};

struct SRegionDecision
{
    SCarryVerdict verdict = SCarryVerdict::Keep;
    std::uint32_t colour = 0;  // a paint value, for Paint
};

struct SMatchCels
{
    const SRegionLabels& source;
    const SRegionLabels& target;
    const SRegionOverlap& overlap;
    double scale = 1.0;  // source pixels per target pixel along a side
};

// The region at pixel (1, 1): the background the gundress fill treats as outside; 0 when that pixel
// is a border or outside the cel.
std::int32_t BackgroundRegion(const SRegionLabels& labels);

// A decision per target region, indexed by label - 1. The target's background is kept unpainted
// when the source's is; a painted one is matched as any region is.
std::vector<SRegionDecision> DecideRegions(const SMatchCels& cels);

// The pairs of regions that match one to one beyond doubt, as centroid correspondences (target to
// source, weighted by size) for fitting the local movement.
std::vector<SCorrespondence> SureMatches(const SMatchCels& cels);
