// Every colour type and bit depth a PNG can have, plain and interlaced, with and without a tRNS
// chunk: each file is built from known samples and must read as the whole bitmap (header, colour
// table, pixels and row padding) that a model of the reader's rules builds from the same samples.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <string>

using namespace ulib;

namespace {

struct Kind
{
    int colourType;
    int depth;
    std::int32_t format;  // what the reader gives
    bool alpha;           // marked as having an alpha channel
};

const Kind Kinds[] = {
    {PNG_COLOR_TYPE_GRAY, 1, -1, false},      {PNG_COLOR_TYPE_GRAY, 2, -8, false},
    {PNG_COLOR_TYPE_GRAY, 4, -4, false},      {PNG_COLOR_TYPE_GRAY, 8, -8, false},
    {PNG_COLOR_TYPE_GRAY, 16, -8, false},     {PNG_COLOR_TYPE_GRAY_ALPHA, 8, 32, true},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16, 32, true}, {PNG_COLOR_TYPE_PALETTE, 1, 1, false},
    {PNG_COLOR_TYPE_PALETTE, 2, 8, false},    {PNG_COLOR_TYPE_PALETTE, 4, 4, false},
    {PNG_COLOR_TYPE_PALETTE, 8, 8, false},    {PNG_COLOR_TYPE_RGB, 8, 24, false},
    {PNG_COLOR_TYPE_RGB, 16, 24, false},      {PNG_COLOR_TYPE_RGB_ALPHA, 8, 32, true},
    {PNG_COLOR_TYPE_RGB_ALPHA, 16, 32, true},
};

constexpr std::uint32_t Width = 13;  // not a whole number of bytes at 1, 2 or 4 bits; all 7 passes
constexpr std::uint32_t Height = 9;

int Channels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

int PaletteCount(int depth) { return depth == 8 ? 200 : 1 << depth; }

// Samples at the file's depth, [y][x * channels + c]; 16-bit ones differ in their low bytes so
// that keeping the high byte and rounding tell apart.
std::vector<std::vector<std::uint32_t>> Samples(const Kind& kind)
{
    const int channels = Channels(kind.colourType);
    const std::uint32_t range = kind.colourType == PNG_COLOR_TYPE_PALETTE ? std::uint32_t(PaletteCount(kind.depth))
                                                                          : 1u << kind.depth;
    std::uint32_t state = std::uint32_t(kind.colourType * 100 + kind.depth);
    std::vector<std::vector<std::uint32_t>> rows(Height);
    for (auto& row : rows)
        for (std::uint32_t i = 0; i < Width * std::uint32_t(channels); ++i) {
            state = state * 1664525u + 1013904223u;
            row.push_back((state >> 8) % range);
        }
    return rows;
}

PngRecipe Recipe(const Kind& kind, const std::vector<std::vector<std::uint32_t>>& samples)
{
    PngRecipe recipe;
    recipe.width = Width;
    recipe.height = Height;
    recipe.colourType = kind.colourType;
    recipe.depth = kind.depth;
    for (const auto& values : samples) {
        Bytes row((values.size() * std::size_t(kind.depth) + 7) / 8, 0);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (kind.depth == 16) {
                row[2 * i] = std::uint8_t(values[i] >> 8);
                row[2 * i + 1] = std::uint8_t(values[i]);
            } else {
                const std::size_t bit = i * std::size_t(kind.depth);
                row[bit / 8] |= std::uint8_t(values[i] << (8 - kind.depth - int(bit % 8)));
            }
        }
        recipe.rows.push_back(row);
    }
    if (kind.colourType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < PaletteCount(kind.depth) * 3; ++i)
            recipe.paletteRgb.push_back(std::uint8_t(i * 7 + 3));
    return recipe;
}

// A sample reduced to 8 bits by the reader's rules.
std::uint8_t Eight(const Kind& kind, std::uint32_t sample)
{
    if (kind.depth == 16)
        return std::uint8_t(sample >> 8);
    if (kind.depth == 2 && kind.colourType == PNG_COLOR_TYPE_GRAY)
        return std::uint8_t(sample * 85);
    return std::uint8_t(sample);
}

