#include "STileCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace ulib;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr STilePixel Px(std::uint8_t c0, std::uint8_t c1, std::uint8_t c2, std::uint8_t a)
{
    return STilePixel(c0) | STilePixel(c1) << 8 | STilePixel(c2) << 16 | STilePixel(a) << 24;
}

// A tile buffer as the coder wants it: one zero row, then h rows of w pixels.
struct Tile
{
    std::int32_t w;
    std::int32_t h;
    std::vector<STilePixel> buffer;

    Tile(std::int32_t width, std::int32_t height, STilePixel fill = 0)
        : w(width), h(height), buffer(std::size_t(width) * std::size_t(height + 1), fill)
    {
        std::fill_n(buffer.begin(), w, 0u);
    }
    STilePixel& At(std::int32_t k) { return buffer[std::size_t(w + k)]; }  // linear position in the tile
};

Bytes Encode(const Tile& tile, const SPalette* palette = nullptr)
{
    Bytes out(TileCodeCapacity(tile.w, tile.h));
    out.resize(EncodeTile(tile.buffer, tile.h, tile.w, out, palette));
    return out;
}

struct Decoded
{
    SError err;
    std::vector<STilePixel> pixels;  // the tile's pixels, without the zero row
};

Decoded Decode(const Bytes& bytes, std::int32_t w, std::int32_t h, const SPalette& palette = SPalette())
{
    std::vector<STilePixel> buffer(std::size_t(w) * std::size_t(h + 1), 0xABABABABu);
    Decoded d;
    d.err = DecodeTile(palette, bytes, h, w, buffer);
    d.pixels.assign(buffer.begin() + w, buffer.end());
    return d;
}

std::vector<STilePixel> PixelsOf(const Tile& tile) { return {tile.buffer.begin() + tile.w, tile.buffer.end()}; }

bool EndsWith(const Bytes& bytes, const Bytes& tail)
{
    return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - std::ptrdiff_t(tail.size()));
}

TEST(TileCodec, CodesWholeTilesOfOneColourAsLiteralRunAndUp)
{
    EXPECT_EQ(Encode(Tile(64, 64, Px(200, 10, 30, 255))), (Bytes{0xFD, 200, 10, 30, 0xF7, 0x0F, 0xFF, 0xE4}));
    EXPECT_EQ(Encode(Tile(64, 64, Px(128, 128, 128, 255))), (Bytes{0xFC, 128, 0xF7, 0x0F, 0xFF, 0xE4}));
    // Opaque black differs from the zero pixel to its left only in A.
    EXPECT_EQ(Encode(Tile(64, 64, Px(0, 0, 0, 255))), (Bytes{0xE6, 0xFF, 0xF7, 0x0F, 0xFF, 0xE4}));
    // Transparent black equals the zero pixel, so even the first pixel is part of the run.
    EXPECT_EQ(Encode(Tile(64, 64, 0)), (Bytes{0xF7, 0x10, 0x00, 0xE4}));
    // A lone pixel: a run of one, then written again as a copy of the zero pixel above.
    EXPECT_EQ(Encode(Tile(1, 1, 0)), (Bytes{0xE7, 0xE4}));
}

TEST(TileCodec, CodesRunsInTheShortestForm)
{
    const STilePixel p = Px(10, 20, 30, 255);
    const STilePixel q = Px(11, 20, 30, 255);  // one step from p: the 1-byte form 0xBA
    struct Case
    {
        std::int32_t run;
        std::int32_t w;
        Bytes token;
    };
    for (const Case& c : {Case{1, 3, {0xE7}}, Case{15, 17, {0xF5}}, Case{16, 18, {0xF6, 16}}, Case{254, 2, {0xF6, 254}},
                          Case{256, 2, {0xF7, 0x01, 0x00}}}) {
        Tile tile(c.w, (c.run + 2) / c.w, p);
        tile.At(c.run + 1) = q;
        Bytes expected{0xFD, 10, 20, 30};
        expected.insert(expected.end(), c.token.begin(), c.token.end());
        expected.push_back(0xBA);
        EXPECT_EQ(Encode(tile), expected) << "run of " << c.run;
    }
}

