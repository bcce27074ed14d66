// Draws a synthetic key-drawing scan: off-white paper with grain and uneven light, closed pencil
// outlines of varying darkness with anti-aliased edges, red and blue colour lines, small gaps in the
// lines, dust specks, and JPEG-like 8 x 8 block noise. The picture is written as PNG, or as a real
// JPEG when the name ends in .jpg. data/sample-scan.jpg is made by this program:
//   huedrane-sample-scan 800 600 7 data/sample-scan.jpg
#include "BenchLayers.h"
#include "SError.h"
#include "Sxpng.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using bench_layers::Random;
using bench_layers::Scene;

// Short breaks in the outlines, as a pencil leaves them: the places the fill must bridge.
void BreakLines(Scene& s, Random& rng, int count)
{
    for (int k = 0; k < count; ++k) {
        const std::int32_t cx = rng.Below(s.width), cy = rng.Below(s.height);
        for (std::int32_t y = std::max(0, cy - 2); y < std::min(s.height, cy + 3); ++y)
            for (std::int32_t x = std::max(0, cx - 2); x < std::min(s.width, cx + 3); ++x)
                s.density[s.At(x, y)] = 0;
    }
}

// Dust: dark dots of one or two pixels on the paper.
void AddSpecks(Scene& s, Random& rng, int count)
{
    for (int k = 0; k < count; ++k) {
        const std::int32_t x = rng.Below(s.width - 1), y = rng.Below(s.height - 1);
        const std::uint8_t d = std::uint8_t(120 + rng.Below(120));
        s.density[s.At(x, y)] = std::max(s.density[s.At(x, y)], d);
        if (rng.Below(2))
            s.density[s.At(x + 1, y)] = std::max(s.density[s.At(x + 1, y)], d);
    }
}

// A small brightness offset per 8 x 8 block, like the blocks of a compressed scan.
void AddBlockNoise(ulib::SBitmap& scan, Random& rng)
{
    for (std::int32_t by = 0; by < scan.Height(); by += 8)
        for (std::int32_t bx = 0; bx < scan.Width(); bx += 8) {
            const std::int32_t offset = rng.Below(5) - 2;
            for (std::int32_t y = by; y < std::min(by + 8, scan.Height()); ++y) {
                std::uint8_t* row = scan.Row(y);
                for (std::int32_t x = 3 * bx; x < 3 * std::min(bx + 8, scan.Width()); ++x)
                    row[x] = std::uint8_t(std::clamp(row[x] + offset, 0, 255));
            }
        }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: huedrane-sample-scan WIDTH HEIGHT SEED OUT.png|OUT.jpg\n");
        return 2;
    }
    const std::int32_t width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    const std::uint32_t seed = std::uint32_t(std::strtoul(argv[3], nullptr, 10));
    if (width < 16 || height < 16 || width > 12000 || height > 12000) {
        std::fprintf(stderr, "huedrane-sample-scan: WIDTH and HEIGHT must be 16..12000\n");
        return 2;
    }
    // A character-sized cel: a few dozen shapes and some free strokes for hair and folds.
    const bench_layers::SceneStyle style{40, 6, 5, width * height / 40000 + 20, 20, std::max(40, width / 5)};
    Scene scene = bench_layers::MakeScene(seed, style, width, height);
    Random rng(seed * 31 + 7);
    BreakLines(scene, rng, width * height / 60000 + 3);
    AddSpecks(scene, rng, width * height / 8000 + 5);
    ulib::SBitmap scan = bench_layers::MakeScanLayer(scene, seed + 1);
    AddBlockNoise(scan, rng);

    const std::string out = argv[4];
    const bool jpeg = out.size() > 4 && out.compare(out.size() - 4, 4, ".jpg") == 0;
    const ulib::SError err = jpeg ? ulib::WriteJpegFile(scan, ulib::SString(out)) : ulib::WritePngFile(&scan, ulib::SString(out));
    if (err) {
        std::fprintf(stderr, "huedrane-sample-scan: %s: %s\n", ulib::ErrorIdentifier(err).c_str(), ulib::ErrorText(err).c_str());
        return 1;
    }
    return 0;
}
