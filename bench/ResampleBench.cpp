// Resample throughput: a seeded 4000 x 3000 32-bit layer reduced to one third, beside a plain
// memcpy of the same source bytes and OpenCV's area resize of the same pixels.
#include "SBitmap.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t SourceWidth = 4000;
constexpr std::int32_t SourceHeight = 3000;
constexpr std::int32_t TargetWidth = SourceWidth / 3;
constexpr std::int32_t TargetHeight = SourceHeight / 3;

// Opaque, translucent and fully transparent pixels, so the alpha weighting is exercised.
const ulib::SBitmap& SeededLayer()
{
    static const ulib::SBitmap layer = [] {
        ulib::SBitmap image;
        image.Create(SourceWidth, SourceHeight, 32);
        std::mt19937 random(20240601u);
        for (std::int32_t y = 0; y < SourceHeight; ++y) {
            std::uint32_t* row = image.Row32(y);
            for (std::int32_t x = 0; x < SourceWidth; ++x) {
                std::uint32_t v = random();
                std::uint32_t alpha = (v >> 24) < 64 ? 0 : (v >> 24) < 128 ? 255 : v >> 24;
                row[x] = (v & 0x00FFFFFF) | alpha << 24;
            }
        }
        return image;
    }();
    return layer;
}

// The target pixel (x, y) computed straight from the area-averaging definition, pixel by pixel.
ulib::SColor ReferencePixel(const ulib::SBitmap& source, std::int32_t x, std::int32_t y)
{
    auto span = [](std::int32_t from, std::int32_t to, std::int32_t d) {
        std::uint64_t scale = std::uint64_t(from) * 65536 / std::uint64_t(to);
        return std::pair<std::uint64_t, std::uint64_t>(std::uint64_t(d) * scale >> 8, std::uint64_t(d + 1) * scale >> 8);
    };
    auto [x0, x1] = span(source.Width(), TargetWidth, x);
    auto [y0, y1] = span(source.Height(), TargetHeight, y);
    std::uint64_t sums[3] = {}, alphaSum = 0, total = 0;
    for (std::uint64_t sy = y0 >> 8; sy * 256 < y1; ++sy) {
        std::uint64_t wy = std::min(y1, sy * 256 + 256) - std::max(y0, sy * 256);
        for (std::uint64_t sx = x0 >> 8; sx * 256 < x1; ++sx) {
            std::uint64_t w = wy * (std::min(x1, sx * 256 + 256) - std::max(x0, sx * 256));
            ulib::SColor c = source.GetColor(std::int32_t(sx), std::int32_t(sy));
            std::uint64_t a = 255u - c.t;
            total += w;
            alphaSum += w * a;
            sums[0] += w * a * c.r;
            sums[1] += w * a * c.g;
            sums[2] += w * a * c.b;
        }
    }
    if (alphaSum == 0)
        return ulib::SColor(0, 0, 0, 255);
    return ulib::SColor(std::uint8_t(sums[0] / alphaSum), std::uint8_t(sums[1] / alphaSum), std::uint8_t(sums[2] / alphaSum),
                        std::uint8_t(255 - alphaSum / total));
}

bool ResultIsRight(const ulib::SBitmap& source, const ulib::SBitmap& result)
{
    if (result.Width() != TargetWidth || result.Height() != TargetHeight || result.Format() != 32)
        return false;
    const std::int32_t probes[][2] = {{0, 0}, {1, 1}, {TargetWidth - 1, TargetHeight - 1}, {517, 333}, {1000, 999}, {77, 500}};
    for (const auto& p : probes)
        if (result.GetColor(p[0], p[1]) != ReferencePixel(source, p[0], p[1]))
            return false;
    return true;
}

void SetPixelRate(benchmark::State& state)
{
    state.counters["pixels"] = benchmark::Counter(double(SourceWidth) * SourceHeight, benchmark::Counter::kIsIterationInvariantRate);
}

void ResampleToThird(benchmark::State& state)
{
    const ulib::SBitmap& source = SeededLayer();
    if (!ResultIsRight(source, ulib::Resample(source, TargetWidth, TargetHeight))) {
        state.SkipWithError("resampled pixels differ from the area-averaging reference");
        return;
    }
    for (auto _ : state) {
        ulib::SBitmap result = ulib::Resample(source, TargetWidth, TargetHeight);
        benchmark::DoNotOptimize(result.Row32(0));
    }
    SetPixelRate(state);
}
BENCHMARK(ResampleToThird)->Unit(benchmark::kMillisecond)->UseRealTime();

void ResampleToThird_ref_memcpy(benchmark::State& state)
{
    const ulib::SBitmap& source = SeededLayer();
    std::vector<std::uint8_t> target(source.PixelAreaSize());
    for (auto _ : state) {
        std::memcpy(target.data(), source.PixelArea(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    SetPixelRate(state);
}
BENCHMARK(ResampleToThird_ref_memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

// OpenCV's area interpolation on the same 4-channel bytes (without our alpha weighting).
void ResampleToThird_ref_opencvArea(benchmark::State& state)
{
    const ulib::SBitmap& source = SeededLayer();
    cv::Mat input(SourceHeight, SourceWidth, CV_8UC4, const_cast<std::uint8_t*>(source.PixelArea()),
                  std::size_t(source.Stride()));
    cv::Mat output;
    for (auto _ : state) {
        cv::resize(input, output, cv::Size(TargetWidth, TargetHeight), 0, 0, cv::INTER_AREA);
        benchmark::DoNotOptimize(output.data);
    }
    SetPixelRate(state);
}
BENCHMARK(ResampleToThird_ref_opencvArea)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
