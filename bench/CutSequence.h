// Seeded sequences of cels that differ as the cels of a cut do, with the true colour of every
// region and every colour line known: the evaluation set of the colour carry.
// One scene (overlapping ellipses whose visible outlines are the drawing's lines, free strokes, a
// colour per shape and a conversion colour per colour line) is drawn once per cel through that
// cel's movement: a similarity (shift, rotation, scale about the centre) walked from cel to cel,
// plus a smooth local warp of its own. Each cel also splits some shapes with a line across them
// and leaves out the outline between some pairs of touching shapes (a merge).
#pragma once

#include "BenchLayers.h"
#include "SBitmap.h"
#include "SCelValues.h"
#include "SRegionLabels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace cut_sequence {

using bench_layers::Random;

inline constexpr double Pi = 3.14159265358979;
// Conversion colour of a colour line the painter leaves as a pencil line.
inline constexpr std::uint32_t NotConverted = 0xFFFFFFFFu;

struct Ellipse
{
    double cx, cy, rx, ry, cosA, sinA;
};

struct Stroke
{
    double x0, y0, x1, y1, x2, y2, length;
    std::uint8_t code;  // 0 black, 1 blue, 2 green, 3 red
};

struct Scene
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<Ellipse> shapes;        // shape id i + 1
    std::vector<Stroke> strokes;        // line owner shapes.size() + 1 + i
    std::vector<std::uint32_t> fill;    // paint value per shape id (0, the background: unpainted)
    std::vector<std::uint32_t> convert; // conversion colour per line owner, or NotConverted
};

// The default: a busy 4000 x 3000 character cel of about 2500 regions.
struct SceneSize
{
    std::int32_t width = 4000;
    std::int32_t height = 3000;
    int shapes = 1800;
    double minRadius = 12;
    std::int32_t spreadDivisor = 14;
    int strokes = 700;
};

// Every ninth shape has a coloured outline; a line between two shapes is the later shape's.
inline std::uint8_t OutlineCode(std::uint32_t shape) { return shape % 9 == 0 ? std::uint8_t(1 + shape / 9 % 3) : 0; }

inline Scene MakeScene(std::uint32_t seed, const SceneSize& size = {})
{
    Scene s;
    s.width = size.width;
    s.height = size.height;
    Random rng(seed);
    const std::int32_t spread = std::max(1, std::min(size.width, size.height) / size.spreadDivisor);
    for (int i = 0; i < size.shapes; ++i) {
        const double a = rng.Below(3142) / 1000.0;
        s.shapes.push_back({double(rng.Below(size.width)), double(rng.Below(size.height)),
                            size.minRadius + rng.Below(spread), size.minRadius + rng.Below(spread), std::cos(a),
                            std::sin(a)});
    }
    for (int i = 0; i < size.strokes; ++i) {
        const double x0 = rng.Below(size.width), y0 = rng.Below(size.height);
        const double length = 40 + rng.Below(300);
        const double a = rng.Below(6283) / 1000.0, bend = (rng.Below(2001) - 1000) / 1000.0;
        const double x2 = x0 + length * std::cos(a), y2 = y0 + length * std::sin(a);
        const double x1 = (x0 + x2) / 2 - bend * length / 2 * std::sin(a), y1 = (y0 + y2) / 2 + bend * length / 2 * std::cos(a);
        const std::uint8_t code = rng.Below(4) == 0 ? std::uint8_t(1 + rng.Below(3)) : 0;
        s.strokes.push_back({x0, y0, x1, y1, x2, y2, length, code});
    }
    s.fill.push_back(cel_values::Unpainted);
    for (int i = 0; i < size.shapes; ++i)  // a palette of 24 colours, as a cel's colour model has
        s.fill.push_back(0xFF000000u | ((std::uint32_t(rng.Below(24)) * 0x9E3779B9u) >> 8));
    s.convert.assign(s.shapes.size() + s.strokes.size() + 1, NotConverted);
    for (std::uint32_t& c : s.convert)
        if (rng.Below(10) < 7)
            c = (std::uint32_t(rng.Below(24)) * 0x85EBCA6Bu) >> 8;
    return s;
}

