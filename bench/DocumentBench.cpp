// Saving and opening a 4000 x 3000 document of four layers, beside libpng writing and reading the
// same four layers as PNG files (both sides write through the same replace-on-commit files).
#include "BenchLayers.h"
#include "SCel.h"
#include "SDocumentFile.h"
#include "Sxpng.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using namespace ulib;

namespace {

std::filesystem::path BenchFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path f = std::filesystem::temp_directory_path() / ("huedrane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

// The cel an imported scan becomes after some painting: genga held as stored, a sparse extra layer.
const SCel& BenchDocument()
{
    static const SCel cel = [] {
        SCel c;
        c.genga = bench_layers::ScanLayer();
        c.paint = bench_layers::PaintLayer();
        c.trace = bench_layers::TraceLayer();
        c.extra.Create(bench_layers::Width, bench_layers::Height, 32);
        for (std::int32_t y = 1000; y < 1400; ++y)
            for (std::int32_t x = 2000; x < 2600; ++x)
                c.extra.Row32(y)[x] = 0x80FF4020u;
        c.display.Create(bench_layers::Width, bench_layers::Height, 32);
        c.flag.Create(bench_layers::Width, bench_layers::Height, 8);
        c.held.Append(c.genga);
        c.ComposeAll();
        return c;
    }();
    return cel;
}

const SString DocumentPath() { return SString((BenchFolder() / "cel.hdq").string()); }

std::string PngPath(int i) { return (BenchFolder() / ("layer" + std::to_string(i) + ".png")).string(); }

void SetLayerRate(benchmark::State& state)
{
    state.counters["pixels"] = benchmark::Counter(4.0 * bench_layers::Width * bench_layers::Height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void SaveDocumentFile(benchmark::State& state)
{
    const SCel& cel = BenchDocument();
    for (auto _ : state)
        if (SaveDocument(cel, DocumentPath()) != 0)
            state.SkipWithError("save failed");
    state.counters["encoded"] = double(std::filesystem::file_size(DocumentPath().Str()));
    SetLayerRate(state);
}
BENCHMARK(SaveDocumentFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void SaveDocumentFile_ref_libpngEncode(benchmark::State& state)
{
    const SCel& cel = BenchDocument();
    const SBitmap* layers[] = {&cel.genga, &cel.paint, &cel.trace, &cel.extra};
    for (auto _ : state)
        for (int i = 0; i < 4; ++i)
            if (WritePngFile(layers[i], SString(PngPath(i))) != 0)
                state.SkipWithError("PNG write failed");
    double bytes = 0;
    for (int i = 0; i < 4; ++i)
        bytes += double(std::filesystem::file_size(PngPath(i)));
    state.counters["encoded"] = bytes;
    SetLayerRate(state);
}
BENCHMARK(SaveDocumentFile_ref_libpngEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadDocumentFile(benchmark::State& state)
{
    const SCel& original = BenchDocument();
    SaveDocument(original, DocumentPath());
    SCel cel;
    if (LoadDocument(cel, DocumentPath()) != 0 || cel.display.Row32(1200)[2300] != original.display.Row32(1200)[2300]) {
        state.SkipWithError("the document does not open as it was saved");
        return;
    }
    for (auto _ : state) {
        LoadDocument(cel, DocumentPath());
        benchmark::DoNotOptimize(cel.display.Row32(0));
    }
    SetLayerRate(state);
}
BENCHMARK(LoadDocumentFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadDocumentFile_ref_libpngDecode(benchmark::State& state)
{
    const SCel& cel = BenchDocument();
    const SBitmap* layers[] = {&cel.genga, &cel.paint, &cel.trace, &cel.extra};
    for (int i = 0; i < 4; ++i)
        WritePngFile(layers[i], SString(PngPath(i)));
    SBitmap decoded[4];
    for (auto _ : state)
        for (int i = 0; i < 4; ++i)
            if (ReadPngFile(&decoded[i], SString(PngPath(i))) != 0)
                state.SkipWithError("PNG read failed");
    SetLayerRate(state);
}
BENCHMARK(LoadDocumentFile_ref_libpngDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
