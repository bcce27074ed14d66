// The shipped TIFF plug-in on a 4000 x 3000 scan stored as LZW TIFF. Reading the file the way an
// import does (ReadImageFile with the plug-ins, so through the helper process and its shared
// memory) and the plug-in's GetPicture called in this process, each beside libtiff decoding the
// same bytes into one buffer in the same run. Counter: "pixels" (a rate).
#include "BenchLayers.h"
#include "SSpiAccess.h"
#include "SusiePlugin.h"
#include "Sximage.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit scan or its green channel as 8-bit grey, as a file and as bytes.
struct ScanTiff
{
    std::string path;
    Bytes bytes;
    SBitmap expected;  // what a reader must give
    ~ScanTiff()
    {
        if (!path.empty())
            std::filesystem::remove(path);
    }
};

ScanTiff WriteScanTiff(bool grey)
{
    ScanTiff scan;
    const SBitmap& layer = bench_layers::ScanLayer();
    const std::uint32_t width = std::uint32_t(layer.Width()), height = std::uint32_t(layer.Height());
    scan.expected.Create(layer.Width(), layer.Height(), grey ? -8 : 24);
    scan.path = (std::filesystem::temp_directory_path() /
                 ("huedrane-plugin-bench-" + std::to_string(::getpid()) + (grey ? "-grey.tif" : "-rgb.tif")))
                    .string();
    TIFF* tiff = TIFFOpen(scan.path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, grey ? 1 : 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    Bytes row(width * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* bgr = layer.Row(std::int32_t(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            if (grey) {
                row[x] = bgr[3 * x + 1];
            } else {
                row[3 * x] = bgr[3 * x + 2];
                row[3 * x + 1] = bgr[3 * x + 1];
                row[3 * x + 2] = bgr[3 * x];
            }
        }
        TIFFWriteScanline(tiff, row.data(), y, 0);
        if (grey)
            std::memcpy(scan.expected.Row(std::int32_t(y)), row.data(), width);
        else
            std::memcpy(scan.expected.Row(std::int32_t(y)), bgr, width * 3);
    }
    TIFFClose(tiff);
    std::FILE* file = std::fopen(scan.path.c_str(), "rb");
    scan.bytes.resize(std::filesystem::file_size(scan.path));
    if (std::fread(scan.bytes.data(), 1, scan.bytes.size(), file) != scan.bytes.size())
        scan.bytes.clear();
    std::fclose(file);
    return scan;
}

const ScanTiff& Scan(bool grey)
{
    static const ScanTiff rgb = WriteScanTiff(false);
    static const ScanTiff greyScan = WriteScanTiff(true);
    return grey ? greyScan : rgb;
}

void SetCounters(benchmark::State& state)
{
    state.counters["pixels"] = benchmark::Counter(double(bench_layers::Width) * bench_layers::Height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

// The peer: libtiff on the same bytes in memory, every strip decoded into one buffer.
struct Memory
{
    const Bytes* bytes;
    toff_t at = 0;
};

tmsize_t MemoryRead(thandle_t h, void* buffer, tmsize_t size)
{
    auto* m = static_cast<Memory*>(h);
    const toff_t n = std::min<toff_t>(toff_t(size), m->bytes->size() - std::min<toff_t>(m->at, m->bytes->size()));
    std::memcpy(buffer, m->bytes->data() + m->at, n);
    m->at += n;
    return tmsize_t(n);
}
tmsize_t MemoryWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t MemorySeek(thandle_t h, toff_t offset, int whence)
{
    auto* m = static_cast<Memory*>(h);
    m->at = (whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->at : m->bytes->size()) + offset;
    return m->at;
}
int MemoryClose(thandle_t) { return 0; }
toff_t MemorySize(thandle_t h) { return static_cast<Memory*>(h)->bytes->size(); }
int MemoryMap(thandle_t h, void** base, toff_t* size)
{
    auto* m = static_cast<Memory*>(h);
    *base = const_cast<std::uint8_t*>(m->bytes->data());
    *size = m->bytes->size();
    return 1;
}
void MemoryUnmap(thandle_t, void*, toff_t) {}

bool LibtiffDecode(const Bytes& bytes, Bytes& buffer)
{
    Memory memory{&bytes};
    TIFF* tiff = TIFFClientOpen("bench", "r", &memory, MemoryRead, MemoryWrite, MemorySeek, MemoryClose, MemorySize,
                                MemoryMap, MemoryUnmap);
    if (!tiff)
        return false;
    const tmsize_t stripSize = TIFFStripSize(tiff);
    const tstrip_t strips = TIFFNumberOfStrips(tiff);
    buffer.resize(std::size_t(stripSize) * strips);
    bool ok = true;
    for (tstrip_t s = 0; s < strips && ok; ++s)
        ok = TIFFReadEncodedStrip(tiff, s, buffer.data() + std::size_t(stripSize) * s, stripSize) >= 0;
    TIFFClose(tiff);
    return ok;
}

void LibtiffPeer(benchmark::State& state, bool grey)
{
    const ScanTiff& scan = Scan(grey);
    Bytes buffer;
    if (!LibtiffDecode(scan.bytes, buffer)) {
        state.SkipWithError("libtiff failed");
        return;
    }
    for (auto _ : state) {
        LibtiffDecode(scan.bytes, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    SetCounters(state);
}

bool SamePixels(const SBitmap& a, const SBitmap& b)
{
    if (a.Dimensions() != b.Dimensions() || a.Format() != b.Format())
        return false;
    const std::size_t row = std::size_t(a.Width()) * std::size_t(std::abs(a.Format()) / 8);
    for (std::int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), row) != 0)
            return false;
    return true;
}

// The import's picture reading: the built-in readers decline, the plug-ins found beside the
// program (the helper process and tiff.spi) read the file.
void ReadTiffThroughPlugins(benchmark::State& state)
{
    const ScanTiff& scan = Scan(false);
    SSpiAccess spi;
    FindPlugins(spi, SString());
    SBitmap picture;
    if (ReadImageFile(&picture, SString(scan.path), PluginPictureReader(spi)) != 0 || !SamePixels(picture, scan.expected)) {
        state.SkipWithError("reading through the plug-in failed or gave other pixels");
        return;
    }
    for (auto _ : state) {
        picture.Release();
        ReadImageFile(&picture, SString(scan.path), PluginPictureReader(spi));
        benchmark::DoNotOptimize(picture.PixelArea());
    }
    SetCounters(state);
}

void ReadTiffThroughPlugins_ref_libtiffDecode(benchmark::State& state) { LibtiffPeer(state, false); }

// The plug-in's own decoding, without the helper process: dlopen and GetPicture.
class PluginLibrary
{
public:
    PluginLibrary() : library_(::dlopen(HUEDRANE_TIFF_SPI, RTLD_NOW | RTLD_LOCAL))
    {
        if (library_)
            getPicture = reinterpret_cast<SpiGetPicture>(::dlsym(library_, "GetPicture"));
    }
    ~PluginLibrary()
    {
        if (library_)
            ::dlclose(library_);
    }
    SpiGetPicture getPicture = nullptr;

private:
    void* library_;
};

int GetPicture(const PluginLibrary& plugin, const Bytes& bytes, SpiHandle& info, SpiHandle& pixels)
{
    return plugin.getPicture(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()), SPI_INPUT_MEMORY, &info,
                             &pixels, nullptr, 0);
}

void PluginGetPicture(benchmark::State& state, bool grey)
{
    const ScanTiff& scan = Scan(grey);
    PluginLibrary plugin;
    SpiHandle info = nullptr;
    SpiHandle pixels = nullptr;
    if (!plugin.getPicture || GetPicture(plugin, scan.bytes, info, pixels) != SPI_SUCCESS ||
        SpiSize(pixels) != scan.expected.PixelAreaSize() ||
        std::memcmp(SpiData(pixels), scan.expected.PixelArea(), SpiSize(pixels)) != 0) {
        SpiFree(info);
        SpiFree(pixels);
        state.SkipWithError("GetPicture failed or gave other pixels");
        return;
    }
    SpiFree(info);
    SpiFree(pixels);
    for (auto _ : state) {
        GetPicture(plugin, scan.bytes, info, pixels);
        benchmark::DoNotOptimize(SpiData(pixels));
        SpiFree(info);
        SpiFree(pixels);
    }
    SetCounters(state);
}

void TiffGetPictureRgb(benchmark::State& state) { PluginGetPicture(state, false); }
void TiffGetPictureRgb_ref_libtiffDecode(benchmark::State& state) { LibtiffPeer(state, false); }
void TiffGetPictureGrey(benchmark::State& state) { PluginGetPicture(state, true); }
void TiffGetPictureGrey_ref_libtiffDecode(benchmark::State& state) { LibtiffPeer(state, true); }

}  // namespace

BENCHMARK(ReadTiffThroughPlugins)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadTiffThroughPlugins_ref_libtiffDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TiffGetPictureRgb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TiffGetPictureRgb_ref_libtiffDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TiffGetPictureGrey)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TiffGetPictureGrey_ref_libtiffDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
