// Seeded, realistic cel layers for the benchmarks (4000 x 3000 unless asked otherwise), all drawn
// from one scene of overlapping shapes whose outlines are the drawing's lines:
//   trace: sparse anti-aliased lines (black of a density, a few coloured): the shapes' outlines and
//          free tapered strokes; no line elsewhere;
//   paint: flat regions painted at alpha 255, some left unpainted, border values (black under
//          black lines, red, green or blue under coloured ones) under every line pixel;
//   scan:  a 24-bit scan of the drawing: noisy, unevenly lit greyish paper with dark strokes.
// The same seed gives the same pixels on every run and machine.
#pragma once

#include "SBitmap.h"
#include "SCel.h"
#include "SCelValues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace bench_layers {

inline constexpr std::int32_t Width = 4000;
inline constexpr std::int32_t Height = 3000;

// A small, fast generator with fixed output (unlike the standard distributions).
class Random
{
public:
    explicit Random(std::uint32_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return std::uint32_t((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    // Uniform in 0..n-1.
    std::int32_t Below(std::int32_t n) { return std::int32_t(std::uint64_t(Next()) * std::uint32_t(n) >> 32); }

private:
    std::uint64_t state_;
};

// The drawing: which shape each pixel belongs to, and the lines along the shapes' visible outlines.
struct Scene
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint16_t> shape;   // 0 is the background
    std::vector<std::uint8_t> density;  // line density, 0 where there is no line
    std::vector<std::uint8_t> colour;   // line colour code: 0 black, 1 blue, 2 green, 3 red

    std::size_t At(std::int32_t x, std::int32_t y) const { return std::size_t(y) * std::size_t(width) + std::size_t(x); }
};

// Every ninth shape has a coloured outline (a shadow or highlight boundary in a real cel).
inline std::uint8_t OutlineColour(std::uint16_t shape) { return shape % 9 == 0 ? std::uint8_t(1 + shape / 9 % 3) : 0; }

// How the drawing is made: the default is a busy character cel of many small shapes; a few broad
// shapes with fewer strokes leave regions of megapixels (the fill benchmark's).
struct SceneStyle
{
    int shapes = 150;
    double minRadius = 8;
    std::int32_t spreadDivisor = 6;  // radii reach minRadius + the short side / spreadDivisor
    int strokes = 400;
    double minStrokeLength = 40;
    std::int32_t strokeLengthRange = 360;
};

inline Scene MakeScene(std::uint32_t seed, const SceneStyle& style = {}, std::int32_t width = Width,
                       std::int32_t height = Height)
{
    Scene s;
    s.width = width;
    s.height = height;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    s.shape.assign(n, 0);
    s.density.assign(n, 0);
    s.colour.assign(n, 0);
    Random rng(seed);
    const std::int32_t spread = std::max(1, std::min(width, height) / style.spreadDivisor);

    // Rotated ellipses painted one over another: later shapes hide the outlines of earlier ones.
    for (int id = 1; id <= style.shapes; ++id) {
        const double cx = rng.Below(width), cy = rng.Below(height);
        const double rx = style.minRadius + rng.Below(spread), ry = style.minRadius + rng.Below(spread);
        const double angle = rng.Below(3142) / 1000.0, c = std::cos(angle), sn = std::sin(angle);
        const double r = std::max(rx, ry);
        const std::int32_t x0 = std::max(0, std::int32_t(cx - r)), x1 = std::min(width, std::int32_t(cx + r + 1));
        const std::int32_t y0 = std::max(0, std::int32_t(cy - r)), y1 = std::min(height, std::int32_t(cy + r + 1));
        for (std::int32_t y = y0; y < y1; ++y)
            for (std::int32_t x = x0; x < x1; ++x) {
                const double dx = x - cx, dy = y - cy;
                const double u = (dx * c + dy * sn) / rx, v = (dy * c - dx * sn) / ry;
                if (u * u + v * v <= 1.0)
                    s.shape[s.At(x, y)] = std::uint16_t(id);
            }
    }

    // Outlines: both pixels of every pair of neighbours in different shapes are the stroke's core,
    // then two rings of falling density make the anti-aliased edge (lines about 6 pixels wide).
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint16_t here = s.shape[s.At(x, y)];
            const std::uint16_t right = x + 1 < width ? s.shape[s.At(x + 1, y)] : here;
            const std::uint16_t below = y + 1 < height ? s.shape[s.At(x, y + 1)] : here;
            if (here == right && here == below)
                continue;
            const std::uint16_t other = here != right ? right : below;
            const std::uint8_t code = OutlineColour(std::max(here, other));
            const std::size_t pair = here != right ? s.At(x + 1, y) : s.At(x, y + 1);
            for (std::size_t i : {s.At(x, y), pair}) {
                s.density[i] = 255;
                s.colour[i] = code;
            }
        }
    for (int ring = 0; ring < 2; ++ring) {
        const std::uint8_t inner = ring == 0 ? 255 : 254;  // ring 1 is marked 254 until it is done
        std::vector<std::size_t> grown;
        for (std::int32_t y = 1; y + 1 < height; ++y)
            for (std::int32_t x = 1; x + 1 < width; ++x) {
                const std::size_t i = s.At(x, y);
                if (s.density[i] != 0)
                    continue;
                for (std::size_t j : {i - 1, i + 1, i - std::size_t(width), i + std::size_t(width)})
                    if (s.density[j] == inner) {
                        s.colour[i] = s.colour[j];
                        grown.push_back(i);
                        break;
                    }
            }
        if (ring == 1)
            for (std::uint8_t& d : s.density)
                if (d == 254)
                    d = std::uint8_t(150 + rng.Below(80));
        for (std::size_t i : grown)
            s.density[i] = ring == 0 ? 254 : std::uint8_t(30 + rng.Below(80));
    }

    // Free strokes inside the shapes (hair, folds, shading boundaries): tapered quadratic curves.
    for (int stroke = 0; stroke < style.strokes; ++stroke) {
        const double x0 = rng.Below(width), y0 = rng.Below(height);
        const double length = style.minStrokeLength + rng.Below(style.strokeLengthRange);
        const double a = rng.Below(6283) / 1000.0, bend = (rng.Below(2001) - 1000) / 1000.0;
        const double x2 = x0 + length * std::cos(a), y2 = y0 + length * std::sin(a);
        const double x1 = (x0 + x2) / 2 - bend * length / 2 * std::sin(a), y1 = (y0 + y2) / 2 + bend * length / 2 * std::cos(a);
        const std::uint8_t code = rng.Below(6) == 0 ? std::uint8_t(1 + rng.Below(3)) : 0;
        const int steps = int(length * 2);
        for (int k = 0; k <= steps; ++k) {
            const double t = double(k) / steps, u = 1 - t;
            const double px = u * u * x0 + 2 * u * t * x1 + t * t * x2, py = u * u * y0 + 2 * u * t * y1 + t * t * y2;
            const double radius = 0.6 + 1.8 * std::sin(3.14159 * t);
            for (std::int32_t y = std::int32_t(py - radius - 1); y <= std::int32_t(py + radius + 1); ++y)
                for (std::int32_t x = std::int32_t(px - radius - 1); x <= std::int32_t(px + radius + 1); ++x) {
                    if (x < 0 || y < 0 || x >= width || y >= height)
                        continue;
                    const double cover = radius + 0.5 - std::hypot(x - px, y - py);
                    if (cover <= 0)
                        continue;
                    const std::uint8_t d = std::uint8_t(255 * std::min(1.0, cover));
                    const std::size_t i = s.At(x, y);
                    if (d > s.density[i]) {
                        s.density[i] = d;
                        s.colour[i] = code;
                    }
                }
        }
    }
    return s;
}

inline ulib::SBitmap MakeTraceLayer(const Scene& s)
{
    ulib::SBitmap layer;
    layer.Create(s.width, s.height, 32);
    for (std::int32_t y = 0; y < s.height; ++y) {
        std::uint32_t* row = layer.Row32(y);
        for (std::int32_t x = 0; x < s.width; ++x) {
            const std::size_t i = s.At(x, y);
            const std::uint32_t d = s.density[i];
            row[x] = d == 0                ? cel_values::NoLine
                     : s.colour[i] == 0 ? cel_values::BlackLine(d)
                                        : cel_values::ColouredLine(d, s.colour[i]);
        }
    }
    return layer;
}

inline ulib::SBitmap MakePaintLayer(const Scene& s, std::uint32_t seed)
{
    static constexpr std::uint32_t Borders[4] = {cel_values::BorderBlack, cel_values::BorderBlue,
                                                 cel_values::BorderGreen, cel_values::BorderRed};
    std::vector<std::uint32_t> fill(65536);
    Random rng(seed);
    for (std::uint32_t& f : fill) {
        const std::uint32_t rgb = rng.Next() & 0x00FFFFFFu;
        f = rng.Below(100) < 15 ? cel_values::Unpainted : 0xFF000000u | rgb;
    }
    fill[0] = cel_values::Unpainted;  // the background stays unpainted
    ulib::SBitmap layer;
    layer.Create(s.width, s.height, 32);
    for (std::int32_t y = 0; y < s.height; ++y) {
        std::uint32_t* row = layer.Row32(y);
        for (std::int32_t x = 0; x < s.width; ++x) {
            const std::size_t i = s.At(x, y);
            row[x] = s.density[i] != 0 ? Borders[s.colour[i]] : fill[s.shape[i]];
        }
    }
    return layer;
}

inline ulib::SBitmap MakeScanLayer(const Scene& s, std::uint32_t seed)
{
    Random rng(seed);
    ulib::SBitmap layer;
    layer.Create(s.width, s.height, 24);
    auto noise = [&rng] {  // roughly normal, sigma about 3.5
        const std::uint32_t v = rng.Next();
        return std::int32_t(v & 15) + std::int32_t(v >> 4 & 15) + std::int32_t(v >> 8 & 15) - 22;
    };
    for (std::int32_t y = 0; y < s.height; ++y) {
        std::uint8_t* row = layer.Row(y);
        for (std::int32_t x = 0; x < s.width; ++x) {
            const std::size_t i = s.At(x, y);
            const std::int32_t light = 6 * x / std::max(1, s.width) - 4 * y / std::max(1, s.height);
            const std::int32_t d = s.density[i];
            const std::int32_t paper[3] = {226 + light, 234 + light, 238 + light};  // B, G, R
            const std::int32_t ink[3] = {s.colour[i] == 1 ? 150 : 50, s.colour[i] == 2 ? 120 : 45,
                                         s.colour[i] == 3 ? 170 : 48};
            for (int c = 0; c < 3; ++c) {
                const std::int32_t v = (paper[c] * (255 - d) + ink[c] * d) / 255 + noise();
                row[3 * x + c] = std::uint8_t(std::clamp(v, 0, 255));
            }
        }
    }
    return layer;
}

// The default layers, made once per process.
inline const Scene& DefaultScene()
{
    static const Scene scene = MakeScene(2024);
    return scene;
}
inline const ulib::SBitmap& TraceLayer()
{
    static const ulib::SBitmap layer = MakeTraceLayer(DefaultScene());
    return layer;
}
inline const ulib::SBitmap& PaintLayer()
{
    static const ulib::SBitmap layer = MakePaintLayer(DefaultScene(), 7);
    return layer;
}
inline const ulib::SBitmap& ScanLayer()
{
    static const ulib::SBitmap layer = MakeScanLayer(DefaultScene(), 11);
    return layer;
}

// A working cel of the default scene's scan, paint and trace layers, composed.
inline SCel SceneCel()
{
    SCel cel;
    cel.genga = ScanLayer();
    cel.paint = PaintLayer();
    cel.trace = TraceLayer();
    cel.display.Create(Width, Height, 32);
    cel.flag.Create(Width, Height, 8);
    cel.ComposeAll();
    return cel;
}

}  // namespace bench_layers