// Each case codes the last pixel of a 3 by 2 tile, whose left, up and upright neighbours are
// pixels 4, 2 and 3; its token ends the stream.
TEST(TileCodec, ChoosesTheFirstRuleThatCodesThePixel)
{
    const STilePixel far1 = Px(0, 200, 0, 255);
    const STilePixel far2 = Px(200, 0, 200, 255);
    const STilePixel far3 = Px(0, 0, 250, 255);
    struct Case
    {
        const char* what;
        STilePixel left, up, upright, cur;
        Bytes token;
    };
    const Case cases[] = {
        {"copy of up before upright", far1, Px(1, 2, 3, 4), Px(1, 2, 3, 4), Px(1, 2, 3, 4), {0xE4}},
        {"copy of upright", far1, far2, Px(1, 2, 3, 4), Px(1, 2, 3, 4), {0xE5}},
        {"new A on left's colour", Px(10, 20, 30, 255), far2, far3, Px(10, 20, 30, 7), {0xE6, 7}},
        {"1-byte step", Px(100, 50, 20, 255), far1, far2, Px(101, 49, 20, 255), {0xB6}},
        {"2-byte step", Px(100, 100, 100, 255), far1, far2, Px(115, 84, 100, 255), {0x7C, 0x10}},
        {"step from up", far3, Px(120, 120, 120, 255), far1, Px(123, 120, 116, 255), {0xE1, 0xE0}},
        {"step from upright", far3, far2, Px(50, 60, 70, 255), Px(51, 60, 70, 255), {0xE3, 0x64}},
        {"up needs the same A", far3, Px(120, 120, 120, 9), far1, Px(123, 120, 116, 255), {0xFD, 123, 120, 116}},
        {"grey before 3-byte step", Px(100, 100, 100, 255), far1, far2, Px(140, 140, 140, 255), {0xFC, 140}},
        {"3-byte step", Px(100, 100, 100, 255), far1, far2, Px(163, 36, 100, 255), {0xDF, 0xC0, 0x40}},
        {"opaque literal", Px(100, 100, 100, 255), far1, far2, Px(164, 36, 100, 255), {0xFD, 164, 36, 100}},
        {"literal with A", Px(0, 0, 0, 128), far1, far2, Px(200, 0, 0, 128), {0xFE, 200, 0, 0, 128}},
        {"grey needs A 255", Px(0, 0, 0, 100), far1, far2, Px(140, 140, 140, 99), {0xFE, 140, 140, 140, 99}},
    };
    for (const Case& c : cases) {
        Tile tile(3, 2);
        tile.At(0) = Px(9, 9, 9, 9);
        tile.At(1) = Px(8, 8, 8, 8);
        tile.At(2) = c.up;
        tile.At(3) = c.upright;
        tile.At(4) = c.left;
        tile.At(5) = c.cur;
        const Bytes bytes = Encode(tile);
        EXPECT_TRUE(EndsWith(bytes, c.token)) << c.what;
        EXPECT_EQ(Decode(bytes, 3, 2).pixels, PixelsOf(tile)) << c.what;
    }
}

TEST(TileCodec, OnePixelWideTilesNeverUseTheUprightForms)
{
    // With w = 1 the upright position is the pixel itself: coding it as a copy of upright would
    // decode as the zero pixel.
    Tile tile(1, 6);
    const STilePixel column[] = {Px(10, 20, 30, 255), Px(90, 90, 91, 255), Px(91, 90, 91, 255),
                                 Px(10, 20, 30, 255), Px(12, 19, 30, 255), Px(12, 19, 30, 40)};
    for (std::int32_t k = 0; k < 6; ++k)
        tile.At(k) = column[k];
    const Bytes bytes = Encode(tile);
    EXPECT_EQ(bytes, (Bytes{0xFD, 10, 20, 30, 0xFD, 90, 90, 91, 0xBA, 0xFD, 10, 20, 30, 0x49, 0xF0, 0xE6, 40}));
    EXPECT_EQ(Decode(bytes, 1, 6).pixels, PixelsOf(tile));

    // The decoder stays as the format has it: there upright still reads the pixel being made,
    // which is zero.
    const Decoded d = Decode({0xFD, 1, 2, 3, 0xE5, 0xE3, 0x64}, 1, 3);
    EXPECT_EQ(d.err, 0u);
    EXPECT_EQ(d.pixels, (std::vector<STilePixel>{Px(1, 2, 3, 255), 0, Px(1, 0, 0, 0)}));
}

TEST(TileCodec, GreyTokenReadsTheColourTableBelowItsSize)
{
    SPalette two;
    SPalette sixteen;
    SError err = 0;
    two.SetCount(2, err);
    sixteen.SetCount(16, err);
    sixteen.Set(3, SColor(10, 20, 30));
    EXPECT_EQ(Decode({0xFC, 3}, 1, 1, two).pixels[0], Px(3, 3, 3, 255));
    EXPECT_EQ(Decode({0xFC, 3}, 1, 1, sixteen).pixels[0], Px(10, 20, 30, 255));
    EXPECT_EQ(Decode({0xFC, 3}, 1, 1).pixels[0], Px(3, 3, 3, 255));

    // So the coder keeps FC for greys the table gives back and spells the others out.
    Tile tile(2, 1);
    tile.At(0) = Px(3, 3, 3, 255);
    tile.At(1) = Px(200, 200, 200, 255);
    EXPECT_EQ(Encode(tile), (Bytes{0xFC, 3, 0xFC, 200}));
    EXPECT_EQ(Encode(tile, &sixteen), (Bytes{0xFD, 3, 3, 3, 0xFC, 200}));
    sixteen.Set(3, SColor(3, 3, 3));
    EXPECT_EQ(Encode(tile, &sixteen), (Bytes{0xFC, 3, 0xFC, 200}));
}

