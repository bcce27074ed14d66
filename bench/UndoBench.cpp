// Undo and redo at depth on a 4000 x 3000 cel: a fill-all step of the paint layer undone and redone
// with the history holding 0, 100 and 500 older fill-all steps (a limit of 1000 steps, 8 GB).
#include "BenchLayers.h"
#include "SHuedraneController.h"

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace ulib;

namespace {

void UndoRedoFillAllAtDepth(benchmark::State& state)
{
    SHuedraneController c;
    c.TakeCel(bench_layers::SceneCel());
    c.SetUndoLimits(1000, 8192);
    c.SetColourMode(SColourMode::Colour);
    const std::int32_t older = std::int32_t(state.range(0));
    for (std::int32_t i = 0; i <= older; ++i) {
        c.SetCurrentColour(SColor(std::uint8_t(i), 40, 90));
        c.RunWholeCel(SWholeCelOperation::FillPaint);
    }
    const std::uint32_t filled = c.Cel().paint.Row32(1500)[2000];
    for (auto _ : state) {
        c.Undo();
        c.Redo();
    }
    if (c.Cel().paint.Row32(1500)[2000] != filled || !c.UndoBuffer().CanUndo())
        state.SkipWithError("undo and redo did not come back to the fill");
    state.counters["steps"] = double(older + 1);
    state.counters["undoMB"] = double(c.UndoBuffer().MemoryInUse()) / (1 << 20);
}
BENCHMARK(UndoRedoFillAllAtDepth)->Arg(0)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
