// The region fill on a realistic 4000 x 3000 cel (genga, trace and paint layers, so that every
// painted span is recorded for undo and recomposed for real), beside OpenCV's 4-connected
// floodFill of the same region on a one-byte mask in the same run:
//   FillLargestRegion: the largest region of the scene's paint layer, about 2 Mpixels;
//   FillComb: a comb of about 31000 spans carved into the same layer (under the 32768-span limit),
//             which shows whether the cost grows with the spans alone;
//   FillLargestRegionClosingGaps: the largest region filled closing gaps of 8 pixels, beside the
//             plain fill of it;
//   GapSeamsWholeCel: the openings a gap of 8 closes over the whole default cel, as the view that
//             marks them finds them when it is shown or a border moved, beside OpenCV's labelling
//             of the layer; GapSeamsBorderPrint: the print that tells after every other edit that
//             the seams still hold.
// Each fill alternates between two colours, so every iteration repaints the whole region.
#include "BenchLayers.h"
#include "SCel.h"
#include "SHuedraneUndoBuffer.h"
#include "SGapFill.h"
#include "SGapSeams.h"
#include "SRegionFill.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace ulib;

namespace {

constexpr SColor Colours[2] = {SColor(240, 200, 160), SColor(90, 140, 210)};

const bench_layers::Scene& BroadScene()
{
    // Fewer, larger shapes and fewer free strokes than the default scene, so that its largest
    // region (the background, notched by strokes) is about 2 Mpixels.
    static const bench_layers::Scene scene = bench_layers::MakeScene(1, {30, 40, 4, 120, 60, 500});
    return scene;
}

// A cel with its undo buffer and tools, a region to fill in it and the same region as a mask.
struct FillScene
{
    SCel cel;
    SHuedraneUndoBuffer undo{cel.trace, cel.paint, cel.extra};
    SToolState tools;
    SBitmap reference;
    SPoint seed;
    std::int64_t area = 0;   // pixels of the region
    std::int64_t spans = 0;  // row runs of the region
    cv::Mat mask;            // 1 inside regions, 0 on borders

    explicit FillScene(const SBitmap& paint)
    {
        const bench_layers::Scene& scene = BroadScene();
        cel.display.Create(scene.width, scene.height, 32);
        cel.genga = bench_layers::MakeScanLayer(scene, 11);
        cel.trace = bench_layers::MakeTraceLayer(scene);
        cel.paint = paint;
        cel.flag.Create(scene.width, scene.height, 8);
        cel.ComposeAll();
        undo.SetDocumentSize(scene.width, scene.height);
        mask.create(scene.height, scene.width, CV_8UC1);
        for (std::int32_t y = 0; y < scene.height; ++y) {
            const std::uint32_t* row = cel.paint.Row32(y);
            std::uint8_t* m = mask.ptr<std::uint8_t>(y);
            for (std::int32_t x = 0; x < scene.width; ++x)
                m[x] = cel_values::IsBorder(row[x]) ? 0 : 1;
        }
    }

    // gap 0 is the plain fill.
    SRect Fill(int colour, SError& err, std::int32_t gap = 0)
    {
        undo.BeginStep("ペイント");
        tools.currentColour = Colours[colour];
        SPaintContext context{cel, undo, tools, reference};
        return gap == 0 ? FillRegion(context, seed, true, err) : FillRegionClosingGaps(context, seed, gap, true, err);
    }