// The bitmap the reader must give, built pixel by pixel from the samples.
SBitmap Expected(const Kind& kind, const std::vector<std::vector<std::uint32_t>>& samples)
{
    SBitmap image = Made(std::int32_t(Width), std::int32_t(Height), kind.format);
    image.SetHasAlpha(kind.alpha);
    const int channels = Channels(kind.colourType);
    const int bits = kind.format < 0 ? -kind.format : kind.format;
    for (std::uint32_t y = 0; y < Height; ++y) {
        std::uint8_t* row = image.Row(std::int32_t(y));
        for (std::uint32_t x = 0; x < Width; ++x) {
            const std::uint32_t* s = &samples[y][x * std::uint32_t(channels)];
            if (bits <= 8) {
                const std::size_t bit = x * std::size_t(bits);
                row[bit / 8] |= std::uint8_t(Eight(kind, s[0]) << (8 - bits - int(bit % 8)));
            } else if (channels <= 2) {  // grey, grey + alpha
                std::memset(row + x * 4, Eight(kind, s[0]), 3);
                row[x * 4 + 3] = Eight(kind, s[1]);
            } else {
                std::uint8_t* p = row + x * std::uint32_t(bits / 8);
                p[0] = Eight(kind, s[2]);
                p[1] = Eight(kind, s[1]);
                p[2] = Eight(kind, s[0]);
                if (channels == 4)
                    p[3] = Eight(kind, s[3]);
            }
        }
    }
    if (kind.colourType == PNG_COLOR_TYPE_PALETTE)
        for (std::int32_t i = 0; i < image.PaletteCount(); ++i)
            image.SetPaletteEntry(i, i < PaletteCount(kind.depth)
                                         ? SColor(std::uint8_t(i * 21 + 3), std::uint8_t(i * 21 + 10),
                                                  std::uint8_t(i * 21 + 17))
                                         : SColor::Black);
    return image;
}

bool SameBlock(const SBitmap& a, const SBitmap& b)
{
    return a.BlockSize() == b.BlockSize() && std::memcmp(a.Block(), b.Block(), a.BlockSize()) == 0;
}

// A tRNS chunk naming the first sample of the picture as transparent (every entry half
// transparent for a palette).
std::vector<std::uint16_t> Transparent(const Kind& kind, const std::vector<std::vector<std::uint32_t>>& samples)
{
    if (kind.colourType == PNG_COLOR_TYPE_PALETTE)
        return std::vector<std::uint16_t>(std::size_t(PaletteCount(kind.depth)), 128);
    if (kind.colourType == PNG_COLOR_TYPE_GRAY)
        return {std::uint16_t(samples[0][0])};
    if (kind.colourType == PNG_COLOR_TYPE_RGB)
        return {std::uint16_t(samples[0][0]), std::uint16_t(samples[0][1]), std::uint16_t(samples[0][2])};
    return {};  // the types with an alpha channel have no tRNS chunk
}

}  // namespace

TEST(ReadPngKinds, EveryKindReadsAsItsSamples)
{
    for (const Kind& kind : Kinds) {
        const auto samples = Samples(kind);
        const SBitmap expected = Expected(kind, samples);
        PngRecipe recipe = Recipe(kind, samples);
        std::vector<PngRecipe> variants = {recipe};
        recipe.interlaced = true;
        variants.push_back(recipe);
        recipe.transparent = Transparent(kind, samples);
        if (!recipe.transparent.empty())
            variants.push_back(recipe);  // tRNS is not used
        for (const PngRecipe& variant : variants) {
            const std::string what = "type " + std::to_string(kind.colourType) + ", " +
                                     std::to_string(kind.depth) + " bits" + (variant.interlaced ? ", interlaced" : "") +
                                     (variant.transparent.empty() ? "" : ", tRNS");
            SBitmap image = Made(2, 2, 32);
            image.SetHasAlpha(true);  // a reused bitmap keeps no trace of its last picture
            const Bytes file = MakePng(variant);
            ASSERT_EQ(ReadPngBytes(image, file.data(), file.data() + file.size()), 0u) << what;
            EXPECT_EQ(image.Format(), kind.format) << what;
            EXPECT_EQ(image.HasAlpha(), kind.alpha) << what;
            EXPECT_TRUE(SameBlock(image, expected)) << what;
        }
    }
}