TEST(TileCodec, DecodesEveryTokenOfTheTable)
{
    // left = (10, 20, 30, 255) after the literal; then each token in turn.
    const Bytes bytes{
        0xFD, 10, 20, 30,                        // (10, 20, 30, 255)
        0x80 | 3 << 4 | 0 << 2 | 2,              // + (1, -2, 0)
        0x7C, 0x10,                              // + (15, -16, 0)
        0xC0 | 0x1F, 0xC0, 0x40,                 // + (63, -64, 0): channels wrap modulo 256
        0xE6, 77,                                // A = 77
        0xFE, 1, 2, 3, 4,                        // literal
        0xFF, 5, 0xAA, 6, 0xAA, 7, 0xAA, 8, 0xAA,  // wide literal
        0xE9,                                    // run of 3
        0xF6, 2,                                 // run of 2
        0xE4,                                    // up: pixel 0 (w = 12)
        0xE5,                                    // upright: pixel 1
        0xE0 | 1, 0xFF,                          // up (pixel 2) + (3, 3, 3)
        0xE2, 0x00,                              // upright (pixel 4) + (-4, -4, -4)
        0xF7, 0x00, 0x02,                        // run of 2
        0xF6, 0,                                 // run of nothing
        0xFC, 9,                                 // grey
    };
    const std::vector<STilePixel> expected{
        Px(10, 20, 30, 255), Px(11, 18, 30, 255), Px(26, 2, 30, 255), Px(89, 194, 30, 255), Px(89, 194, 30, 77),
        Px(1, 2, 3, 4),      Px(5, 6, 7, 8),      Px(5, 6, 7, 8),     Px(5, 6, 7, 8),       Px(5, 6, 7, 8),
        Px(5, 6, 7, 8),      Px(5, 6, 7, 8),
        Px(10, 20, 30, 255), Px(26, 2, 30, 255),  Px(29, 5, 33, 255), Px(85, 190, 26, 77),  Px(85, 190, 26, 77),
        Px(85, 190, 26, 77), Px(9, 9, 9, 255),    0, 0, 0, 0, 0};
    const Decoded d = Decode(bytes, 12, 2);
    EXPECT_EQ(d.err, 0u);
    EXPECT_EQ(d.pixels, expected);
}

TEST(TileCodec, DecodingStopsCleanlyOnlyBetweenTokens)
{
    // A clean early end: success, and every pixel not made is zero whatever the buffer held.
    Decoded d = Decode({0xFD, 1, 2, 3, 0xE7}, 4, 2);
    EXPECT_EQ(d.err, 0u);
    EXPECT_EQ(d.pixels, (std::vector<STilePixel>{Px(1, 2, 3, 255), Px(1, 2, 3, 255), 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Decode({}, 2, 2).pixels, std::vector<STilePixel>(4, 0u));

    // Runs stop at the pixel count.
    d = Decode({0xFD, 1, 2, 3, 0xF7, 0xFF, 0xFF, 0xFD, 9, 9, 9}, 2, 2);
    EXPECT_EQ(d.err, 0u);
    EXPECT_EQ(d.pixels, std::vector<STilePixel>(4, Px(1, 2, 3, 255)));

    const SError version = ErrorFromIdentifier("file_version");
    for (std::uint8_t b : {0xF8, 0xF9, 0xFA, 0xFB})
        EXPECT_EQ(Decode({b, 0, 0, 0, 0, 0, 0, 0, 0}, 4, 4).err, version) << int(b);
    d = Decode({0xFD, 1, 2, 3, 0xFE, 1}, 2, 1);  // no half-decoded tile is left behind
    EXPECT_EQ(d.err, version);
    EXPECT_EQ(d.pixels, std::vector<STilePixel>(2, 0u));
    for (const Bytes& cut : {Bytes{0x10}, Bytes{0xC0, 0}, Bytes{0xE0}, Bytes{0xE2}, Bytes{0xE6}, Bytes{0xF6},
                             Bytes{0xF7, 0}, Bytes{0xFC}, Bytes{0xFD, 1, 2}, Bytes{0xFE, 1, 2, 3},
                             Bytes{0xFF, 1, 2, 3, 4, 5, 6, 7}})
        EXPECT_EQ(Decode(cut, 4, 4).err, version) << int(cut[0]);
}

TEST(TileCodec, RefusesBadSizesAndShortBuffers)
{
    std::vector<STilePixel> pixels(256 * 256);
    const Bytes bytes{0xE4};
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 0, 5, pixels), 0u);
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 5, 0, {}), 0u);
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 256, 1, pixels), ErrorFromIdentifier("domain"));
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 1, -1, pixels), ErrorFromIdentifier("domain"));
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 4, 4, {pixels.data(), 19}), ErrorFromIdentifier("pointer"));
    EXPECT_EQ(DecodeTile(SPalette(), bytes, 4, 4, {pixels.data(), 20}), 0u);

    Bytes out(64 * 64 * 5);
    EXPECT_EQ(EncodeTile(pixels, 0, 4, out), 0u);
    EXPECT_EQ(EncodeTile(pixels, 4, 256, out), 0u);
    EXPECT_EQ(EncodeTile({pixels.data(), 19}, 4, 4, out), 0u);
    EXPECT_EQ(EncodeTile(pixels, 4, 4, {out.data(), 79}), 0u);
    EXPECT_GT(EncodeTile(pixels, 4, 4, {out.data(), 80}), 0u);
}

