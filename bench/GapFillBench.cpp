// The gap-closing fill on its evaluation set (GapFillEvaluation.h): its figures, printed once.
//   GapFillEvaluation: for gap sizes 4, 8 and 16, openings of widths 1..gap cut into the lines of
//   four 1600 x 1200 scenes and one 4000 x 3000 scene, and fills seeded beside them and elsewhere:
//   how many fills leak into another true region (the plain fill beside them, which must leak at
//   every opening), the share of the seed's true region painted (mean and least; "pinched" counts
//   the low ones as low without the openings too), the share of what the same fill paints of
//   the region on the unbroken layer (what the openings cost), and the share of the true region in
//   the regions closed at the gap size (those the fill paints whole when nothing is cut).
// The fill's time is FillBench.cpp's (FillLargestRegionClosingGaps beside the plain fill).
#include "GapFillEvaluation.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

using namespace gap_evaluation;

namespace {

struct Case
{
    const char* name;
    std::uint32_t seed;
    bench_layers::SceneStyle style;
    std::int32_t width;
    std::int32_t height;
    std::int32_t openings;   // openings cut at each gap size
    std::int32_t elsewhere;  // seeds in regions chosen at random
};

// A busy character cel scaled to the smaller size, the same shapes' outlines alone (the free
// strokes' tapered ends leave narrow openings of their own, which a gap-closing fill closes as it
// should, splitting the true regions), the sample scan's drawing (a few dozen shapes, fewer
// strokes) and the benchmarks' default 4000 x 3000 cel.
const bench_layers::SceneStyle SmallCel{60, 8, 6, 160, 40, 360};
const bench_layers::SceneStyle Outlines{60, 8, 6, 0, 40, 360};
const bench_layers::SceneStyle SampleScan{40, 6, 5, 1600 * 1200 / 40000 + 20, 20, 1600 / 5};
const Case Cases[] = {
    {"cel 1600x1200 a", 1, SmallCel, 1600, 1200, 40, 40},
    {"cel 1600x1200 b", 2, SmallCel, 1600, 1200, 40, 40},
    {"outlines alone 1600x1200", 3, Outlines, 1600, 1200, 40, 40},
    {"sample-scan drawing 1600x1200", 7, SampleScan, 1600, 1200, 40, 40},
    {"cel 4000x3000", 2024, bench_layers::SceneStyle{}, 4000, 3000, 100, 100},
};
constexpr std::int32_t Gaps[] = {4, 8, 16};

void PrintFigures()
{
    const auto began = std::chrono::steady_clock::now();
    std::printf("\ngap-closing fill, evaluation set (openings of widths 1..gap across the lines; a leak paints a true\n"
                "region other than the seed's; the area share leaves out regions of fewer than gap*gap*4 pixels or\n"
                "with no pixel farther than gap/2+1 from the borders, counted as excluded):\n");
    Figures totals[std::size(Gaps)];
    for (const Case& c : Cases) {
        const bench_layers::Scene scene = bench_layers::MakeScene(c.seed, c.style, c.width, c.height);
        const SBitmap paint = LineArt(scene);
        const SBitmap trace = bench_layers::MakeTraceLayer(scene);
        const Truth truth = LabelRegions(paint);
        for (std::size_t g = 0; g < std::size(Gaps); ++g) {
            const Figures f = Evaluate(c.name, paint, trace, truth, Gaps[g], c.openings, c.elsewhere,
                                       c.seed * 100 + std::uint32_t(Gaps[g]));
            char title[96];
            std::snprintf(title, sizeof title, "  %s, gap %d", c.name, Gaps[g]);
            f.Print(title);
            totals[g].Add(f);
        }
    }
    for (std::size_t g = 0; g < std::size(Gaps); ++g) {
        char title[64];
        std::snprintf(title, sizeof title, "  all, gap %d", Gaps[g]);
        totals[g].Print(title);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("  (evaluated in %.1f s)\n", seconds);
    std::fflush(stdout);
}

// The figures, printed once; the time is the whole set's, cutting and scoring included.
void GapFillEvaluation(benchmark::State& state)
{
    for (auto _ : state)
        PrintFigures();
}
BENCHMARK(GapFillEvaluation)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(1);

}  // namespace