// How a cel shows the scene: pixel p of the cel shows the scene's point S^-1(p + warp(p)), S the
// similarity about the centre.
struct Motion
{
    double angle = 0, scale = 1, dx = 0, dy = 0;
    double warp = 0;  // amplitude in pixels
    double phase[4] = {};
    double wave[4] = {1, 1, 1, 1};  // periods per side
};

// The motions of `count` cels: each moves from the one before by up to the given limits (a walk
// that stays near the first cel), with a local warp of its own.
inline std::vector<Motion> WalkMotions(std::uint32_t seed, int count, std::int32_t width, double warpShare = 0.004)
{
    Random rng(seed);
    auto uniform = [&rng](double lo, double hi) { return lo + (hi - lo) * rng.Below(100001) / 100000.0; };
    std::vector<Motion> motions;
    Motion m;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            // Each step moves within the cut's limits, drawn back towards the first cel's place.
            m.angle = std::clamp(m.angle + uniform(-6, 6) * Pi / 180, -10 * Pi / 180, 10 * Pi / 180);
            m.scale = std::clamp(m.scale * uniform(0.93, 1.07), 0.85, 1.18);
            m.dx = std::clamp(m.dx + uniform(-0.08, 0.08) * width, -0.12 * width, 0.12 * width);
            m.dy = std::clamp(m.dy + uniform(-0.08, 0.08) * width, -0.12 * width, 0.12 * width);
        }
        m.warp = warpShare * width;
        for (int k = 0; k < 4; ++k) {
            m.phase[k] = uniform(0, 2 * Pi);
            m.wave[k] = uniform(0.7, 2.0);
        }
        motions.push_back(m);
    }
    return motions;
}

// What changes in the drawing of one cel besides the movement.
struct Changes
{
    std::vector<std::pair<std::uint32_t, double>> splits;      // shape id, angle of the line across it
    std::set<std::pair<std::uint32_t, std::uint32_t>> merged;  // shape pairs without the line between them
};

// About share of the shapes split and share merged with a touching shape, chosen afresh per cel:
// between two cels the changes of both count, so the default changes about 5% of the shapes.
inline Changes ChooseChanges(const Scene& scene, std::uint32_t seed, double share = 0.0125)
{
    Random rng(seed);
    Changes c;
    const std::uint32_t shapes = std::uint32_t(scene.shapes.size());
    for (std::uint32_t id = 1; id <= shapes; ++id) {
        if (rng.Below(100000) < std::int32_t(share * 100000))
            c.splits.push_back({id, rng.Below(3142) / 1000.0});
        if (rng.Below(100000) < std::int32_t(share * 100000)) {
            // A later shape that overlaps this one: their outlines likely touch.
            const Ellipse& e = scene.shapes[id - 1];
            for (std::uint32_t other = id + 1; other <= shapes; ++other) {
                const Ellipse& o = scene.shapes[other - 1];
                if (std::hypot(o.cx - e.cx, o.cy - e.cy) < std::max(e.rx, e.ry) + std::max(o.rx, o.ry)) {
                    c.merged.insert({id, other});
                    break;
                }
            }
        }
    }
    return c;
}

// One drawn cel: its layers as the import leaves them (nothing painted, no line converted), and
// the truth: each pixel's shape and, for colour-line pixels, the line they belong to.
struct Cel
{
    ulib::SBitmap paint;  // 32-bit: borders under the lines, unpainted elsewhere
    ulib::SBitmap trace;  // 32-bit
    ulib::SBitmap flag;   // 8-bit, all 0
    std::vector<std::uint16_t> shape;  // per pixel
    std::vector<std::uint32_t> owner;  // per pixel: the line a line pixel belongs to (0 none)
};

