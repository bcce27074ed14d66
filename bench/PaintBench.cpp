// Editing a 4000 x 3000 cel: a brush stroke of 100 dabs of radius 16, and fill-all of the paint
// layer, each with its undo recording and recomposition, as the painter sees them.
#include "BenchLayers.h"
#include "SHuedraneController.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace ulib;

namespace {

SHuedraneController& BenchController()
{
    static SHuedraneController c;
    static bool made = false;
    if (!made) {
        c.TakeCel(bench_layers::SceneCel());
        made = true;
    }
    return c;
}

void BrushStroke100Dabs(benchmark::State& state)
{
    SHuedraneController& c = BenchController();
    c.SetColourMode(SColourMode::Colour);
    c.SetBrush({16, 30, 200});
    const std::vector<std::uint32_t> before(c.Cel().paint.Row32(1500), c.Cel().paint.Row32(1500) + bench_layers::Width);
    for (auto _ : state) {
        c.MouseDown(ToolBrush, {1000, 1500});
        for (std::int32_t i = 1; i < 100; ++i)
            c.MouseMove({1000 + i * 12, 1500 + (i % 7) * 3});
        c.MouseUp();
        state.PauseTiming();
        c.Undo();
        state.ResumeTiming();
    }
    if (!std::equal(before.begin(), before.end(), c.Cel().paint.Row32(1500)))
        state.SkipWithError("undo did not restore the stroke's rows");
}
BENCHMARK(BrushStroke100Dabs)->Unit(benchmark::kMillisecond)->UseRealTime();

void FillAllPaint(benchmark::State& state)
{
    SHuedraneController& c = BenchController();
    c.SetColourMode(SColourMode::Colour);
    c.SetCurrentColour(SColor(200, 40, 90));
    for (auto _ : state) {
        c.RunWholeCel(SWholeCelOperation::FillPaint);
        state.PauseTiming();
        c.Undo();
        state.ResumeTiming();
    }
    state.counters["pixels"] = benchmark::Counter(double(bench_layers::Width) * bench_layers::Height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(FillAllPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
