// The whole converter process importing a 4000 x 3000 scan into a document, flush to disk
// included, beside libpng (or libjpeg) only decoding the same file in the same run. The import's
// peak memory is reported in bytes per scan pixel.
#include "BenchLayers.h"
#include "BenchProcess.h"
#include "BenchScans.h"
#include "Sxpng.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace ulib;

namespace {

// Runs the converter once; returns its peak resident memory in bytes, or -1 on failure.
long RunImport(const std::string& scan)
{
    return bench_process::Run({HUEDRANE_CLI, "import", "--force", scan, "-o", scan + ".hdq"});
}

void ImportProcess(benchmark::State& state, const char* extension)
{
    const std::string scan = bench_scans::ScanFile(extension);
    long peak = 0;
    for (auto _ : state) {
        const long used = RunImport(scan);
        if (used < 0) {
            state.SkipWithError("huedrane-cli import failed");
            return;
        }
        peak = std::max(peak, used);
    }
    state.counters["peakBytesPerPixel"] = double(peak) / (double(bench_layers::Width) * bench_layers::Height);
    state.counters["pixels"] = benchmark::Counter(double(bench_layers::Width) * bench_layers::Height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void DecodeOnly(benchmark::State& state, const char* extension)
{
    const std::string scan = bench_scans::ScanFile(extension);
    SBitmap picture;
    for (auto _ : state) {
        const SError err = std::string(extension) == ".png" ? ReadPngFile(&picture, SString(scan)) : ReadJpegFile(&picture, SString(scan));
        if (err != 0) {
            state.SkipWithError("decode failed");
            return;
        }
    }
    state.counters["pixels"] = benchmark::Counter(double(bench_layers::Width) * bench_layers::Height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

// djpeg, libjpeg-turbo's own decoder program, decoding the scan as a whole process.
void ImportJpegScan_ref_djpeg(benchmark::State& state)
{
    const std::string scan = bench_scans::ScanFile(".jpg");
    for (auto _ : state)
        if (bench_process::Run({"djpeg", "-outfile", "/dev/null", scan}) < 0) {
            state.SkipWithError("djpeg failed (libjpeg-turbo-progs installed?)");
            return;
        }
}

void ImportPngScan(benchmark::State& state) { ImportProcess(state, ".png"); }
void ImportPngScan_ref_libpngDecode(benchmark::State& state) { DecodeOnly(state, ".png"); }
void ImportJpegScan(benchmark::State& state) { ImportProcess(state, ".jpg"); }
void ImportJpegScan_ref_libjpegDecode(benchmark::State& state) { DecodeOnly(state, ".jpg"); }
BENCHMARK(ImportPngScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportPngScan_ref_libpngDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportJpegScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportJpegScan_ref_libjpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportJpegScan_ref_djpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
