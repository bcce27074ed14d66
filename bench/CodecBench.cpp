// The layer codec on realistic 4000 x 3000 layers (trace, paint, 24-bit scan): Compress and Decode
// throughput in MB of raw pixels per second, beside libpng encoding (default level) and decoding
// the same pixels and a memcpy of them. Counters: "bytes" (raw bytes, a rate) and "encoded" (the
// compressed size, ours or PNG's).
#include "BenchLayers.h"
#include "SQuickPress.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

using namespace ulib;

namespace {

struct NamedLayer
{
    const char* name;
    const SBitmap& (*layer)();
};
const NamedLayer Layers[] = {{"Trace", bench_layers::TraceLayer},
                             {"Paint", bench_layers::PaintLayer},
                             {"Scan", bench_layers::ScanLayer}};

std::size_t RawBytes(const SBitmap& image)
{
    return std::size_t(image.Width()) * std::size_t(image.Height()) * std::size_t(image.Format() / 8);
}

bool SamePixels(const SBitmap& a, const SBitmap& b)
{
    if (a.Dimensions() != b.Dimensions() || a.Format() != b.Format())
        return false;
    const std::size_t row = std::size_t(a.Width()) * std::size_t(a.Format() / 8);
    for (std::int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), row) != 0)
            return false;
    return true;
}

void SetCounters(benchmark::State& state, const SBitmap& image, std::size_t encoded)
{
    state.counters["pixels"] = benchmark::Counter(double(image.Width()) * image.Height(),
                                                  benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes"] = benchmark::Counter(double(RawBytes(image)), benchmark::Counter::kIsIterationInvariantRate);
    if (encoded != 0)
        state.counters["encoded"] = benchmark::Counter(double(encoded));
}

// libpng to and from memory, with the program's B, G, R(, A) pixel order and its row addresses.
struct PngStream
{
    std::vector<std::uint8_t> bytes;
    std::size_t readAt = 0;
};

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* stream = static_cast<PngStream*>(png_get_io_ptr(png));
    stream->bytes.insert(stream->bytes.end(), data, data + length);
}
void PngFlush(png_structp) {}
void PngRead(png_structp png, png_bytep data, png_size_t length)
{
    auto* stream = static_cast<PngStream*>(png_get_io_ptr(png));
    if (length > stream->bytes.size() - stream->readAt)
        png_error(png, "read past the end");
    std::memcpy(data, stream->bytes.data() + stream->readAt, length);
    stream->readAt += length;
}

std::vector<png_bytep> RowPointers(const SBitmap& image)
{
    std::vector<png_bytep> rows(std::size_t(image.Height()));
    for (std::int32_t y = 0; y < image.Height(); ++y)
        rows[std::size_t(y)] = const_cast<png_bytep>(image.Row(y));
    return rows;
}

bool EncodePng(const SBitmap& image, PngStream& stream)
{
    stream.bytes.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows = RowPointers(image);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &stream, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(image.Width()), png_uint_32(image.Height()), 8,
                 image.Format() == 32 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Decodes into an image that already has the picture's size and format.
bool DecodePng(PngStream& stream, SBitmap& image)
{
    stream.readAt = 0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_bytep> rows = RowPointers(image);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &stream, PngRead);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void Encode(benchmark::State& state, const NamedLayer& named)
{
    const SBitmap& image = named.layer();
    SQuickPressLayer layer;
    SBitmap check;
    if (layer.Compress(image) != 0 || layer.Decode(check) != 0 || !SamePixels(check, image)) {
        state.SkipWithError("the layer does not come back from its tiles");
        return;
    }
    for (auto _ : state) {
        layer.Compress(image);
        benchmark::DoNotOptimize(layer.tiles.Count());
    }
    SetCounters(state, image, layer.ByteSize());
}

void Decode(benchmark::State& state, const NamedLayer& named)
{
    const SBitmap& image = named.layer();
    SQuickPressLayer layer;
    SBitmap decoded;
    if (layer.Compress(image) != 0 || layer.Decode(decoded) != 0 || !SamePixels(decoded, image)) {
        state.SkipWithError("the layer does not come back from its tiles");
        return;
    }
    for (auto _ : state) {
        layer.Decode(decoded);
        benchmark::DoNotOptimize(decoded.Row(0));
        benchmark::ClobberMemory();
    }
    SetCounters(state, image, layer.ByteSize());
}

void PngEncode(benchmark::State& state, const NamedLayer& named)
{
    const SBitmap& image = named.layer();
    PngStream stream;
    SBitmap check;
    check.Create(image.Width(), image.Height(), image.Format());
    if (!EncodePng(image, stream) || !DecodePng(stream, check) || !SamePixels(check, image)) {
        state.SkipWithError("libpng does not give the layer back");
        return;
    }
    for (auto _ : state) {
        EncodePng(image, stream);
        benchmark::DoNotOptimize(stream.bytes.data());
    }
    SetCounters(state, image, stream.bytes.size());
}

void PngDecode(benchmark::State& state, const NamedLayer& named)
{
    const SBitmap& image = named.layer();
    PngStream stream;
    SBitmap decoded;
    decoded.Create(image.Width(), image.Height(), image.Format());
    if (!EncodePng(image, stream) || !DecodePng(stream, decoded) || !SamePixels(decoded, image)) {
        state.SkipWithError("libpng does not give the layer back");
        return;
    }
    for (auto _ : state) {
        DecodePng(stream, decoded);
        benchmark::DoNotOptimize(decoded.Row(0));
        benchmark::ClobberMemory();
    }
    SetCounters(state, image, stream.bytes.size());
}

void Copy(benchmark::State& state, const NamedLayer& named)
{
    const SBitmap& image = named.layer();
    std::vector<std::uint8_t> target(image.PixelAreaSize());
    for (auto _ : state) {
        std::memcpy(target.data(), image.PixelArea(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state, image, 0);
}

// Names pair each figure with its references for ratios.py: CodecEncode_Trace beside
// CodecEncode_Trace_ref_libpng and CodecEncode_Trace_ref_memcpy.
const bool registered = [] {
    for (const NamedLayer& named : Layers) {
        const std::string encode = std::string("CodecEncode_") + named.name;
        const std::string decode = std::string("CodecDecode_") + named.name;
        const std::pair<std::string, void (*)(benchmark::State&, const NamedLayer&)> runs[] = {
            {encode, Encode},           {encode + "_ref_libpng", PngEncode}, {encode + "_ref_memcpy", Copy},
            {decode, Decode},           {decode + "_ref_libpng", PngDecode}, {decode + "_ref_memcpy", Copy}};
        for (const auto& [name, run] : runs)
            benchmark::RegisterBenchmark(name.c_str(), run, named)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    return true;
}();

}  // namespace