class Renderer
{
public:
    Renderer(const Scene& scene, const Motion& m) : s_(scene), m_(m)
    {
        cx_ = scene.width / 2.0;
        cy_ = scene.height / 2.0;
        cos_ = std::cos(-m.angle);
        sin_ = std::sin(-m.angle);
        for (std::int32_t x = 0; x < scene.width; ++x) {
            warpX_.push_back(m.warp * std::sin(2 * Pi * m.wave[0] * x / scene.width + m.phase[0]));
            warpYx_.push_back(m.warp * std::sin(2 * Pi * m.wave[1] * x / scene.width + m.phase[1]));
        }
        for (std::int32_t y = 0; y < scene.height; ++y) {
            warpXy_.push_back(m.warp * std::sin(2 * Pi * m.wave[2] * y / scene.height + m.phase[2]));
            warpY_.push_back(m.warp * std::sin(2 * Pi * m.wave[3] * y / scene.height + m.phase[3]));
        }
    }

    // The scene point cel pixel (x, y) shows.
    void ScenePoint(std::int32_t x, std::int32_t y, double& qx, double& qy) const
    {
        const double px = x + (warpX_[std::size_t(x)] + warpXy_[std::size_t(y)]) / 2 - cx_ - m_.dx;
        const double py = y + (warpYx_[std::size_t(x)] + warpY_[std::size_t(y)]) / 2 - cy_ - m_.dy;
        qx = (cos_ * px - sin_ * py) / m_.scale + cx_;
        qy = (sin_ * px + cos_ * py) / m_.scale + cy_;
    }
    // Roughly where a scene point shows (the warp taken at the unwarped place).
    void CelPoint(double qx, double qy, double& x, double& y) const
    {
        const double ux = qx - cx_, uy = qy - cy_;
        x = m_.scale * (cos_ * ux + sin_ * uy) + cx_ + m_.dx;
        y = m_.scale * (-sin_ * ux + cos_ * uy) + cy_ + m_.dy;
        const std::int32_t ix = std::clamp(std::int32_t(x), 0, s_.width - 1), iy = std::clamp(std::int32_t(y), 0, s_.height - 1);
        x -= (warpX_[std::size_t(ix)] + warpXy_[std::size_t(iy)]) / 2;
        y -= (warpYx_[std::size_t(ix)] + warpY_[std::size_t(iy)]) / 2;
    }

