// Scan files the converter benchmarks import: the default scene's scan as PNG and JPEG (4000 x 3000),
// and a set of smaller scans of other scenes for batches. Written once per benchmark process.
#pragma once

#include "BenchLayers.h"
#include "Sxpng.h"

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench_scans {

inline std::filesystem::path Folder()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-import-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string ScanFile(const char* extension)
{
    const std::string path = (Folder() / (std::string("scan") + extension)).string();
    if (!std::filesystem::exists(path)) {
        const ulib::SBitmap& scan = bench_layers::ScanLayer();
        if (std::string(extension) == ".png")
            ulib::WritePngFile(&scan, ulib::SString(path));
        else
            ulib::WriteJpegFile(scan, ulib::SString(path));
    }
    return path;
}

// count PNG scans of width x height, each of its own scene.
inline std::vector<std::string> BatchScans(int count, std::int32_t width, std::int32_t height)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const std::string path = (Folder() / ("batch-" + std::to_string(i) + ".png")).string();
        if (!std::filesystem::exists(path)) {
            const ulib::SBitmap scan =
                bench_layers::MakeScanLayer(bench_layers::MakeScene(100 + std::uint32_t(i), {}, width, height), 11);
            ulib::WritePngFile(&scan, ulib::SString(path));
        }
        paths.push_back(path);
    }
    return paths;
}

}  // namespace bench_scans
