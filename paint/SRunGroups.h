// The connected pieces of a set of pixels given as row runs: runs of neighbouring rows that share
// a column (or, with corners, touch at a corner) and carry the same key belong to one group.
#pragma once

#include <cstdint>
#include <vector>

struct SKeyedRun
{
    std::int32_t y, x0, x1;  // the columns [x0, x1) of row y
    std::uint32_t key;       // runs join only with runs of the same key
};

// Gives each run its group, numbered from 0 in the order of the groups' first runs; returns the
// number of groups. The runs come row after row, each row's left to right, not overlapping.
std::int32_t GroupRuns(const std::vector<SKeyedRun>& runs, bool corners, std::vector<std::int32_t>& group);