    std::int64_t Count(std::uint32_t value) const
    {
        std::int64_t n = 0;
        for (std::int32_t y = 0; y < cel.paint.Height(); ++y)
            for (std::int32_t x = 0; x < cel.paint.Width(); ++x)
                n += cel.paint.Row32(y)[x] == value;
        return n;
    }
};

// The scene's largest region, found with OpenCV's 4-connected labelling.
bool FindLargestRegion(FillScene& scene)
{
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(scene.mask, labels, stats, centroids, 4, CV_32S);
    int best = 1;
    for (int i = 2; i < count; ++i)
        if (stats.at<int>(i, cv::CC_STAT_AREA) > stats.at<int>(best, cv::CC_STAT_AREA))
            best = i;
    scene.area = stats.at<int>(best, cv::CC_STAT_AREA);
    bool found = false;
    for (std::int32_t y = 0; y < labels.rows; ++y)
        for (std::int32_t x = 0; x < labels.cols; ++x) {
            if (labels.at<int>(y, x) != best)
                continue;
            if (!found)
                scene.seed = {x, y};
            found = true;
            scene.spans += x == 0 || labels.at<int>(y, x - 1) != best;
        }
    return found;
}

FillScene& LargestRegion()
{
    static FillScene scene(bench_layers::MakePaintLayer(BroadScene(), 7));
    [[maybe_unused]] static const bool found = FindLargestRegion(scene);
    return scene;
}

// Teeth 4 pixels wide, 2 apart, hanging 48 rows from a 4-row bar: 633 teeth, 30388 spans.
constexpr std::int32_t CombLeft = 100, CombTop = 200, TeethCount = 633, ToothWidth = 4, ToothGap = 2;
constexpr std::int32_t BarRows = 4, ToothRows = 48;
constexpr std::int32_t CombWidth = TeethCount * (ToothWidth + ToothGap) - ToothGap;
constexpr std::int32_t CombSpans = BarRows + TeethCount * ToothRows;
static_assert(CombSpans > 30000 && CombSpans < FillProcessedCapacity);

// The scene's paint layer with the comb carved in, inside a black frame that keeps it apart.
SBitmap CombPaint()
{
    SBitmap paint = bench_layers::MakePaintLayer(BroadScene(), 7);
    for (std::int32_t y = CombTop - 1; y <= CombTop + BarRows + ToothRows; ++y)
        for (std::int32_t x = CombLeft - 1; x <= CombLeft + CombWidth; ++x) {
            const std::int32_t dx = x - CombLeft, dy = y - CombTop;
            const bool open = dx >= 0 && dx < CombWidth && dy >= 0 &&
                              (dy < BarRows || (dy < BarRows + ToothRows && dx % (ToothWidth + ToothGap) < ToothWidth));
            paint.Row32(y)[x] = open ? cel_values::Unpainted : cel_values::BorderBlack;
        }
    return paint;
}

FillScene& Comb()
{
    static FillScene scene(CombPaint());
    scene.seed = {CombLeft, CombTop};
    scene.area = std::int64_t(CombWidth) * BarRows + std::int64_t(TeethCount) * ToothWidth * ToothRows;
    scene.spans = CombSpans;
    return scene;
}

// Fills once and compares the painted pixels with the region's size and OpenCV's filled count.
bool CheckOnce(benchmark::State& state, FillScene& scene)
{
    SError err = 0;
    const SRect changed = scene.Fill(0, err);
    cv::Mat copy = scene.mask.clone();
    const int filled = cv::floodFill(copy, cv::Point(scene.seed.x, scene.seed.y), 2, nullptr, 0, 0, 4);
    const std::int64_t painted = scene.Count(Colours[0].Pixel());
    if (err || changed.IsEmpty() || painted != scene.area || filled != scene.area) {
        state.SkipWithError("the fill does not paint the region OpenCV fills");
        return false;
    }
    return true;
}

void RunFill(benchmark::State& state, FillScene& scene)
{
    if (!CheckOnce(state, scene))
        return;
    int colour = 1;
    for (auto _ : state) {
        SError err = 0;
        benchmark::DoNotOptimize(scene.Fill(colour, err));
        colour ^= 1;
    }
    state.counters["pixels"] = benchmark::Counter(double(scene.area), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["spans"] = double(scene.spans);
}

void RunOpenCv(benchmark::State& state, FillScene& scene)
{
    cv::Mat image = scene.mask.clone();
    const cv::Point seed(scene.seed.x, scene.seed.y);
    int value = 1;
    for (auto _ : state) {
        value = 3 - value;  // 1 -> 2 -> 1: every iteration refills the whole region
        benchmark::DoNotOptimize(cv::floodFill(image, seed, value, nullptr, 0, 0, 4));
    }
    state.counters["pixels"] = benchmark::Counter(double(scene.area), benchmark::Counter::kIsIterationInvariantRate);
}

// The same region filled closing gaps of 8 pixels, beside the plain fill of it in the same run.
void RunClosingFill(benchmark::State& state, FillScene& scene)
{
    int colour = 1;
    for (auto _ : state) {
        SError err = 0;
        benchmark::DoNotOptimize(scene.Fill(colour, err, 8));
        colour ^= 1;
    }
    state.counters["pixels"] = benchmark::Counter(double(scene.area), benchmark::Counter::kIsIterationInvariantRate);
}

void GapSeamsWholeCel(benchmark::State& state)
{
    SBitmap paint = bench_layers::MakePaintLayer(bench_layers::DefaultScene(), 7);
    std::size_t seams = 0;
    for (auto _ : state) {
        SError err = 0;
        seams = FindGapSeams(paint, paint.Width(), paint.Height(), 8, err).size();
        if (err) {
            state.SkipWithError("the seams' maps could not be had");
            return;
        }
    }
    state.counters["seam_runs"] = double(seams);
}

void GapSeamsBorderPrint(benchmark::State& state)
{
    SBitmap paint = bench_layers::MakePaintLayer(bench_layers::DefaultScene(), 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(BorderPrint(paint, paint.Width(), paint.Height()));
}

void GapSeamsWholeCel_ref_opencvLabels(benchmark::State& state)
{
    const SBitmap paint = bench_layers::MakePaintLayer(bench_layers::DefaultScene(), 7);
    cv::Mat mask(paint.Height(), paint.Width(), CV_8UC1), labels;
    for (std::int32_t y = 0; y < paint.Height(); ++y)
        for (std::int32_t x = 0; x < paint.Width(); ++x)
            mask.ptr<std::uint8_t>(y)[x] = cel_values::IsBorder(paint.Row32(y)[x]) ? 0 : 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(cv::connectedComponents(mask, labels, 4, CV_32S));
}

void FillLargestRegion(benchmark::State& state) { RunFill(state, LargestRegion()); }
void FillLargestRegionClosingGaps(benchmark::State& state) { RunClosingFill(state, LargestRegion()); }
void FillLargestRegionClosingGaps_ref_plainFill(benchmark::State& state) { RunFill(state, LargestRegion()); }
void FillLargestRegion_ref_opencvFloodFill(benchmark::State& state) { RunOpenCv(state, LargestRegion()); }
void FillComb(benchmark::State& state) { RunFill(state, Comb()); }
void FillComb_ref_opencvFloodFill(benchmark::State& state) { RunOpenCv(state, Comb()); }

BENCHMARK(FillLargestRegion)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FillLargestRegion_ref_opencvFloodFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FillLargestRegionClosingGaps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FillLargestRegionClosingGaps_ref_plainFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GapSeamsWholeCel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GapSeamsWholeCel_ref_opencvLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GapSeamsBorderPrint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FillComb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FillComb_ref_opencvFloodFill)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
