// 16-bit samples and alpha: each variant written by libtiff and read back, the pixels compared with
// the samples written. Pictures with alpha come as 32-bit rows under a V5 header; premultiplied
// colours must give on white paper exactly what the premultiplied samples give there.
#include "TiffFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tiffio.h>

namespace {

enum class Alpha { None, Straight, Premultiplied };

struct Variant
{
    const char* name;
    std::uint16_t bits;
    std::uint16_t samples;
    std::uint16_t photometric;
    Alpha alpha;
    bool bigEndian;
    bool tiled;
};

// The import's rule for a straight colour over white paper, and for a premultiplied one.
std::uint32_t OverPaper(std::uint32_t straight, std::uint32_t alpha) { return (straight * alpha + 255 * (255 - alpha) + 127) / 255; }
std::uint32_t PremultipliedOverPaper(std::uint32_t colour, std::uint32_t alpha) { return std::min(255u, colour + 255 - alpha); }

// Sample values, one vector per pixel; premultiplied colours never exceed their alpha.
std::vector<std::vector<std::uint32_t>> Values(const Variant& v, std::size_t pixels)
{
    const std::uint32_t top = v.bits == 16 ? 65535 : 255;
    std::uint32_t state = 12345;
    auto next = [&] {
        state = state * 1103515245 + 12345;
        return (state >> 8) % (top + 1);
    };
    std::vector<std::vector<std::uint32_t>> values(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        values[i].resize(v.samples);
        for (std::uint32_t& value : values[i])
            value = next();
        // Some fully transparent and fully opaque pixels, and colours at the extremes.
        if (v.alpha != Alpha::None && i % 5 < 2)
            values[i].back() = i % 5 == 0 ? 0 : top;
        if (i % 7 == 0)
            values[i][0] = i % 2 ? top : 0;
        if (v.alpha == Alpha::Premultiplied)
            for (std::size_t k = 0; k + 1 < values[i].size(); ++k)
                values[i][k] %= values[i].back() + 1;
    }
    return values;
}

Bytes Pack(const Variant& v, const std::vector<std::vector<std::uint32_t>>& values)
{
    Bytes bytes;
    for (const auto& pixel : values)
        for (const std::uint32_t value : pixel) {
            if (v.bits == 8) {
                bytes.push_back(std::uint8_t(value));
            } else {
                const std::uint16_t sample = std::uint16_t(value);
                std::uint8_t host[2];
                std::memcpy(host, &sample, 2);
                bytes.insert(bytes.end(), host, host + 2);
            }
        }
    return bytes;
}

// 16-bit samples are rounded to 8 bits, except grey with alpha, whose grey is its high byte.
std::uint32_t Reduce(const Variant& v, std::uint32_t value)
{
    if (v.bits == 8)
        return value;
    return v.samples == 2 ? value >> 8 : (value + 128) / 257;
}

const Variant Variants[] = {
    {"grey16", 16, 1, PHOTOMETRIC_MINISBLACK, Alpha::None, false, false},
    {"grey16 white-is-zero big-endian tiles", 16, 1, PHOTOMETRIC_MINISWHITE, Alpha::None, true, true},
    {"rgb16", 16, 3, PHOTOMETRIC_RGB, Alpha::None, false, false},
    {"rgb16 big-endian tiles", 16, 3, PHOTOMETRIC_RGB, Alpha::None, true, true},
    {"rgba8 straight", 8, 4, PHOTOMETRIC_RGB, Alpha::Straight, false, false},
    {"rgba8 premultiplied tiles", 8, 4, PHOTOMETRIC_RGB, Alpha::Premultiplied, false, true},
    {"rgba16 straight big-endian", 16, 4, PHOTOMETRIC_RGB, Alpha::Straight, true, false},
    {"rgba16 premultiplied tiles", 16, 4, PHOTOMETRIC_RGB, Alpha::Premultiplied, false, true},
    {"grey-alpha8 straight", 8, 2, PHOTOMETRIC_MINISBLACK, Alpha::Straight, false, false},
    {"grey-alpha8 straight white-is-zero tiles", 8, 2, PHOTOMETRIC_MINISWHITE, Alpha::Straight, false, true},
    {"grey-alpha8 premultiplied", 8, 2, PHOTOMETRIC_MINISBLACK, Alpha::Premultiplied, true, false},
    {"grey-alpha16 straight big-endian", 16, 2, PHOTOMETRIC_MINISBLACK, Alpha::Straight, true, false},
    {"grey-alpha16 straight white-is-zero", 16, 2, PHOTOMETRIC_MINISWHITE, Alpha::Straight, false, false},
    {"grey-alpha16 premultiplied tiles", 16, 2, PHOTOMETRIC_MINISBLACK, Alpha::Premultiplied, false, true},
};

using TiffAlpha = LoadedPluginTest;

TEST_F(TiffAlpha, EveryVariantGivesBackTheSamplesWritten)
{
    for (const Variant& v : Variants) {
        TiffRecipe recipe = Recipe(21, 18, v.bits, v.samples, v.photometric, COMPRESSION_ADOBE_DEFLATE);
        recipe.bigEndian = v.bigEndian;
        if (v.tiled)
            recipe.tileWidth = recipe.tileHeight = 16;
        if (v.alpha != Alpha::None)
            recipe.extraSamples = {std::uint16_t(v.alpha == Alpha::Straight ? EXTRASAMPLE_UNASSALPHA : EXTRASAMPLE_ASSOCALPHA)};
        const auto values = Values(v, std::size_t(recipe.width) * recipe.height);
        const Picture picture = Decode(plugin, WriteTiff(recipe, Pack(v, values)));
        ASSERT_EQ(picture.code, SPI_SUCCESS) << v.name;
        const bool colour = v.samples >= 3;
        EXPECT_EQ(picture.bits, v.alpha != Alpha::None ? 32 : colour ? 24 : 8) << v.name;
        EXPECT_EQ(picture.alpha, v.alpha != Alpha::None) << v.name;
        for (std::int32_t y = 0; y < std::int32_t(recipe.height); ++y)
            for (std::int32_t x = 0; x < std::int32_t(recipe.width); ++x) {
                const auto& pixel = values[std::size_t(y) * recipe.width + std::size_t(x)];
                const std::uint32_t got = picture.bits == 8 ? picture.palette.at(picture.Pixel(x, y)) : picture.Pixel(x, y);
                const std::uint32_t alpha = v.alpha == Alpha::None ? 255 : Reduce(v, pixel.back());
                if (v.alpha != Alpha::None) {
                    ASSERT_EQ(got >> 24, alpha) << v.name << " " << x << "," << y;
                }
                for (int k = 0; k < 3; ++k) {
                    std::uint32_t want = Reduce(v, pixel[colour ? std::size_t(k) : 0]);
                    if (v.photometric == PHOTOMETRIC_MINISWHITE)
                        want = 255 - want;
                    const std::uint32_t channel = got >> (16 - 8 * k) & 0xFF;
                    if (v.alpha == Alpha::Premultiplied) {
                        ASSERT_EQ(OverPaper(channel, alpha), PremultipliedOverPaper(want, alpha)) << v.name << " " << x << "," << y;
                    } else {
                        ASSERT_EQ(channel, want) << v.name << " " << x << "," << y << " channel " << k;
                    }
                }
            }
    }
}

// Every premultiplied colour and alpha, straight and clipped alike: made straight by the plug-in
// and put on paper, it lands exactly where the premultiplied pair lands. Colours above their alpha
// are not premultiplied data; they come out white on paper, as c + 255 - a clipped.
TEST_F(TiffAlpha, PremultipliedColoursLandExactlyOnPaper)
{
    for (const std::uint16_t photometric : {PHOTOMETRIC_RGB, PHOTOMETRIC_MINISBLACK}) {
        const bool rgb = photometric == PHOTOMETRIC_RGB;
        // x: the colour, y: the alpha.
        TiffRecipe recipe = Recipe(256, 256, 8, rgb ? 4 : 2, photometric, COMPRESSION_LZW);
        recipe.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
        Bytes samples;
        for (std::uint32_t a = 0; a < 256; ++a)
            for (std::uint32_t c = 0; c < 256; ++c) {
                samples.insert(samples.end(), rgb ? 3 : 1, std::uint8_t(c));
                samples.push_back(std::uint8_t(a));
            }
        const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS);
        ASSERT_TRUE(picture.alpha);
        for (std::uint32_t a = 0; a < 256; ++a)
            for (std::uint32_t c = 0; c < 256; ++c) {
                const std::uint32_t got = picture.Pixel(std::int32_t(c), std::int32_t(a));
                ASSERT_EQ(got >> 24, a);
                ASSERT_EQ(OverPaper(got & 0xFF, a), PremultipliedOverPaper(c, a)) << photometric << ": c " << c << " a " << a;
            }
    }
}

