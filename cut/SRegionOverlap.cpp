// The overlap table: every target row mapped at once, its pixels counted in runs of one target and
// one source label, since neighbouring pixels nearly always land in the same region.
#include "SRegionOverlap.h"

#include "SParallel.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <new>

using namespace ulib;

namespace {

constexpr std::int32_t OutsideLabel = -1;
constexpr std::int32_t RowsBetweenPolls = 64;
constexpr std::int32_t MostBands = 16;

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

namespace {

// The overlaps of the rows of one band, for every target region.
struct BandTable
{
    std::vector<std::vector<SOverlap>> overlaps;
    std::vector<std::int32_t> outside;
    bool failed = false;
};

// Counts every step-th pixel of every step-th row of the band (rows from..to-1) as step * step
// pixels.
void CountRows(const SRegionLabels& source, const SRegionLabels& target, const SCelMapping& mapping, std::int32_t from,
               std::int32_t to, std::int32_t step, const SAbort* abort, BandTable& table)
{
    try {
        table.overlaps.resize(std::size_t(target.Count()));
        table.outside.assign(std::size_t(target.Count()), 0);
        const std::size_t w = static_cast<std::size_t>(target.Width());
        std::vector<std::int32_t> sx(w), sy(w);
        const std::int32_t weight = step * step;
        for (std::int32_t y = (from + step - 1) / step * step; y < to; y += step) {
            if ((y - from) % RowsBetweenPolls < step && abort && abort->IsAborted()) {
                table.failed = true;
                return;
            }
            mapping.MapRow(y, 0, target.Width(), sx.data(), sy.data());
            const std::int32_t* labels = target.Row(y);
            std::int32_t runTarget = 0, runSource = 0, runLength = 0;
            auto flush = [&] {
                if (runLength == 0)
                    return;
                if (runSource == OutsideLabel)
                    table.outside[std::size_t(runTarget - 1)] += runLength * weight;
                else
                    Add(table.overlaps[std::size_t(runTarget - 1)], runSource, runLength * weight);
                runLength = 0;
            };
            for (std::size_t x = 0; x < w; x += std::size_t(step)) {
                const std::int32_t t = labels[x];
                if (t <= 0)
                    continue;
                const std::int32_t px = sx[x], py = sy[x];
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
    } catch (const std::bad_alloc&) {
        table.failed = true;
    }
}

}  // namespace

SError SRegionOverlap::Build(const SRegionLabels& source, const SRegionLabels& target, const SCelMapping& mapping,
                             const SAbort* abort, std::int32_t step)
{
    overlaps_.clear();
    outside_.clear();
    // Bands of rows counted at once, one per core, then summed.
    const std::int32_t count = std::clamp(std::int32_t(std::thread::hardware_concurrency()), 1, MostBands);
    std::vector<BandTable> bands(static_cast<std::size_t>(count));
    std::vector<std::function<void()>> tasks;
    for (std::int32_t b = 0; b < count; ++b) {
        const std::int32_t from = target.Height() * b / count, to = target.Height() * (b + 1) / count;
        tasks.emplace_back([&, from, to, b] { CountRows(source, target, mapping, from, to, step, abort, bands[std::size_t(b)]); });
    }
    RunInParallel(tasks, std::int64_t(target.Width()) * target.Height());
    if (abort && abort->IsAborted())
        return ErrorFromIdentifier("abort");
    for (const BandTable& band : bands)
        if (band.failed)
            return ErrorFromIdentifier("memory_temp");
    try {
        overlaps_ = std::move(bands[0].overlaps);
        outside_ = std::move(bands[0].outside);
        for (std::size_t t = 0; t < overlaps_.size(); ++t) {
            for (std::size_t b = 1; b < bands.size(); ++b) {
                for (const SOverlap& o : bands[b].overlaps[t])
                    Add(overlaps_[t], o.source, o.pixels);
                outside_[t] += bands[b].outside[t];
            }
            std::sort(overlaps_[t].begin(), overlaps_[t].end(), [](const SOverlap& a, const SOverlap& b) {
                return a.pixels != b.pixels ? a.pixels > b.pixels : a.source < b.source;
            });
        }
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