// Tiles drawn the way layers look: noise, flat areas with edges, soft steps and alpha ramps.
Tile MakeTile(std::mt19937& rng, std::int32_t w, std::int32_t h, int style)
{
    Tile tile(w, h);
    auto byte = [&] { return std::uint8_t(rng()); };
    const STilePixel palette[4] = {Px(255, 255, 255, 0), Px(0, 0, 0, 0), Px(byte(), byte(), byte(), 255), Px(40, 40, 40, 255)};
    STilePixel walk = Px(byte(), byte(), byte(), byte());
    for (std::int32_t k = 0; k < w * h; ++k) {
        STilePixel& p = tile.At(k);
        switch (style) {
        case 0:  // noise
            p = rng();
            break;
        case 1:  // flat regions with edges
            p = palette[(k / w / 7 + k % w / 5 + (rng() % 23 == 0)) % 4];
            break;
        case 2: {  // a random walk: small steps, occasional jumps, alpha changes
            const std::uint32_t step = rng() % 100 < 90 ? (rng() % 5) * 0x010101u : rng();
            walk += step;
            if (rng() % 50 == 0)
                walk = (walk & 0x00FFFFFF) | std::uint32_t(byte()) << 24;
            p = walk;
            break;
        }
        default: {  // greys and repeats of the row above
            const std::uint8_t g = byte();
            p = k >= w && rng() % 3 != 0 ? tile.At(k - w) : Px(g, g, g, 255);
            break;
        }
        }
    }
    return tile;
}

TEST(TileCodec, RoundTripsRandomAndStructuredTilesInBothPixelOrders)
{
    std::mt19937 rng(11);
    const std::int32_t sizes[][2] = {{1, 1}, {1, 64}, {64, 1}, {2, 2}, {3, 7}, {64, 64}, {17, 64}, {255, 3}, {5, 255}, {100, 100}};
    for (int style = 0; style < 4; ++style) {
        for (const auto& size : sizes) {
            const Tile tile = MakeTile(rng, size[0], size[1], style);
            const Bytes bytes = Encode(tile);
            ASSERT_FALSE(bytes.empty());
            EXPECT_LE(bytes.size(), TileCodeCapacity(tile.w, tile.h));
            const Decoded d = Decode(bytes, tile.w, tile.h);
            ASSERT_EQ(d.err, 0u);
            EXPECT_EQ(d.pixels, PixelsOf(tile)) << "style " << style << ", " << tile.w << " x " << tile.h;

            // The layer order (B, G, R, A bytes) codes to the same bytes.
            std::vector<std::uint32_t> swapped(tile.buffer.size());
            for (std::size_t i = 0; i < swapped.size(); ++i) {
                const std::uint32_t v = tile.buffer[i];
                swapped[i] = (v & 0xFF00FF00u) | (v & 0xFF) << 16 | (v >> 16 & 0xFF);
            }
            Bytes out(TileCodeCapacity(tile.w, tile.h));
            out.resize(EncodeTileBgra(swapped, tile.h, tile.w, out));
            EXPECT_EQ(out, bytes);
            std::vector<std::uint32_t> back(swapped.size(), 0x5A5A5A5Au);
            EXPECT_EQ(DecodeTileBgra(SPalette(), bytes, tile.h, tile.w, back), 0u);
            EXPECT_EQ(back, swapped);
        }
    }
}

}  // namespace