// Layouts read by libtiff's own reader say they have alpha when that reader renders it; without
// alpha they keep the plain header.
TEST_F(TiffAlpha, TheRgbaReaderRoadMarksAlphaToo)
{
    TiffRecipe recipe = Recipe(3, 2, 8, 4, PHOTOMETRIC_RGB);
    recipe.orientation = ORIENTATION_BOTLEFT;
    recipe.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    const Bytes samples = {10, 20, 30, 255, 0, 0, 0, 0, 200, 100, 50, 255, 1, 2, 3, 0, 40, 50, 60, 255, 7, 8, 9, 255};
    Picture picture = Decode(plugin, WriteTiff(recipe, samples));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_TRUE(picture.alpha);
    EXPECT_EQ(picture.Pixel(0, 1), 0xFF0A141Eu);  // stored first, shown at the bottom
    EXPECT_EQ(picture.Pixel(1, 1) >> 24, 0u);

    recipe.samples = 3;
    recipe.extraSamples.clear();
    picture = Decode(plugin, WriteTiff(recipe, Bytes(18, 9)));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_FALSE(picture.alpha);
    recipe.samples = 4;
    recipe.photometric = PHOTOMETRIC_SEPARATED;
    picture = Decode(plugin, WriteTiff(recipe, Bytes(24, 9)));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 32);
    EXPECT_FALSE(picture.alpha);
}

}  // namespace
