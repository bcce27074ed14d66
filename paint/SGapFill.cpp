// The gap-closing fill: the plain region's spans, a chamfer distance to its borders over its
// bounding box, the cores and a breadth-first share of the region among them, then the seed's share
// painted span by span as the plain fill paints.
#include "SGapFill.h"

#include "SChamferDistance.h"
#include "SColourSource.h"
#include "SErrorCause.h"
#include "SNonBorderPixels.h"
#include "SRegionFill.h"
#include "SRegionWalk.h"

#include <algorithm>
#include <new>
#include <vector>

using namespace ulib;

namespace {

constexpr std::int32_t NotInRegion = -1;
constexpr std::int32_t Unowned = 0;

struct Span
{
    std::int32_t y, x0, x1;
};

// The region as the plain fill's walk finds it.
class CollectSink
{
public:
    void operator()(std::int32_t y, std::int32_t x0, std::int32_t x1)
    {
        spans.push_back({y, x0, x1});
        bounds = bounds.Union({x0, y, x1, y + 1});
    }
    std::vector<Span> spans;
    SRect bounds;
};

// The region's pixels over its bounding box and a frame of one pixel around it, so every
// neighbour of a region pixel lies in the box. A frame pixel inside the cel is a border (a
// 4-neighbour of the region outside it always is one); one outside the cel is no line.
class RegionBox
{
public:
    RegionBox(const CollectSink& region, std::int32_t celWidth, std::int32_t celHeight)
        : box_(region.bounds.Inflate(1, 1)),
          stride_(std::size_t(box_.Width())),
          owner_(stride_ * std::size_t(box_.Height()), NotInRegion),
          distance_(owner_.size(), 0)
    {
        for (const Span& s : region.spans)
            std::fill(owner_.begin() + std::ptrdiff_t(At(s.x0, s.y)), owner_.begin() + std::ptrdiff_t(At(s.x1, s.y)),
                      Unowned);
        const SRect cel{0, 0, celWidth, celHeight};
        for (std::int32_t y = box_.top; y < box_.bottom; ++y)
            for (std::int32_t x = box_.left; x < box_.right; ++x) {
                const std::size_t i = At(x, y);
                distance_[i] = owner_[i] == NotInRegion && cel.Contains({x, y}) ? 0 : 255;
            }
    }

    std::size_t At(std::int32_t x, std::int32_t y) const
    {
        return std::size_t(y - box_.top) * stride_ + std::size_t(x - box_.left);
    }

    // The chamfer distance of every region pixel to the nearest border, capped at 255.
    void MeasureDistances() { ChamferDistances(distance_.data(), box_.Width(), box_.Height()); }

    // Gives every core (a 4-connected group of region pixels at least `reach` thirds of a pixel
    // from the borders) a number from 1 and every other region pixel the number of the core nearest
    // to it along the region (breadth first from all cores at once). Returns the number of cores.
    std::int32_t ShareAmongCores(std::int32_t reach)
    {
        std::vector<std::uint32_t> queue;
        std::int32_t cores = 0;
        for (std::size_t start = 0; start < owner_.size(); ++start) {
            if (owner_[start] != Unowned || distance_[start] < reach)
                continue;
            // A new core: flood it, queueing its pixels as the share's first ring.
            owner_[start] = ++cores;
            std::size_t head = queue.size();
            queue.push_back(std::uint32_t(start));
            while (head < queue.size()) {
                const std::size_t i = queue[head++];
                for (const std::size_t j : {i - 1, i + 1, i - stride_, i + stride_})
                    if (owner_[j] == Unowned && distance_[j] >= reach) {
                        owner_[j] = cores;
                        queue.push_back(std::uint32_t(j));
                    }
            }
        }
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const std::size_t i = queue[head];
            for (const std::size_t j : {i - 1, i + 1, i - stride_, i + stride_})
                if (owner_[j] == Unowned) {
                    owner_[j] = owner_[i];
                    queue.push_back(std::uint32_t(j));
                }
        }
        return cores;
    }

    std::int32_t Owner(std::int32_t x, std::int32_t y) const { return owner_[At(x, y)]; }

private:
    SRect box_;
    std::size_t stride_;
    std::vector<std::int32_t> owner_;
    std::vector<std::uint8_t> distance_;
};

// Paints, records and recomposes the pixels of each span that belong to `owner`.
SRect PaintShare(SPaintContext& context, const CollectSink& region, const RegionBox& box, std::int32_t owner)
{
    const SColourSource source(context.tools, context.reference);
    SRect changed;
    for (const Span& s : region.spans)
        for (std::int32_t x = s.x0; x < s.x1;) {
            if (box.Owner(x, s.y) != owner) {
                ++x;
                continue;
            }
            std::int32_t end = x + 1;
            while (end < s.x1 && box.Owner(end, s.y) == owner)
                ++end;
            context.undo.RecordRow(context.cel.paint, s.y, x, end);
            if (!source.PaintsNothing()) {
                PaintRow(context.cel.paint.Row32(s.y), source, s.y, x, end);
                SError ignored = 0;  // the row lies inside the display
                context.cel.ComposeRow(s.y, x, end, ignored);
                changed = changed.Union({x, s.y, end, s.y + 1});
            }
            x = end;
        }
    return changed;
}

}  // namespace

SRect FillRegionClosingGaps(SPaintContext& context, SPoint seed, std::int32_t gap, bool fromTool, SError& err,
                            const SAbort* abort)
{
    if (gap <= 0 || gap > LargestFillGap)
        return FillRegion(context, seed, fromTool, err, abort);
    SNonBorderPixels inside;
    if (!AttachFillInside(context, seed, fromTool, inside, err))
        return {};
    try {
        CollectSink region;
        if (const SError walked = WalkRegion(inside, region, seed, abort)) {
            // A region the walk cannot take whole, or a stop: as the plain fill does it.
            if (ErrorIdentity(walked) == ErrorFromIdentifier("abort")) {
                err = walked;
                return {};
            }
            return FillRegion(context, seed, fromTool, err, abort);
        }
        if (region.spans.empty())
            return {};  // the seed lies on a border
        RegionBox box(region, inside.Width(), inside.Height());
        box.MeasureDistances();
        // An opening `gap` pixels wide has no pixel farther than half of it from its sides.
        const std::int32_t reach = (ChamferStraight * gap + 1) / 2 + ChamferStraight;
        const std::int32_t cores = box.ShareAmongCores(reach);
        // A region narrower than the gap everywhere is one piece: it is filled whole.
        const std::int32_t owner = cores == 0 ? Unowned : box.Owner(seed.x, seed.y);
        return PaintShare(context, region, box, owner);
    } catch (const std::bad_alloc&) {
        err = ErrorFromIdentifier("memory_temp");
        return {};
    }
}
