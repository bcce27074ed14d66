// The gap-closing fill: the plain region's spans, their split, then the seed's share painted span
// by span as the plain fill paints.
#include "SGapFill.h"

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

// The region as the plain fill's walk finds it.
class CollectSink
{
public:
    void operator()(std::int32_t y, std::int32_t x0, std::int32_t x1) { spans.push_back({y, x0, x1}); }
    std::vector<SRowSpan> spans;
};

// Paints, records and recomposes the pixels of the region that belong to `owner`.
SRect PaintShare(SPaintContext& context, const SGapSplit& split, std::int32_t owner)
{
    const SColourSource source(context.tools, context.reference);
    SRect changed;
    split.ForEachRun(owner, [&](std::int32_t y, std::int32_t x0, std::int32_t x1) {
        context.undo.RecordRow(context.cel.paint, y, x0, x1);
        if (source.PaintsNothing())
            return;
        PaintRow(context.cel.paint.Row32(y), source, y, x0, x1);
        SError ignored = 0;  // the row lies inside the display
        context.cel.ComposeRow(y, x0, x1, ignored);
        changed = changed.Union({x0, y, x1, y + 1});
    });
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
    SGapSplit split;
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
        std::sort(region.spans.begin(), region.spans.end(),
                  [](const SRowSpan& a, const SRowSpan& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
        if (!split.Split(std::move(region.spans), inside.Width(), inside.Height(), gap)) {
            err = ErrorFromIdentifier("memory_temp");
            return {};
        }
    } catch (const std::bad_alloc&) {
        err = ErrorFromIdentifier("memory_temp");
        return {};
    }
    return PaintShare(context, split, split.Owner(seed));
}
