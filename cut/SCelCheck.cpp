// The regions' half of the check: the rows' runs of non-border pixels (the fill's own inside rule
// and row scans), grouped into regions, each run's unpainted pixels counted as it is found. Only
// the few small painted regions are looked at again, pixel by pixel, for the speck rule.
#include "SCelCheck.h"

#include "SCelValues.h"
#include "SErrorCause.h"
#include "SNonBorderPixels.h"
#include "SRegionLabels.h"
#include "SRunGroups.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <new>
#include <span>

using namespace ulib;

namespace {

// How often the row loops poll for a stop.
constexpr std::int32_t RowsBetweenPolls = 64;

// Whether pixel (x, y) lies in one of the region's runs (a speck's handful).
bool InRuns(const std::vector<SKeyedRun>& runs, std::span<const std::int32_t> own, std::int32_t x, std::int32_t y)
{
    for (const std::int32_t r : own) {
        const SKeyedRun& run = runs[std::size_t(r)];
        if (run.y == y && run.x0 <= x && x < run.x1)
            return true;
    }
    return false;
}

// The speck rule for a small painted region: no region across 1..RegionNeighbourGap border pixels
// along a row or column holds its colour.
bool IsSpeck(const SBitmap& paint, const std::vector<SKeyedRun>& runs, std::span<const std::int32_t> own)
{
    const SKeyedRun& first = runs[std::size_t(own.front())];
    const std::uint32_t colour = paint.Row32(first.y)[first.x0];
    const std::int32_t w = paint.Width(), h = paint.Height();
    for (const std::int32_t r : own) {
        const SKeyedRun& run = runs[std::size_t(r)];
        for (std::int32_t x = run.x0; x < run.x1; ++x)
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
                for (std::int32_t k = 1; k <= RegionNeighbourGap + 1; ++k) {
                    const std::int32_t qx = x + k * dx, qy = run.y + k * dy;
                    if (qx < 0 || qy < 0 || qx >= w || qy >= h)
                        break;
                    const std::uint32_t v = paint.Row32(qy)[qx];
                    if (cel_values::IsBorder(v))
                        continue;
                    if (k > 1 && v == colour && !InRuns(runs, own, qx, qy))
                        return false;
                    break;
                }
    }
    return true;
}

bool LessInRowOrder(const SFinding& a, const SFinding& b)
{
    return a.at.y != b.at.y ? a.at.y < b.at.y : a.at.x < b.at.x;
}

}  // namespace

const char* FindingKindName(SFindingKind kind)
{
    switch (kind) {
    case SFindingKind::Unpainted:
        return "unpainted";
    case SFindingKind::Speck:
        return "speck";
    case SFindingKind::Line:
        return "line";
    }
    return "unpainted";
}

const char* LineCodeName(std::uint32_t code)
{
    return code == cel_values::CodeBlue ? "blue" : code == cel_values::CodeGreen ? "green" : "red";
}

SError CheckCel(const SBitmap& paint, const SBitmap& trace, const SCheckOptions& options, std::vector<SFinding>& findings,
                const SAbort* abort)
{
    SCelChecker checker;
    const SError err = checker.Check(paint, trace, options, abort);
    findings = checker.Findings();
    return err;
}

SCelChecker::RunUnpainted SCelChecker::CountUnpainted(const std::uint32_t* row, std::int32_t x0, std::int32_t x1)
{
    RunUnpainted u;
    std::int32_t x = x0;
#if defined(__SSE2__)
    // Four pixels at a time: a painted cel's long runs hold no unpainted pixel at all.
    const __m128i unpainted = _mm_set1_epi32(int(cel_values::Unpainted));
    for (; x + 4 <= x1; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        u.count += __builtin_popcount(unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, unpainted)))));
    }
#endif
    for (; x < x1; ++x)
        u.count += row[x] == cel_values::Unpainted;
    if (u.count) {
        u.first = x0;
        while (row[u.first] != cel_values::Unpainted)
            ++u.first;
        u.last = x1 - 1;
        while (row[u.last] != cel_values::Unpainted)
            --u.last;
    }
    return u;
}

SError SCelChecker::Check(const SBitmap& paint, const SBitmap& trace, const SCheckOptions& options, const SAbort* abort)
{
    *this = SCelChecker();
    const bool traced = trace.Width() != 0 || trace.Height() != 0;
    if (paint.Format() != 32 || (traced && (trace.Format() != 32 || trace.Width() != paint.Width() ||
                                            trace.Height() != paint.Height())))
        return ErrorFromIdentifier("domain");
    try {
        options_ = options;
        width_ = paint.Width();
        height_ = paint.Height();
        SNonBorderPixels inside;
        if (!inside.Attach(const_cast<SBitmap&>(paint), width_, height_))
            return ErrorFromIdentifier("memory_temp");
        rowStart_.assign(std::size_t(height_) + 1, 0);
        for (std::int32_t y = 0; y < height_; ++y) {
            if (y % RowsBetweenPolls == 0 && abort && abort->IsAborted()) {
                *this = SCelChecker();
                return ErrorFromIdentifier("abort");
            }
            rowStart_[std::size_t(y)] = std::int32_t(runs_.size());
            for (std::int32_t x = 0; (x = inside.NextInside(y, x, width_)) < width_;) {
                const std::int32_t end = inside.NextOutside(y, x + 1, width_);
                runs_.push_back({y, x, end, 0});
                unpainted_.push_back(CountUnpainted(inside.Row(y), x, end));
                x = end;
            }
        }
        rowStart_[std::size_t(height_)] = std::int32_t(runs_.size());
        FindRegions(paint);
        if (traced)
            if (const SError err = FindUnconvertedLines(trace, lines_, abort)) {
                *this = SCelChecker();
                return err;
            }
        Collect();
        return 0;
    } catch (const std::bad_alloc&) {
        *this = SCelChecker();
        return ErrorFromIdentifier("memory_temp");
    }
}

