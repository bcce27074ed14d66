// The converter's export and batch import as whole processes, beside their peers in the same run:
// exporting a 4000 x 3000 document to PNG beside libpng encoding the exported picture at its
// default level (sizes as "encoded"), and eight 2000 x 1500 imports with -j 2 beside -j 1.
#include "BenchProcess.h"
#include "BenchScans.h"
#include "Sxpng.h"

#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace ulib;

namespace {

// The document the export reads: the default scene's scan imported.
std::string ExportDocument()
{
    const std::string scan = bench_scans::ScanFile(".png");
    const std::string document = scan + ".export.hdq";
    if (!std::filesystem::exists(document))
        bench_process::Run({HUEDRANE_CLI, "import", "--force", scan, "-o", document});
    return document;
}

void ExportPngDocument(benchmark::State& state)
{
    const std::string document = ExportDocument();
    const std::string target = document + ".png";
    for (auto _ : state)
        if (bench_process::Run({HUEDRANE_CLI, "export", "--format", "png", "--force", document, "-o", target}) < 0) {
            state.SkipWithError("huedrane-cli export failed");
            return;
        }
    state.counters["encoded"] = double(std::filesystem::file_size(target));
}

// libpng's simplified writer at its defaults, on the picture the export wrote.
void ExportPngDocument_ref_libpngEncode(benchmark::State& state)
{
    const std::string exported = ExportDocument() + ".png";
    if (!std::filesystem::exists(exported))
        bench_process::Run({HUEDRANE_CLI, "export", "--format", "png", "--force", ExportDocument(), "-o", exported});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, exported.c_str())) {
        state.SkipWithError("the exported picture cannot be read");
        return;
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        state.SkipWithError("the exported picture cannot be decoded");
        return;
    }
    const std::string target = exported + ".libpng.png";
    for (auto _ : state) {
        png_image out = image;
        out.opaque = nullptr;
        if (!png_image_write_to_file(&out, target.c_str(), 0, pixels.data(), 0, nullptr)) {
            state.SkipWithError("libpng could not write");
            return;
        }
    }
    state.counters["encoded"] = double(std::filesystem::file_size(target));
}

// oneCore: the batch held to the first core (taskset), the throughput one core gives whatever
// the program's own threads.
void BatchImport(benchmark::State& state, const char* jobs, bool oneCore = false)
{
    const std::vector<std::string> scans = bench_scans::BatchScans(8, 2000, 1500);
    std::vector<std::string> arguments = {HUEDRANE_CLI, "import", "--force", "-j", jobs};
    if (oneCore)
        arguments.insert(arguments.begin(), {"/usr/bin/taskset", "-c", "0"});
    arguments.insert(arguments.end(), scans.begin(), scans.end());
    for (auto _ : state)
        if (bench_process::Run(arguments) < 0) {
            state.SkipWithError("huedrane-cli import failed");
            return;
        }
}
void BatchImportTwoJobs(benchmark::State& state) { BatchImport(state, "2"); }
void BatchImportTwoJobs_ref_oneJob(benchmark::State& state) { BatchImport(state, "1"); }
void BatchImportTwoJobs_ref_oneJobOneCore(benchmark::State& state) { BatchImport(state, "1", true); }

BENCHMARK(ExportPngDocument)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ExportPngDocument_ref_libpngEncode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BatchImportTwoJobs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BatchImportTwoJobs_ref_oneJob)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BatchImportTwoJobs_ref_oneJobOneCore)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
