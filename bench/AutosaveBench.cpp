// The interface thread's longest pause for autosave on a 4000 x 3000 cel with an extra layer: the
// worst single tick (rows copied within the tick's budget, then the write handed to the worker) of
// the first copy of a whole cel, of the copy after a fill-all step, and after a brush stroke.
#include "BenchLayers.h"
#include "SHuedraneController.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace ulib;

namespace {

using Clock = std::chrono::steady_clock;

SCel SceneWithExtra()
{
    SCel cel = bench_layers::SceneCel();
    cel.extra.Create(bench_layers::Width, bench_layers::Height, 32);
    for (std::int32_t y = 0; y < bench_layers::Height; y += 7)
        cel.extra.Row32(y)[y % bench_layers::Width] = 0xFF102030u;
    (void)cel.held.Append(cel.genga);
    return cel;
}

enum Change : int { WholeCel = 0, FillAll = 1, Stroke = 2 };

void AutosaveWorstTick(benchmark::State& state)
{
    char pattern[] = "/tmp/huedrane-bench-autosave-XXXXXX";
    const char* folder = ::mkdtemp(pattern);
    if (!folder) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const SCel scene = SceneWithExtra();
    SHuedraneController c;
    c.TakeCel(scene);
    c.MarkSaved();
    c.StartAutosave(SString(std::string(folder) + "/recovery"));
    c.SetAutosaveLimits(1, 0);
    c.SetColourMode(SColourMode::Colour);
    const Change change = Change(state.range(0));
    // The copy kept from the last autosave: later ones copy only what changed since.
    c.MarkModified();
    for (bool again = true; again;)
        again = c.AutosaveTick(Clock::now()).again;
    c.WaitForAutosave();
    (void)c.AutosaveTick(Clock::now());
    double ticks = 0, copyMs = 0;
    std::int32_t round = 0;
    for (auto _ : state) {
        ++round;
        if (change == WholeCel) {
            c.TakeCel(scene);  // a new cel: every row of every layer is to be copied
            c.MarkSaved();
            c.MarkModified();
        } else if (change == FillAll) {
            c.SetCurrentColour(SColor(std::uint8_t(round), 90, 40));
            c.RunWholeCel(SWholeCelOperation::FillPaint);
        } else {
            c.SetCurrentColour(SColor(std::uint8_t(round), 90, 40));
            c.MouseDown(ToolBrush, {1000 + round % 100, 800});
            for (std::int32_t i = 1; i <= 40; ++i)
                c.MouseMove({1000 + round % 100 + i * 20, 800 + i * 10});
            c.MouseUp();
        }
        double worst = 0, total = 0;
        for (bool again = true; again;) {
            const Clock::time_point start = Clock::now();
            again = c.AutosaveTick(start).again;
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            worst = std::max(worst, seconds);
            total += seconds;
            ++ticks;
        }
        state.SetIterationTime(worst);
        copyMs += total * 1000;
        c.WaitForAutosave();
        if (c.AutosaveTick(Clock::now()).failure != 0)
            state.SkipWithError("the recovery copy could not be written");
    }
    state.counters["ticks"] = benchmark::Counter(ticks, benchmark::Counter::kAvgIterations);
    state.counters["copyMs"] = benchmark::Counter(copyMs, benchmark::Counter::kAvgIterations);
    c.ClearCel();
    std::filesystem::remove_all(folder);
}
BENCHMARK(AutosaveWorstTick)
    ->Arg(WholeCel)
    ->Arg(FillAll)
    ->Arg(Stroke)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

}  // namespace
