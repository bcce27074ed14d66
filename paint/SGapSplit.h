// How a set of pixels (a fill's region, or every non-border pixel of a cel) splits where it
// squeezes through openings of the borders no wider than a gap size. The pixels farther than half
// the size from every pixel outside the set form cores (an opening that narrow has none), and every
// pixel of the set belongs to the core it is joined to by the widest path, the nearest along the set
// among equally wide ones: a share reaches into corners and up to the lines, an opening's pixels go
// half to each side, and a thin part behind an opening stays with its own side.
#pragma once

#include "SGeometry.h"

#include <cstdint>
#include <vector>

// The largest gap size a fill closes.
inline constexpr std::int32_t LargestFillGap = 32;

// A run of pixels x0 <= x < x1 of row y.
struct SRowSpan
{
    std::int32_t y, x0, x1;
};

class SGapSplit
{
public:
    // Splits the pixels of `spans` (sorted by row, then by x; not overlapping; inside the cel)
    // closing openings up to `gap` pixels wide (1..LargestFillGap). Every pixel of the cel outside
    // the spans counts as a border; beyond the cel's edge there is none. False when the maps cannot
    // be had (the split is then empty).
    bool Split(std::vector<SRowSpan> spans, std::int32_t celWidth, std::int32_t celHeight, std::int32_t gap);

    // The number of cores; 0 when the set is narrower than the gap everywhere (one piece then).
    std::int32_t Cores() const { return cores_; }
    // The core (1..Cores()) a pixel of the set belongs to; 0 outside the set, and everywhere when
    // there is no core.
    std::int32_t Owner(ulib::SPoint p) const;

    // The first pixel in row order of core `owner` (1..Cores()): a pixel the share of the core
    // holds however the ties between cores fall.
    ulib::SPoint CoreSeed(std::int32_t owner) const { return coreSeeds_[std::size_t(owner - 1)]; }

    // Calls f(y, x0, x1, owner) for each run of the set's pixels with one owner, in the order of
    // the spans, left to right.
    template <class F>
    void ForEachShareRun(F&& f) const
    {
        for (std::size_t s = 0; s < spans_.size(); ++s) {
            const SRowSpan& span = spans_[s];
            const std::int32_t* row = owner_.data() + start_[s] - std::size_t(span.x0);
            for (std::int32_t x = span.x0; x < span.x1;) {
                const std::int32_t from = x;
                while (x < span.x1 && row[x] == row[from])
                    ++x;
                f(span.y, from, x, row[from]);
            }
        }
    }

    // Calls f(y, x0, x1) for each run of the set's pixels that belong to `owner` (0: every pixel
    // of a set without cores), row by row.
    template <class F>
    void ForEachRun(std::int32_t owner, F&& f) const
    {
        ForEachShareRun([&](std::int32_t y, std::int32_t x0, std::int32_t x1, std::int32_t o) {
            if (o == owner)
                f(y, x0, x1);
        });
    }

    // Calls f(x, y) for each pixel of the set with a 4-neighbour in the set that belongs to
    // another core: the seams the split draws across the openings it closes.
    template <class F>
    void ForEachSeamPixel(F&& f) const
    {
        for (std::size_t s = 0; s < spans_.size(); ++s)
            for (std::int32_t x = spans_[s].x0; x < spans_[s].x1; ++x) {
                const std::size_t i = start_[s] + std::size_t(x - spans_[s].x0);
                if (IsSeam(i))
                    f(x, spans_[s].y);
            }
    }

private:
    bool IsSeam(std::size_t i) const;
    void Index();
    void MeasureDistances(std::int32_t celWidth, std::int32_t celHeight);
    void LinkRows();
    void LabelCores(std::int32_t reach);
    void ShareAmongCores(std::int32_t reach);
    std::pair<std::size_t, std::size_t> RowSpans(std::int32_t y) const;

    std::vector<SRowSpan> spans_;
    std::vector<std::size_t> start_;     // each span's first pixel in the maps
    std::vector<std::size_t> rowFirst_;  // each row's first span, from the first row, and the end
    std::int32_t top_ = 0;
    // Per pixel of the set, span after span with one slot between spans and one before the first
    // (slots belong to no core and stop every walk): the distance to the nearest border in thirds
    // of a pixel (capped at 255), the owning core and the pixels above and below (0: none).
    std::vector<std::uint8_t> distance_;
    std::vector<std::int32_t> owner_;
    std::vector<std::uint32_t> up_, down_;
    std::int32_t cores_ = 0;
    std::vector<ulib::SPoint> coreSeeds_;
};