// Groups the runs into regions, lists each region's runs, and measures every region.
void SCelChecker::FindRegions(const SBitmap& paint)
{
    std::vector<std::int32_t>& group = runRegion_;
    regions_.assign(std::size_t(GroupRuns(runs_, false, group)), Region());
    regionStart_.assign(regions_.size() + 1, 0);
    for (const std::int32_t g : group)
        ++regionStart_[std::size_t(g) + 1];
    for (std::size_t g = 0; g < regions_.size(); ++g)
        regionStart_[g + 1] += regionStart_[g];
    regionRuns_.resize(runs_.size());
    std::vector<std::int32_t> next(regionStart_.begin(), regionStart_.end() - 1);
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        regionRuns_[std::size_t(next[std::size_t(group[r])]++)] = std::int32_t(r);
        const SKeyedRun& run = runs_[r];
        Region& g = regions_[std::size_t(group[r])];
        g.area += run.x1 - run.x0;
        g.bounds = g.bounds.Union({run.x0, run.y, run.x1, run.y + 1});
        g.edge = g.edge || run.x0 == 0 || run.x1 == width_ || run.y == 0 || run.y == height_ - 1;
        g.background = g.background || (run.y == 1 && run.x0 <= 1 && 1 < run.x1);
    }
    for (std::int32_t g = 0; g < std::int32_t(regions_.size()); ++g) {
        SumUnpainted(g);
        if (regions_[std::size_t(g)].area < options_.minSpeck)
            small_.push_back(g);
    }
    for (const std::int32_t g : small_)
        JudgeSpeck(paint, g);
}

// The region's unpainted pixels from its runs' counts (its runs are listed in row order).
void SCelChecker::SumUnpainted(std::int32_t region)
{
    Region& g = regions_[std::size_t(region)];
    g.unpainted = 0;
    g.unpaintedBounds = {};
    g.firstUnpainted = {-1, -1};
    for (std::int32_t i = regionStart_[std::size_t(region)]; i < regionStart_[std::size_t(region) + 1]; ++i) {
        const SKeyedRun& run = runs_[std::size_t(regionRuns_[std::size_t(i)])];
        if (const RunUnpainted& u = unpainted_[std::size_t(regionRuns_[std::size_t(i)])]; u.count) {
            g.unpainted += u.count;
            g.unpaintedBounds = g.unpaintedBounds.Union({u.first, run.y, u.last + 1, run.y + 1});
            if (g.firstUnpainted.x < 0)
                g.firstUnpainted = {u.first, run.y};
        }
    }
}

void SCelChecker::JudgeSpeck(const SBitmap& paint, std::int32_t region)
{
    Region& g = regions_[std::size_t(region)];
    const std::span<const std::int32_t> own(regionRuns_.data() + regionStart_[std::size_t(region)],
                                            regionRuns_.data() + regionStart_[std::size_t(region) + 1]);
    const SKeyedRun& first = runs_[std::size_t(own.front())];
    g.speck = g.unpainted == 0 && cel_values::IsPainted(paint.Row32(first.y)[first.x0]) && IsSpeck(paint, runs_, own);
}

bool SCelChecker::RecheckPaint(const SBitmap& paint, const SRect& changed)
{
    if (width_ == 0 || paint.Format() != 32 || paint.Width() != width_ || paint.Height() != height_)
        return false;
    const SRect part = changed.Intersect({0, 0, width_, height_});
    // The runs in the rectangle are counted again, and their regions summed again.
    std::vector<std::int32_t> touched;
    for (std::int32_t y = part.top; y < part.bottom; ++y)
        for (std::int32_t r = rowStart_[std::size_t(y)]; r < rowStart_[std::size_t(y) + 1]; ++r) {
            const SKeyedRun& run = runs_[std::size_t(r)];
            if (run.x0 < part.right && part.left < run.x1) {
                unpainted_[std::size_t(r)] = CountUnpainted(paint.Row32(y), run.x0, run.x1);
                touched.push_back(runRegion_[std::size_t(r)]);
            }
        }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (const std::int32_t g : touched)
        SumUnpainted(g);
    // A small region's verdict follows its own colour and its neighbours', which lie within a few
    // pixels of its box.
    const SRect reach = part.Inflate(RegionNeighbourGap + 1, RegionNeighbourGap + 1);
    for (const std::int32_t g : small_)
        if (regions_[std::size_t(g)].bounds.Overlaps(reach))
            JudgeSpeck(paint, g);
    Collect();
    return true;
}

// The findings from the regions' facts and the lines, in CheckCel's order.
void SCelChecker::Collect()
{
    findings_.clear();
    for (const Region& g : regions_)
        if (g.unpainted && (options_.includeEdge || !(g.edge || g.background)))
            findings_.push_back({SFindingKind::Unpainted, g.unpaintedBounds, g.unpainted, g.firstUnpainted, 0});
    std::sort(findings_.begin(), findings_.end(), LessInRowOrder);
    const std::size_t specks = findings_.size();
    for (const std::int32_t i : small_)
        if (const Region& g = regions_[std::size_t(i)]; g.speck) {
            const SKeyedRun& first = runs_[std::size_t(regionRuns_[std::size_t(regionStart_[std::size_t(i)])])];
            findings_.push_back({SFindingKind::Speck, g.bounds, g.area, {first.x0, first.y}, 0});
        }
    std::sort(findings_.begin() + std::ptrdiff_t(specks), findings_.end(), LessInRowOrder);
    findings_.insert(findings_.end(), lines_.begin(), lines_.end());
}
