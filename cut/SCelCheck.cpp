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
#include <new>

using namespace ulib;

namespace {

// How often the row loops poll for a stop.
constexpr std::int32_t RowsBetweenPolls = 64;

struct RunUnpainted
{
    std::int32_t count = 0;
    std::int32_t first = 0, last = 0;  // columns of the first and last unpainted pixel
};

RunUnpainted CountUnpainted(const std::uint32_t* row, std::int32_t x0, std::int32_t x1)
{
    RunUnpainted u;
    for (std::int32_t x = x0; x < x1; ++x)
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

struct Region
{
    std::int64_t area = 0;
    std::int64_t unpainted = 0;
    SRect unpaintedBounds;
    SPoint firstUnpainted{-1, -1};
    bool edge = false;        // touches the cel's edge
    bool background = false;  // holds pixel (1, 1)
    std::int32_t firstRun = -1;
    SRect bounds;
};

// Whether pixel (x, y) lies in one of the region's runs (a speck's handful).
bool InRuns(const std::vector<SKeyedRun>& runs, const std::vector<std::int32_t>& own, std::int32_t x, std::int32_t y)
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
bool IsSpeck(const SBitmap& paint, const std::vector<SKeyedRun>& runs, const std::vector<std::int32_t>& own)
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

SError FindRegionMistakes(const SBitmap& paint, const SCheckOptions& options, std::vector<SFinding>& findings,
                          const SAbort* abort)
{
    const std::int32_t w = paint.Width(), h = paint.Height();
    SNonBorderPixels inside;
    if (!inside.Attach(const_cast<SBitmap&>(paint), w, h))
        return ErrorFromIdentifier("memory_temp");
    std::vector<SKeyedRun> runs;
    std::vector<RunUnpainted> unpainted;
    runs.reserve(std::size_t(h) * 8);
    unpainted.reserve(std::size_t(h) * 8);
    for (std::int32_t y = 0; y < h; ++y) {
        if (y % RowsBetweenPolls == 0 && abort && abort->IsAborted())
            return ErrorFromIdentifier("abort");
        for (std::int32_t x = 0; (x = inside.NextInside(y, x, w)) < w;) {
            const std::int32_t end = inside.NextOutside(y, x + 1, w);
            runs.push_back({y, x, end, 0});
            unpainted.push_back(CountUnpainted(inside.Row(y), x, end));
            x = end;
        }
    }
    std::vector<std::int32_t> group;
    std::vector<Region> regions(std::size_t(GroupRuns(runs, false, group)));
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const SKeyedRun& run = runs[r];
        Region& g = regions[std::size_t(group[r])];
        if (g.firstRun < 0)
            g.firstRun = std::int32_t(r);
        g.area += run.x1 - run.x0;
        g.bounds = g.bounds.Union({run.x0, run.y, run.x1, run.y + 1});
        g.edge = g.edge || run.x0 == 0 || run.x1 == w || run.y == 0 || run.y == h - 1;
        g.background = g.background || (run.y == 1 && run.x0 <= 1 && 1 < run.x1);
        if (const RunUnpainted& u = unpainted[r]; u.count) {
            g.unpainted += u.count;
            g.unpaintedBounds = g.unpaintedBounds.Union({u.first, run.y, u.last + 1, run.y + 1});
            if (g.firstUnpainted.x < 0)
                g.firstUnpainted = {u.first, run.y};
        }
    }
    const std::size_t begin = findings.size();
    for (const Region& g : regions)
        if (g.unpainted && (options.includeEdge || !(g.edge || g.background)))
            findings.push_back({SFindingKind::Unpainted, g.unpaintedBounds, g.unpainted, g.firstUnpainted, 0});
    std::sort(findings.begin() + std::ptrdiff_t(begin), findings.end(), LessInRowOrder);

    // Specks: the small painted regions, with their runs gathered.
    std::vector<std::vector<std::int32_t>> small(regions.size());
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const Region& g = regions[std::size_t(group[r])];
        if (g.area < options.minSpeck && g.unpainted == 0 &&
            cel_values::IsPainted(paint.Row32(runs[r].y)[runs[r].x0]))
            small[std::size_t(group[r])].push_back(std::int32_t(r));
    }
    const std::size_t specks = findings.size();
    for (std::size_t i = 0; i < regions.size(); ++i)
        if (!small[i].empty() && IsSpeck(paint, runs, small[i])) {
            const SKeyedRun& first = runs[small[i].front()];
            findings.push_back({SFindingKind::Speck, regions[i].bounds, regions[i].area, {first.x0, first.y}, 0});
        }
    std::sort(findings.begin() + std::ptrdiff_t(specks), findings.end(), LessInRowOrder);
    return 0;
}

SError CheckCel(const SBitmap& paint, const SBitmap& trace, const SCheckOptions& options, std::vector<SFinding>& findings,
                const SAbort* abort)
{
    findings.clear();
    const bool traced = trace.Width() != 0 || trace.Height() != 0;
    if (paint.Format() != 32 || (traced && (trace.Format() != 32 || trace.Width() != paint.Width() ||
                                            trace.Height() != paint.Height())))
        return ErrorFromIdentifier("domain");
    try {
        SError err = FindRegionMistakes(paint, options, findings, abort);
        if (!err && traced)
            err = FindUnconvertedLines(trace, findings, abort);
        if (err)
            findings.clear();
        return err;
    } catch (const std::bad_alloc&) {
        findings.clear();
        return ErrorFromIdentifier("memory_temp");
    }
}
