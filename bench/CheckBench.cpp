// The check of a cel on a finished 4000 x 3000 cel of the default scene (every area painted, specks
// cleaned, pencil lines converted) with mistakes planted at known places:
//   CheckFindings: how many planted mistakes of each kind are found and how many findings are not
//     planted ones, printed once;
//   CheckCel: the whole check, beside OpenCV's 4-connected connectedComponents of the same paint
//     layer in the same run;
//   CheckAfterFill/0, /1: the check view's refresh after a fill click (the recheck of what the fill
//     reached, the fill itself not timed) of a planted unpainted area, and of the cel's largest area.
#include "BenchLayers.h"
#include "SCelCheck.h"
#include "SCel.h"
#include "SHuedraneUndoBuffer.h"
#include "SRegionFill.h"
#include "SRegionLabels.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>
#include <vector>

using namespace ulib;
using bench_layers::Random;

namespace {

constexpr int Planted = 40;  // mistakes of each kind

// A character cel busier than the default scene: about 2500 regions once finished.
const bench_layers::SceneStyle BusyCel{1300, 8, 8, 1200, 40, 360};

struct Desk
{
    SBitmap paint, trace;
    std::vector<SFinding> planted;
};

bool AwayFromTheEdge(const SRect& r, const SBitmap& layer)
{
    return r.left > 0 && r.top > 1 && r.right < layer.Width() && r.bottom < layer.Height();
}

// The default cel as a painter leaves it finished: every area inside painted, each small area in its
// largest painted neighbour's colour (or made line when it has none), every pencil line converted.
void Finish(Desk& d)
{
    SRegionLabels labels;
    labels.Build(d.paint);
    std::vector<std::uint32_t> colour(std::size_t(labels.Count()) + 1, 0);
    Random rng(5);
    for (std::int32_t l = 1; l <= labels.Count(); ++l) {
        const SRegionFacts& r = labels.Region(l);
        colour[std::size_t(l)] = r.colour;
        if (r.colour == cel_values::Unpainted && AwayFromTheEdge(r.bounds, d.paint))
            colour[std::size_t(l)] = 0xFF000000u | (rng.Next() & 0x00FFFFFFu);
    }
    for (std::int32_t l = 1; l <= labels.Count(); ++l) {
        if (labels.Region(l).area >= DefaultMinSpeck)
            continue;
        // The largest painted neighbour's colour: one that is no small area itself.
        std::int32_t best = 0;
        for (const std::int32_t n : labels.Neighbours(l))
            if (labels.Region(n).area >= DefaultMinSpeck && cel_values::IsPainted(colour[std::size_t(n)]) &&
                (best == 0 || labels.Region(n).area > labels.Region(best).area))
                best = n;
        colour[std::size_t(l)] = best ? colour[std::size_t(best)] : cel_values::BorderBlack;
    }
    for (std::int32_t y = 0; y < d.paint.Height(); ++y)
        for (std::int32_t x = 0; x < d.paint.Width(); ++x)
            if (const std::int32_t l = labels.At(x, y); l > 0)
                d.paint.Row32(y)[x] = colour[std::size_t(l)];
    for (std::int32_t y = 0; y < d.trace.Height(); ++y)
        for (std::int32_t x = 0; x < d.trace.Width(); ++x)
            if (const std::uint32_t v = d.trace.Row32(y)[x]; cel_values::IsUnconvertedColourLine(v))
                d.trace.Row32(y)[x] = cel_values::ConvertedLine(cel_values::ColourDensity(v), 0x2040C0);
}

// Unpaints large areas, draws a one-pixel area of its own colour ringed by a line into others, and
// draws short pencil strokes where the trace layer is empty, recording what each should give.
void Plant(Desk& d)
{
    SRegionLabels labels;
    labels.Build(d.paint);
    Random rng(9);
    std::vector<bool> used(std::size_t(labels.Count()) + 1, false);
    int unpainted = 0, specks = 0;
    for (int tries = 0; tries < 100000 && (unpainted < Planted || specks < Planted); ++tries) {
        const std::int32_t l = 1 + rng.Below(labels.Count());
        const SRegionFacts& r = labels.Region(l);
        if (used[std::size_t(l)] || !cel_values::IsPainted(r.colour) || !AwayFromTheEdge(r.bounds, d.paint) || r.area < 400)
            continue;
        used[std::size_t(l)] = true;
        // A small neighbour in the area's colour would become a speck once the area is unpainted.
        const auto neighbours = labels.Neighbours(l);
        const bool smallNeighbour = std::any_of(neighbours.begin(), neighbours.end(),
                                                [&](std::int32_t n) { return labels.Region(n).area < DefaultMinSpeck; });
        if (unpainted < Planted && !smallNeighbour) {
            ++unpainted;
            for (std::int32_t y = r.bounds.top; y < r.bounds.bottom; ++y)
                for (std::int32_t x = r.bounds.left; x < r.bounds.right; ++x)
                    if (labels.At(x, y) == l)
                        d.paint.Row32(y)[x] = cel_values::Unpainted;
            d.planted.push_back({SFindingKind::Unpainted, r.bounds, r.area, r.seed, 0});
            continue;
        }
        // A 5 x 5 block of the region around its middle holds the ring.
        const SPoint c{std::int32_t(r.CentroidX()), std::int32_t(r.CentroidY())};
        bool fits = true;
        for (std::int32_t y = c.y - 2; y <= c.y + 2; ++y)
            for (std::int32_t x = c.x - 2; x <= c.x + 2; ++x)
                fits = fits && x >= 0 && y >= 0 && x < d.paint.Width() && y < d.paint.Height() && labels.At(x, y) == l;
        if (!fits)
            continue;
        ++specks;
        for (std::int32_t y = c.y - 1; y <= c.y + 1; ++y)
            for (std::int32_t x = c.x - 1; x <= c.x + 1; ++x)
                d.paint.Row32(y)[x] = cel_values::BorderBlack;
        d.paint.Row32(c.y)[c.x] = r.colour ^ 0x00808080u;
        d.planted.push_back({SFindingKind::Speck, {c.x, c.y, c.x + 1, c.y + 1}, 1, c, 0});
    }
    for (int lines = 0, tries = 0; lines < Planted && tries < 100000; ++tries) {
        const SPoint at{2 + rng.Below(d.trace.Width() - 12), 2 + rng.Below(d.trace.Height() - 4)};
        bool empty = true;
        for (std::int32_t y = at.y - 1; y <= at.y + 1; ++y)
            for (std::int32_t x = at.x - 1; x <= at.x + 8; ++x)
                empty = empty && !cel_values::IsUnconvertedColourLine(d.trace.Row32(y)[x]);
        if (!empty)
            continue;
        ++lines;
        const std::uint32_t code = std::uint32_t(rng.Below(3));
        for (std::int32_t x = at.x; x < at.x + 8; ++x)
            d.trace.Row32(at.y)[x] = cel_values::ColouredLine(200, code);
        d.planted.push_back({SFindingKind::Line, {at.x, at.y, at.x + 8, at.y + 1}, 8, at, code});
    }
}

const Desk& PlantedCel()
{
    static const Desk desk = [] {
        const bench_layers::Scene scene = bench_layers::MakeScene(2024, BusyCel);
        Desk d{bench_layers::MakePaintLayer(scene, 7), bench_layers::MakeTraceLayer(scene), {}};
        Finish(d);
        Plant(d);
        return d;
    }();
    return desk;
}

void CheckFindings(benchmark::State& state)
{
    const Desk& d = PlantedCel();
    std::vector<SFinding> found;
    for (auto _ : state)
        if (CheckCel(d.paint, d.trace, {}, found) != 0) {
            state.SkipWithError("the check failed");
            return;
        }
    using Key = std::tuple<SFindingKind, std::int32_t, std::int32_t, std::int64_t>;
    std::map<Key, int> planted;
    for (const SFinding& f : d.planted)
        ++planted[{f.kind, f.at.x, f.at.y, f.pixels}];
    int foundPlanted[3] = {0, 0, 0}, extra[3] = {0, 0, 0}, plantedCount[3] = {0, 0, 0};
    for (const SFinding& f : d.planted)
        ++plantedCount[int(f.kind)];
    for (const SFinding& f : found) {
        const auto it = planted.find({f.kind, f.at.x, f.at.y, f.pixels});
        if (it != planted.end() && it->second > 0) {
            --it->second;
            ++foundPlanted[int(f.kind)];
        } else {
            ++extra[int(f.kind)];
        }
    }
    std::printf("\ncel check, 4000 x 3000 finished cel with planted mistakes:\n");
    for (const SFindingKind k : {SFindingKind::Unpainted, SFindingKind::Speck, SFindingKind::Line})
        std::printf("  %-9s planted %3d, found %3d, findings not planted %3d\n", FindingKindName(k),
                    plantedCount[int(k)], foundPlanted[int(k)], extra[int(k)]);
    state.counters["findings"] = double(found.size());
}

void CheckCelBench(benchmark::State& state)
{
    const Desk& d = PlantedCel();
    std::vector<SFinding> found;
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckCel(d.paint, d.trace, {}, found));
    state.counters["findings"] = double(found.size());
    state.counters["pixels"] = benchmark::Counter(double(d.paint.Width()) * d.paint.Height(),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void CheckCel_ref_opencvLabels(benchmark::State& state)
{
    const Desk& d = PlantedCel();
    cv::Mat mask(d.paint.Height(), d.paint.Width(), CV_8UC1), labels;
    for (std::int32_t y = 0; y < d.paint.Height(); ++y)
        for (std::int32_t x = 0; x < d.paint.Width(); ++x)
            mask.ptr<std::uint8_t>(y)[x] = cel_values::IsBorder(d.paint.Row32(y)[x]) ? 0 : 1;
    int regions = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(regions = cv::connectedComponents(mask, labels, 4, CV_32S));
    state.counters["regions"] = double(regions - 1);
}

void CheckAfterFill(benchmark::State& state)
{
    const Desk& d = PlantedCel();
    SCel cel;
    cel.paint = d.paint;
    cel.trace = d.trace;
    cel.display.Create(d.paint.Width(), d.paint.Height(), 32);
    cel.flag.Create(d.paint.Width(), d.paint.Height(), 8);
    cel.ComposeAll();
    SHuedraneUndoBuffer undo{cel.trace, cel.paint, cel.extra};
    undo.SetDocumentSize(cel.paint.Width(), cel.paint.Height());
    SToolState tools;
    const SBitmap reference;
    SPoint seed = d.planted.front().at;  // an unpainted area planted
    if (state.range(0) == 1) {
        SRegionLabels labels;
        labels.Build(d.paint);
        std::int32_t largest = 1;
        for (std::int32_t l = 2; l <= labels.Count(); ++l)
            largest = labels.Region(l).area > labels.Region(largest).area ? l : largest;
        seed = labels.Region(largest).seed;
    }
    SCelChecker checker;
    if (checker.Check(cel.paint, cel.trace, {}) != 0) {
        state.SkipWithError("the check failed");
        return;
    }
    const std::size_t before = checker.Findings().size();
    int colour = 0;
    for (auto _ : state) {
        state.PauseTiming();
        undo.BeginStep(SString("fill"));
        tools.currentColour = colour ? SColor(40, 90, 200) : SColor(200, 120, 40);
        colour ^= 1;
        SPaintContext context{cel, undo, tools, reference};
        SError err = 0;
        const SRect changed = FillRegion(context, seed, false, err);
        state.ResumeTiming();
        benchmark::DoNotOptimize(checker.RecheckPaint(cel.paint, changed));
    }
    state.counters["findings_before"] = double(before);
    state.counters["findings_after"] = double(checker.Findings().size());
}

}  // namespace

BENCHMARK(CheckAfterFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckFindings)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckCelBench)->Name("CheckCel")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CheckCel_ref_opencvLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
