// The whole converter process importing a 4000 x 3000 scan into a document, flush to disk
// included, beside libpng (or libjpeg) only decoding the same file in the same run. The import's
// peak memory is reported in bytes per scan pixel.
#include "BenchLayers.h"
#include "Sxpng.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulib;

namespace {

std::string ScanFile(const char* extension)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("huedrane-import-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::string("scan") + extension)).string();
    if (!std::filesystem::exists(path)) {
        const SBitmap& scan = bench_layers::ScanLayer();
        if (std::string(extension) == ".png")
            WritePngFile(&scan, SString(path));
        else
            WriteJpegFile(scan, SString(path));
    }
    return path;
}

// Runs the converter once; returns its peak resident memory in bytes, or -1 on failure.
long RunImport(const std::string& scan)
{
    const std::string target = scan + ".hdq";
    // posix_spawn shares the parent's memory until the exec, so the peak is the converter's own
    // (a fork would count the benchmark's resident layers in the child).
    const char* argv[] = {HUEDRANE_CLI, "import", "--force", scan.c_str(), "-o", target.c_str(), nullptr};
    pid_t child = -1;
    if (::posix_spawn(&child, HUEDRANE_CLI, nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss * 1024L;
}

void ImportProcess(benchmark::State& state, const char* extension)
{
    const std::string scan = ScanFile(extension);
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
    const std::string scan = ScanFile(extension);
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

void ImportPngScan(benchmark::State& state) { ImportProcess(state, ".png"); }
void ImportPngScan_ref_libpngDecode(benchmark::State& state) { DecodeOnly(state, ".png"); }
void ImportJpegScan(benchmark::State& state) { ImportProcess(state, ".jpg"); }
void ImportJpegScan_ref_libjpegDecode(benchmark::State& state) { DecodeOnly(state, ".jpg"); }
BENCHMARK(ImportPngScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportPngScan_ref_libpngDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportJpegScan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportJpegScan_ref_libjpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
