// The region walk: a 4-connected span walk over the pixels an inside policy admits, handing each
// span (a run of one row's inside pixels between outside ones or the edges) to a sink exactly once.
// The order of visiting (last offered, first visited) and the capacities are those of the key
// tables (SRegionWalkTables.h), so what a bounded walk reaches depends only on the region.
//
// An inside policy P (see SNonBorderPixels.h) gives the area and which pixels of it are inside:
//   std::int32_t Width() const, Height() const;  // below 65536, as the span keys need
//   bool Inside(y, x) const;
//   std::int32_t NextOutside(y, x, end) const;  // the first column in [x, end) not inside, else end
//   std::int32_t NextInside(y, x, end) const;   // the first column in [x, end) inside, else end
// A sink is called as sink(y, xStart, xEnd) for the columns [xStart, xEnd) of row y. It may change
// the pixels but never which of them are inside: the walk remembers the runs it has seen.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SGeometry.h"
#include "SRegionWalkTables.h"

#include <cstdint>

namespace region_walk {

// Spans visited between two looks at the abort flag: rarely enough to cost nothing, often enough
// for a progress window (tens of milliseconds apart at worst, with whole rows of a large cel).
inline constexpr std::uint32_t AbortPollSpans = 1024;

template <class Inside, class Sink>
class Walker
{
public:
    Walker(const Inside& inside, Sink& sink, Tables& tables)
        : inside_(inside),
          sink_(sink),
          tables_(tables),
          width_(inside.Width()),
          height_(inside.Height()),
          overflow_(ulib::ErrorFromIdentifier("buf_overflow"))
    {
    }

    ulib::SError Visit(std::int32_t x, std::int32_t y)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return ulib::ErrorFromIdentifier("domain");
        if (!inside_.Inside(y, x))
            return 0;
        std::int32_t xStart = x;
        while (xStart > 0 && inside_.Inside(y, xStart - 1))
            --xStart;
        const std::uint32_t key = KeyOf(xStart, y);
        if (tables_.WasProcessed(key))
            return 0;
        if (tables_.ProcessedFull())
            return overflow_;
        tables_.AddProcessed(key);
        const std::int32_t xEnd = inside_.NextOutside(y, x + 1, width_);
        tables_.KnownRunOf(y) = {xStart, xEnd};
        sink_(y, xStart, xEnd);
        if (y > 0)
            if (ulib::SError e = OfferRow(y - 1, xStart, xEnd))
                return e;
        if (y + 1 < height_)
            if (ulib::SError e = OfferRow(y + 1, xStart, xEnd))
                return e;
        lastVisited_ = key;
        return 0;
    }

private:
    // Offers the start of every run of the row that shares a column with [xStart, xEnd), left to right.
    ulib::SError OfferRow(std::int32_t y, std::int32_t xStart, std::int32_t xEnd)
    {
        // Inside a known run the only run that begins is the known one: no need to scan (most often
        // the row just visited, when the walk goes on downwards).
        const KnownRun& known = tables_.KnownRunOf(y);
        if (known.start <= xStart && xEnd <= known.end)
            return Offer(KeyOf(known.start, y));
        std::int32_t x = xStart;
        if (inside_.Inside(y, x)) {
            // A run reaching in from the left begins at its own start; the columns up to xStart
            // belong to it and begin nothing.
            if (ulib::SError e = Offer(KeyOf(RunStart(y, x), y)))
                return e;
            x = inside_.NextOutside(y, x + 1, xEnd);
        }
        while ((x = inside_.NextInside(y, x, xEnd)) < xEnd) {
            if (ulib::SError e = Offer(KeyOf(x, y)))
                return e;
            x = inside_.NextOutside(y, x + 1, xEnd);
        }
        return 0;
    }

    // The first column of the run holding column x of row y (x inside). The walk left stops as
    // soon as it enters the row's known run; what it learns becomes the known run.
    std::int32_t RunStart(std::int32_t y, std::int32_t x)
    {
        KnownRun& known = tables_.KnownRunOf(y);
        if (known.start <= x && x < known.end)
            return known.start;
        std::int32_t start = x;
        while (start > 0 && inside_.Inside(y, start - 1)) {
            --start;
            if (start < known.end && start >= known.start) {
                known.end = x + 1;  // the known run reaches on to x
                return known.start;
            }
        }
        if (start < x)
            known = {start, x + 1};
        return start;
    }

    ulib::SError Offer(std::uint32_t key)
    {
        // The span visited just before and the seed span are handed out already; any other such
        // span offered again is dropped when it is visited.
        if (key == lastVisited_ || key == tables_.FirstProcessed() || tables_.IsPending(key))
            return 0;
        if (tables_.PendingFull())
            return overflow_;
        tables_.Push(key);
        return 0;
    }

    const Inside& inside_;
    Sink& sink_;
    Tables& tables_;
    const std::int32_t width_;
    const std::int32_t height_;
    const ulib::SError overflow_;
    std::uint32_t lastVisited_ = 0;  // key of the last span whose visit ran to its end
};

}  // namespace region_walk

// Walks the region around the seed. Returns 0 (a seed outside the region visits nothing),
// "memory_temp" (nothing visited), "domain" (the seed outside the area), "buf_overflow" (the spans
// the tables could hold were visited: every span waiting is still visited after a full table) or
// "abort" (abort raised: the walk stops at once, the spans handed out stay handed out). A null
// abort never stops the walk.
template <class Inside, class Sink>
ulib::SError WalkRegion(const Inside& inside, Sink& sink, ulib::SPoint seed, const ulib::SAbort* abort = nullptr)
{
    region_walk::Tables tables;
    if (!tables.Allocate(inside.Height()))
        return ulib::ErrorFromIdentifier("memory_temp");
    region_walk::Walker<Inside, Sink> walker(inside, sink, tables);
    ulib::SFirstError first;
    std::int32_t x = seed.x, y = seed.y;
    for (std::uint32_t visits = 0;; ++visits) {
        if (abort != nullptr && visits % region_walk::AbortPollSpans == 0 && abort->IsAborted())
            return ulib::ErrorFromIdentifier("abort");
        first.Keep(walker.Visit(x, y));
        if (tables.PendingEmpty())
            return first.Value();
        const std::uint32_t key = tables.Pop() - 1;
        x = std::int32_t(key >> 16);
        y = std::int32_t(key & 0xFFFF);
    }
}
