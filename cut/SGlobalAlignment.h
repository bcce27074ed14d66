// How the drawing as a whole moved from one cel of a cut to the next: a similarity transform found
// from the regions the two cels share. Pairs of large regions alike in area and shape propose
// transforms; the one under which most regions land on a partner of the right size wins, and is
// refined by least squares over those regions.
#pragma once

#include "SCelMapping.h"
#include "SRegionLabels.h"

#include <cstdint>

// The limits of the movement searched for: wider than a cut's neighbouring cels move, so a real
// movement is never cut off, and narrow enough that unrelated drawings do not fit by chance.
inline constexpr double AlignmentLargestAngle = 0.21;  // radians, about 12 degrees
inline constexpr double AlignmentSmallestScale = 0.8;
inline constexpr double AlignmentLargestScale = 1.25;

// The similarity that maps target pixels to source pixels. Regions named by skipSource and
// skipTarget (0 for none; the backgrounds) take no part. The identity when the cels have too few
// regions alike to say.
SSimilarity EstimateSimilarity(const SRegionLabels& source, const SRegionLabels& target, std::int32_t skipSource,
                               std::int32_t skipTarget);
