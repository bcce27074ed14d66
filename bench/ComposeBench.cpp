// Whole-cel composition of a realistic 4000 x 3000 cel, beside a memcpy of the same layers' bytes
// and pixman's OVER of four layers row by row.
#include "SCel.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace ulib;

namespace {

constexpr std::int32_t Width = 4000;
constexpr std::int32_t Height = 3000;

// A seeded cel: a grey genga scan with dark strokes, flat paint regions bounded by black borders,
// mostly empty trace with lines on the borders, a sparse extra layer and a 32-bit under layer.
SCel& BenchCel()
{
    static SCel cel = [] {
        SCel c;
        std::mt19937 rng(7);
        c.display.Create(Width, Height, 32);
        c.genga.Create(Width, Height, 24);
        c.paint.Create(Width, Height, 32);
        c.trace.Create(Width, Height, 32);
        c.extra.Create(Width, Height, 32);
        c.under.Create(Width, Height, 32);
        const std::uint32_t fills[4] = {0xFFE0B090u, 0xFF90C0E0u, 0xFFF0F0F0u, 0xFF806040u};
        for (std::int32_t y = 0; y < Height; ++y) {
            std::uint8_t* g = c.genga.Row(y);
            std::uint32_t* p = c.paint.Row32(y);
            std::uint32_t* t = c.trace.Row32(y);
            std::uint32_t* e = c.extra.Row32(y);
            std::uint32_t* u = c.under.Row32(y);
            for (std::int32_t x = 0; x < Width; ++x) {
                const bool border = x % 160 < 2 || y % 120 < 2;
                const std::uint8_t grey = border ? std::uint8_t(rng() % 40) : std::uint8_t(235 + rng() % 20);
                g[3 * x] = g[3 * x + 1] = g[3 * x + 2] = grey;
                const int region = (x / 160 + y / 120) % 5;
                p[x] = border ? cel_values::BorderBlack : region == 4 ? cel_values::Unpainted : fills[region];
                t[x] = border ? cel_values::BlackLine(255) : cel_values::NoLine;
                e[x] = (x / 40 + y / 40) % 53 == 0 ? 0x80FF2020u : 0;
                u[x] = 0xFF000000u | std::uint32_t(x * 255 / Width) << 8;
            }
        }
        c.visible = {true, true, true, true, true};
        return c;
    }();
    return cel;
}

void ComposeAll(benchmark::State& state)
{
    SCel& cel = BenchCel();
    cel.ComposeAll();
    // Check once: a painted region shows its colour, a border black, an extra dab its blend.
    if (cel.display.Row32(60)[80] != 0xFFE0B090u || cel.display.Row32(60)[1] != 0xFF000000u) {
        state.SkipWithError("composition gave an unexpected result");
        return;
    }
    for (auto _ : state) {
        cel.ComposeAll();
        benchmark::DoNotOptimize(cel.display.Row32(0));
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(double(Width) * Height, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ComposeAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes the composition reads, copied once each into reused buffers.
void ComposeAll_ref_memcpy(benchmark::State& state)
{
    SCel& cel = BenchCel();
    const SBitmap* layers[] = {&cel.under, &cel.genga, &cel.paint, &cel.trace, &cel.extra};
    std::vector<std::vector<std::uint8_t>> copies;
    for (const SBitmap* layer : layers)
        copies.emplace_back(layer->PixelAreaSize(), 1);
    for (auto _ : state) {
        for (std::size_t i = 0; i < copies.size(); ++i)
            std::memcpy(copies[i].data(), layers[i]->PixelArea(), copies[i].size());
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(double(Width) * Height, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ComposeAll_ref_memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

pixman_image_t* Wrap(SBitmap& layer)
{
    // Stored rows are bottom-up; pixman sees them top-down, which a whole-image walk does not mind.
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, layer.Width(), layer.Height(),
                                     reinterpret_cast<std::uint32_t*>(layer.PixelArea()), layer.Stride());
}

// Four 32-bit layers composited with OVER onto a destination, one row at a time.
void ComposeAll_ref_pixmanOver(benchmark::State& state)
{
    SCel& cel = BenchCel();
    SBitmap genga32;
    genga32.Create(Width, Height, 32);
    for (std::int32_t y = 0; y < Height; ++y)
        for (std::int32_t x = 0; x < Width; ++x)
            genga32.Row32(y)[x] = 0xFF000000u | cel.genga.Row(y)[3 * x];
    SBitmap destination;
    destination.Create(Width, Height, 32);
    pixman_image_t* sources[] = {Wrap(genga32), Wrap(cel.paint), Wrap(cel.trace), Wrap(cel.extra)};
    pixman_image_t* target = Wrap(destination);
    for (auto _ : state) {
        for (std::int32_t y = 0; y < Height; ++y)
            for (pixman_image_t* source : sources)
                pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, y, 0, 0, 0, y, Width, 1);
        benchmark::ClobberMemory();
    }
    for (pixman_image_t* source : sources)
        pixman_image_unref(source);
    pixman_image_unref(target);
    state.counters["pixels"] = benchmark::Counter(double(Width) * Height, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ComposeAll_ref_pixmanOver)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