    Cel Draw(const Changes& changes) const
    {
        const std::int32_t w = s_.width, h = s_.height;
        const std::size_t n = std::size_t(w) * std::size_t(h);
        Cel cel;
        cel.shape.assign(n, 0);
        cel.owner.assign(n, 0);
        std::vector<std::uint8_t> density(n, 0), code(n, 0);
        for (std::size_t i = 0; i < s_.shapes.size(); ++i) {
            const Ellipse& e = s_.shapes[i];
            double ex = 0, ey = 0;
            CelPoint(e.cx, e.cy, ex, ey);
            const double r = std::max(e.rx, e.ry) * m_.scale + m_.warp + 3;
            ForBox(ex, ey, r, [&](std::int32_t x, std::int32_t y, double qx, double qy) {
                const double dx = qx - e.cx, dy = qy - e.cy;
                const double u = (dx * e.cosA + dy * e.sinA) / e.rx, v = (dy * e.cosA - dx * e.sinA) / e.ry;
                if (u * u + v * v <= 1.0)
                    cel.shape[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::uint16_t(i + 1);
            });
        }
        // Outlines: both pixels of each pair of neighbours in different shapes, unless merged.
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                const std::uint32_t here = cel.shape[i];
                for (const std::size_t j : {x + 1 < w ? i + 1 : i, y + 1 < h ? i + std::size_t(w) : i}) {
                    const std::uint32_t other = cel.shape[j];
                    if (other == here || changes.merged.count({std::min(here, other), std::max(here, other)}))
                        continue;
                    const std::uint32_t later = std::max(here, other);
                    for (const std::size_t k : {i, j}) {
                        density[k] = 255;
                        code[k] = OutlineCode(later);
                        cel.owner[k] = later;
                    }
                }
            }
        // Split lines: a straight black line across the shape through its centre.
        for (const auto& [id, angle] : changes.splits) {
            const Ellipse& e = s_.shapes[id - 1];
            double ex = 0, ey = 0;
            CelPoint(e.cx, e.cy, ex, ey);
            const double nx = -std::sin(angle), ny = std::cos(angle), half = 1.6 / m_.scale;
            ForBox(ex, ey, std::max(e.rx, e.ry) * m_.scale + m_.warp + 3, [&](std::int32_t x, std::int32_t y, double qx, double qy) {
                const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                if (cel.shape[i] == id && std::abs((qx - e.cx) * nx + (qy - e.cy) * ny) <= half) {
                    density[i] = 255;
                    code[i] = 0;
                    cel.owner[i] = 0;
                }
            });
        }
        GrowRings(density, code, cel.owner, w, h);
        DrawStrokes(density, code, cel.owner);

        cel.paint.Create(w, h, 32);
        cel.trace.Create(w, h, 32);
        cel.flag.Create(w, h, 8);
        cel.flag.ResetPixels();
        static constexpr std::uint32_t Borders[4] = {cel_values::BorderBlack, cel_values::BorderBlue,
                                                     cel_values::BorderGreen, cel_values::BorderRed};
        for (std::int32_t y = 0; y < h; ++y) {
            std::uint32_t* paint = cel.paint.Row32(y);
            std::uint32_t* trace = cel.trace.Row32(y);
            for (std::int32_t x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                const std::uint32_t d = density[i];
                paint[x] = d != 0 ? Borders[code[i]] : cel_values::Unpainted;
                trace[x] = d == 0 ? cel_values::NoLine
                           : code[i] == 0 ? cel_values::BlackLine(d)
                                          : cel_values::ColouredLine(d, code[i] == 3 ? cel_values::CodeRed : code[i]);
                if (d == 0 || code[i] == 0)
                    cel.owner[i] = 0;
            }
        }
        return cel;
    }

private:
    template <typename Visit>
    void ForBox(double cx, double cy, double r, Visit visit) const
    {
        const std::int32_t x0 = std::max(0, std::int32_t(cx - r)), x1 = std::min(s_.width, std::int32_t(cx + r + 1));
        const std::int32_t y0 = std::max(0, std::int32_t(cy - r)), y1 = std::min(s_.height, std::int32_t(cy + r + 1));
        for (std::int32_t y = y0; y < y1; ++y)
            for (std::int32_t x = x0; x < x1; ++x) {
                double qx = 0, qy = 0;
                ScenePoint(x, y, qx, qy);
                visit(x, y, qx, qy);
            }
    }

    // Two rings of falling density around the cores: anti-aliased lines about 6 pixels wide.
    static void GrowRings(std::vector<std::uint8_t>& density, std::vector<std::uint8_t>& code,
                          std::vector<std::uint32_t>& owner, std::int32_t w, std::int32_t h)
    {
        for (int ring = 0; ring < 2; ++ring) {
            const std::uint8_t inner = ring == 0 ? 255 : 254;
            std::vector<std::size_t> grown;
            for (std::int32_t y = 1; y + 1 < h; ++y)
                for (std::int32_t x = 1; x + 1 < w; ++x) {
                    const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                    if (density[i] != 0)
                        continue;
                    for (const std::size_t j : {i - 1, i + 1, i - std::size_t(w), i + std::size_t(w)})
                        if (density[j] == inner) {
                            code[i] = code[j];
                            owner[i] = owner[j];
                            grown.push_back(i);
                            break;
                        }
                }
            if (ring == 1)
                for (std::uint8_t& d : density)
                    if (d == 254)
                        d = 190;
            for (const std::size_t i : grown)
                density[i] = ring == 0 ? 254 : 70;
        }
    }

