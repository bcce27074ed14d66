// The overlap table: every target row mapped at once, its pixels counted in runs of one target and
// one source label, since neighbouring pixels nearly always land in the same region.
#include "SRegionOverlap.h"

#include <algorithm>
#include <new>

using namespace ulib;

namespace {

constexpr std::int32_t OutsideLabel = -1;
constexpr std::int32_t RowsBetweenPolls = 64;

void Add(std::vector<SOverlap>& list, std::int32_t source, std::int32_t pixels)
{
    for (SOverlap& o : list)
        if (o.source == source) {
            o.pixels += pixels;
            return;
        }
    list.push_back({source, pixels});
}

}  // namespace

SError SRegionOverlap::Build(const SRegionLabels& source, const SRegionLabels& target, const SCelMapping& mapping,
                             const SAbort* abort)
{
    overlaps_.clear();
    outside_.clear();
    try {
        overlaps_.resize(std::size_t(target.Count()));
        outside_.assign(std::size_t(target.Count()), 0);
        const std::int32_t w = target.Width();
        std::vector<std::int32_t> sx(static_cast<std::size_t>(w)), sy(static_cast<std::size_t>(w));
        for (std::int32_t y = 0; y < target.Height(); ++y) {
            if (y % RowsBetweenPolls == 0 && abort && abort->IsAborted()) {
                overlaps_.clear();
                outside_.clear();
                return ErrorFromIdentifier("abort");
            }
            mapping.MapRow(y, 0, w, sx.data(), sy.data());
            const std::int32_t* labels = target.Row(y);
            std::int32_t runTarget = 0, runSource = 0, runLength = 0;
            auto flush = [&] {
                if (runLength == 0)
                    return;
                if (runSource == OutsideLabel)
                    outside_[std::size_t(runTarget - 1)] += runLength;
                else
                    Add(overlaps_[std::size_t(runTarget - 1)], runSource, runLength);
                runLength = 0;
            };
            for (std::int32_t x = 0; x < w; ++x) {
                const std::int32_t t = labels[x];
                if (t == 0)
                    continue;
                const std::int32_t px = sx[std::size_t(x)], py = sy[std::size_t(x)];
                const bool inside = px >= 0 && py >= 0 && px < source.Width() && py < source.Height();
                const std::int32_t s = inside ? source.At(px, py) : OutsideLabel;
                if (t != runTarget || s != runSource) {
                    flush();
                    runTarget = t;
                    runSource = s;
                }
                ++runLength;
            }
            flush();
        }
        for (std::vector<SOverlap>& list : overlaps_)
            std::sort(list.begin(), list.end(), [](const SOverlap& a, const SOverlap& b) {
                return a.pixels != b.pixels ? a.pixels > b.pixels : a.source < b.source;
            });
    } catch (const std::bad_alloc&) {
        overlaps_.clear();
        outside_.clear();
        return ErrorFromIdentifier("memory_temp");
    }
    return 0;
}

std::int32_t SRegionOverlap::Landed(std::int32_t target) const
{
    std::int32_t landed = 0;
    for (const SOverlap& o : Of(target))
        if (o.source > 0)
            landed += o.pixels;
    return landed;
}