    void DrawStrokes(std::vector<std::uint8_t>& density, std::vector<std::uint8_t>& code,
                     std::vector<std::uint32_t>& owner) const
    {
        const std::int32_t w = s_.width, h = s_.height;
        for (std::size_t k = 0; k < s_.strokes.size(); ++k) {
            const Stroke& st = s_.strokes[k];
            const int steps = int(st.length * 2);
            for (int step = 0; step <= steps; ++step) {
                const double t = double(step) / steps, u = 1 - t;
                double px = 0, py = 0;
                CelPoint(u * u * st.x0 + 2 * u * t * st.x1 + t * t * st.x2, u * u * st.y0 + 2 * u * t * st.y1 + t * t * st.y2,
                         px, py);
                const double radius = (0.6 + 1.8 * std::sin(Pi * t)) * m_.scale;
                for (std::int32_t y = std::int32_t(py - radius - 1); y <= std::int32_t(py + radius + 1); ++y)
                    for (std::int32_t x = std::int32_t(px - radius - 1); x <= std::int32_t(px + radius + 1); ++x) {
                        if (x < 0 || y < 0 || x >= w || y >= h)
                            continue;
                        const double cover = radius + 0.5 - std::hypot(x - px, y - py);
                        if (cover <= 0)
                            continue;
                        const std::uint8_t d = std::uint8_t(255 * std::min(1.0, cover));
                        const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
                        if (d > density[i]) {
                            density[i] = d;
                            code[i] = st.code;
                            owner[i] = std::uint32_t(s_.shapes.size() + 1 + k);
                        }
                    }
            }
        }
    }

    const Scene& s_;
    Motion m_;
    double cx_, cy_, cos_, sin_;
    std::vector<double> warpX_, warpYx_, warpXy_, warpY_;
};

// The true colour of each region of a cel's paint layer: the colour of the shape most of its
// pixels belong to (labels from the cel's own paint layer).
inline std::vector<std::uint32_t> TrueColours(const Scene& scene, const Cel& cel, const SRegionLabels& labels)
{
    std::vector<std::vector<std::pair<std::uint16_t, std::int32_t>>> votes(std::size_t(labels.Count()));
    for (std::int32_t y = 0; y < labels.Height(); ++y)
        for (std::int32_t x = 0; x < labels.Width(); ++x)
            if (const std::int32_t l = labels.At(x, y)) {
                const std::uint16_t s = cel.shape[std::size_t(y) * std::size_t(labels.Width()) + std::size_t(x)];
                auto& v = votes[std::size_t(l - 1)];
                auto it = std::find_if(v.begin(), v.end(), [&](const auto& p) { return p.first == s; });
                if (it == v.end())
                    v.push_back({s, 1});
                else
                    ++it->second;
            }
    std::vector<std::uint32_t> colours;
    for (const auto& v : votes) {
        std::vector<std::pair<std::uint32_t, std::int32_t>> byColour;
        for (const auto& [s, count] : v) {
            const std::uint32_t c = scene.fill[s];
            auto it = std::find_if(byColour.begin(), byColour.end(), [&](const auto& p) { return p.first == c; });
            if (it == byColour.end())
                byColour.push_back({c, count});
            else
                it->second += count;
        }
        colours.push_back(std::max_element(byColour.begin(), byColour.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; })
                              ->first);
    }
    return colours;
}

// Paints a drawn cel as its painter would: every region in its true colour (exactly what a fill
// click in that colour leaves), and every colour line the painter converts in its colour.
inline void PaintAsPainter(const Scene& scene, Cel& cel)
{
    SRegionLabels labels;
    labels.Build(cel.paint);
    const std::vector<std::uint32_t> colours = TrueColours(scene, cel, labels);
    for (std::int32_t y = 0; y < labels.Height(); ++y) {
        std::uint32_t* paint = cel.paint.Row32(y);
        std::uint32_t* trace = cel.trace.Row32(y);
        std::uint8_t* flag = cel.flag.Row(y);
        for (std::int32_t x = 0; x < labels.Width(); ++x) {
            if (const std::int32_t l = labels.At(x, y))
                paint[x] = colours[std::size_t(l - 1)];
            const std::uint32_t owner = cel.owner[std::size_t(y) * std::size_t(labels.Width()) + std::size_t(x)];
            if (owner != 0 && scene.convert[owner] != NotConverted) {
                flag[x] = std::uint8_t(cel_values::ColourCode(trace[x]) & 3u);
                trace[x] = cel_values::ConvertedLine(cel_values::ColourDensity(trace[x]), scene.convert[owner]);
            }
        }
    }
}

}  // namespace cut_sequence
