// The TIFF plug-in through its entry points: the texts and signatures the program asks for, and
// each stored layout (bilevel, grey, palette, RGB, alpha, 16-bit, JPEG, CMYK; strips and tiles)
// coming back as the BMP-style header, colour table and bottom-up rows the program copies.
#include "TiffFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <tiffio.h>

namespace {

// A picture's colour at (x, y) counted from the top: 0xRRGGBB through the colour table for 1 and
// 8 bits, 0xRRGGBB for 24 bits and 0xAARRGGBB for 32 bits.
std::uint32_t Colour(const Picture& picture, std::int32_t x, std::int32_t y)
{
    const std::uint32_t pixel = picture.Pixel(x, y);
    return picture.bits <= 8 ? picture.palette.at(pixel) & 0xFFFFFF : pixel;
}

// Rows of '#' (ink) and '.' (paper) as 1-bit samples; inkBit is the stored value of ink.
Bytes PackArt(const std::vector<std::string>& art, int inkBit)
{
    const std::size_t rowBytes = (art[0].size() + 7) / 8;
    Bytes bytes(rowBytes * art.size(), 0);
    for (std::size_t y = 0; y < art.size(); ++y)
        for (std::size_t x = 0; x < art[y].size(); ++x)
            if ((art[y][x] == '#') == (inkBit == 1))
                bytes[y * rowBytes + x / 8] |= std::uint8_t(0x80 >> x % 8);
    return bytes;
}

std::vector<std::string> ArtOf(const Picture& picture)
{
    std::vector<std::string> art;
    for (std::int32_t y = 0; y < picture.height; ++y) {
        art.emplace_back();
        for (std::int32_t x = 0; x < picture.width; ++x)
            art.back() += Colour(picture, x, y) == 0 ? '#' : Colour(picture, x, y) == 0xFFFFFF ? '.' : '?';
    }
    return art;
}

// Samples counting up from seed, so that every position holds a different value.
Bytes Ramp(std::size_t count, unsigned seed = 0, unsigned step = 1)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = std::uint8_t(seed + i * step);
    return bytes;
}

using TiffPlugin = LoadedPluginTest;

TEST_F(TiffPlugin, GivesItsTextsAndKnowsTiffSignatures)
{
    EXPECT_EQ(plugin.Info(0), "00IN");
    EXPECT_FALSE(plugin.Info(1).empty());
    EXPECT_EQ(plugin.Info(2), "*.tif;*.tiff");
    EXPECT_EQ(plugin.Info(3), "TIFFファイル(*.tif)");
    EXPECT_EQ(plugin.Info(4), "");
    EXPECT_EQ(plugin.Info(-1), "");
    char small[3] = {'x', 'x', 'x'};
    EXPECT_EQ(plugin.getPluginInfo(2, small, 3), 2);
    EXPECT_EQ(std::string(small), "*.");

    const std::array<std::array<char, 4>, 4> tiffs = {{{'I', 'I', 42, 0}, {'M', 'M', 0, 42}, {'I', 'I', 43, 0}, {'M', 'M', 0, 43}}};
    const std::array<std::array<char, 4>, 5> others = {{{'B', 'M', 0, 0}, {'\x89', 'P', 'N', 'G'}, {0, 0, 0, 0}, {'I', 'I', 0, 42}, {'M', 'M', 42, 0}}};
    std::array<char, 2048> first{};
    for (const auto& signature : tiffs) {
        std::copy(signature.begin(), signature.end(), first.begin());
        EXPECT_EQ(plugin.isSupported("scan.tif", first.data()), 1) << first[0] << int(first[2]);
    }
    for (const auto& signature : others) {
        std::copy(signature.begin(), signature.end(), first.begin());
        EXPECT_EQ(plugin.isSupported("scan.tif", first.data()), 0) << first[0] << int(first[2]);
    }
}

TEST_F(TiffPlugin, ReadsOnlyFromMemoryAndRefusesWhatIsNoTiff)
{
    TiffRecipe recipe;
    const Bytes tiff = WriteTiff(recipe, {7});
    SpiHandle info = nullptr;
    SpiHandle pixels = nullptr;
    EXPECT_EQ(plugin.getPicture("scan.tif", 0, 0, &info, &pixels, nullptr, 0), SPI_OTHER_ERROR) << "input from a file";
    EXPECT_EQ(plugin.getPictureInfo(reinterpret_cast<const char*>(tiff.data()), long(tiff.size()), SPI_INPUT_MEMORY, nullptr),
              SPI_OTHER_ERROR);
    EXPECT_EQ(Decode(plugin, Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}).code, SPI_NOT_SUPPORTED);
    EXPECT_EQ(Decode(plugin, Bytes(tiff.begin(), tiff.begin() + 4)).code, SPI_NOT_SUPPORTED);
    EXPECT_EQ(Decode(plugin, tiff).code, SPI_SUCCESS);
}

struct BilevelCase
{
    std::uint16_t photometric;
    std::uint16_t compression;
};

class TiffBilevel : public TiffPlugin, public ::testing::WithParamInterface<BilevelCase>
{};

TEST_P(TiffBilevel, KeepsOneBitWithAPaletteMatchingThePhotometric)
{
    const std::vector<std::string> art = {"#..#.........",
                                          ".##.......###",
                                          "#...........#"};
    TiffRecipe recipe;
    recipe.width = 13;
    recipe.height = 3;
    recipe.bits = 1;
    recipe.photometric = GetParam().photometric;
    recipe.compression = GetParam().compression;
    const int inkBit = recipe.photometric == PHOTOMETRIC_MINISWHITE ? 1 : 0;
    const Picture picture = Decode(plugin, WriteTiff(recipe, PackArt(art, inkBit)));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 1);
    ASSERT_EQ(picture.palette.size(), 2u);
    EXPECT_EQ(picture.palette[inkBit] & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(picture.palette[1 - inkBit] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(ArtOf(picture), art);
    for (std::int32_t y = 0; y < 3; ++y)
        EXPECT_EQ(picture.Row(y)[1] & 0x07, 0) << "bits past the width are cleared, row " << y;
}

INSTANTIATE_TEST_SUITE_P(WhiteOrBlackAsZero, TiffBilevel,
                         ::testing::Values(BilevelCase{PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE},
                                           BilevelCase{PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4},
                                           BilevelCase{PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3},
                                           BilevelCase{PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE},
                                           BilevelCase{PHOTOMETRIC_MINISBLACK, COMPRESSION_CCITTFAX4},
                                           BilevelCase{PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS}));

TEST_F(TiffPlugin, GreyBecomesEightBitsWithAGreyRampInvertedForWhiteAsZero)
{
    for (const std::uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE}) {
        TiffRecipe recipe;
        recipe.width = 7;
        recipe.height = 5;
        recipe.photometric = photometric;
        recipe.compression = COMPRESSION_LZW;
        recipe.rowsPerStrip = 2;
        const Bytes samples = Ramp(35, 3, 7);
        const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS);
        EXPECT_EQ(picture.bits, 8);
        ASSERT_EQ(picture.palette.size(), 256u);
        const bool inverted = photometric == PHOTOMETRIC_MINISWHITE;
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t grey = inverted ? 255 - i : i;
            ASSERT_EQ(picture.palette[i], grey * 0x010101) << i;
        }
        for (std::int32_t y = 0; y < 5; ++y)
            for (std::int32_t x = 0; x < 7; ++x)
                EXPECT_EQ(picture.Pixel(x, y), samples[std::size_t(y * 7 + x)]) << x << "," << y;
    }
}

TEST_F(TiffPlugin, SixteenBitGreyIsReducedToEight)
{
    TiffRecipe recipe;
    recipe.width = 3;
    recipe.height = 2;
    recipe.bits = 16;
    recipe.bigEndian = true;
    const std::uint16_t values[] = {0, 257 * 10, 65535, 257 * 200, 257 * 128 + 100, 257 * 1};
    Bytes samples(sizeof values);
    std::memcpy(samples.data(), values, sizeof values);
    const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 8);
    const std::uint32_t expected[] = {0, 10, 255, 200, 128, 1};
    for (std::int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(picture.Pixel(i % 3, i / 3), expected[i]) << i;
}

TEST_F(TiffPlugin, PaletteBecomesEightBitsWithTheColourMapScaledToEightBits)
{
    for (const std::uint16_t bits : {std::uint16_t(4), std::uint16_t(8)}) {
        const std::size_t entries = std::size_t(1) << bits;
        TiffRecipe recipe;
        recipe.width = 5;  // odd: the last 4-bit sample of a row shares its byte with padding
        recipe.height = 3;
        recipe.bits = bits;
        recipe.photometric = PHOTOMETRIC_PALETTE;
        recipe.compression = COMPRESSION_PACKBITS;
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < entries; ++i)
                recipe.colourMap.push_back(std::uint16_t(257 * ((i * 3 + c * 50) % 256)));
        std::vector<std::uint8_t> indexes = {1, 0, 15, 3, 9, 2, 14, 5, 8, 7, 0, 11, 12, 13, 6};
        Bytes samples;
        if (bits == 8) {
            samples = indexes;
        } else {
            for (std::size_t y = 0; y < 3; ++y)
                for (std::size_t x = 0; x < 5; x += 2)
                    samples.push_back(std::uint8_t(indexes[y * 5 + x] << 4 | (x + 1 < 5 ? indexes[y * 5 + x + 1] : 0)));
        }
        const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS) << bits;
        EXPECT_EQ(picture.bits, 8);
        ASSERT_EQ(picture.palette.size(), 256u);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint32_t red = (i * 3) % 256, green = (i * 3 + 50) % 256, blue = (i * 3 + 100) % 256;
            ASSERT_EQ(picture.palette[i], red << 16 | green << 8 | blue) << bits << " bits, entry " << i;
        }
        for (std::int32_t i = 0; i < 15; ++i)
            EXPECT_EQ(picture.Pixel(i % 5, i / 5), indexes[std::size_t(i)]) << bits << " bits, pixel " << i;
    }
}

// 24-bit RGB: strips in either byte order, BigTIFF, and tiles whose right and bottom edges stick
// out of the picture all give B, G, R rows bottom-up.
TEST_F(TiffPlugin, RgbBecomesTwentyFourBitsFromStripsAndTiles)
{
    const std::uint32_t width = 37, height = 21;
    const Bytes samples = Ramp(width * height * 3, 5, 13);
    std::vector<TiffRecipe> recipes(4);
    for (TiffRecipe& recipe : recipes) {
        recipe.width = width;
        recipe.height = height;
        recipe.samples = 3;
        recipe.photometric = PHOTOMETRIC_RGB;
    }
    recipes[0].compression = COMPRESSION_LZW;
    recipes[0].rowsPerStrip = 4;
    recipes[1].bigEndian = true;
    recipes[2].compression = COMPRESSION_ADOBE_DEFLATE;
    recipes[2].tileWidth = 16;
    recipes[2].tileHeight = 16;
    recipes[3].bigTiff = true;
    recipes[3].bigEndian = true;
    for (std::size_t s = 0; s < recipes.size(); ++s) {
        const Picture picture = Decode(plugin, WriteTiff(recipes[s], samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS) << s;
        EXPECT_EQ(picture.bits, 24);
        EXPECT_TRUE(picture.palette.empty());
        for (std::int32_t y = 0; y < std::int32_t(height); ++y)
            for (std::int32_t x = 0; x < std::int32_t(width); ++x) {
                const std::uint8_t* rgb = samples.data() + (std::size_t(y) * width + std::size_t(x)) * 3;
                ASSERT_EQ(picture.Pixel(x, y), std::uint32_t(rgb[0] << 16 | rgb[1] << 8 | rgb[2])) << s << ": " << x << "," << y;
            }
    }
}

TEST_F(TiffPlugin, AlphaBecomesThirtyTwoBitsUnassociated)
{
    TiffRecipe recipe;
    recipe.width = 3;
    recipe.height = 2;
    recipe.samples = 4;
    recipe.photometric = PHOTOMETRIC_RGB;
    recipe.compression = COMPRESSION_ADOBE_DEFLATE;
    const Bytes samples = {10, 20, 30, 255, 200, 100, 50, 128, 1, 2, 3, 0,
                           64, 32, 0, 128, 255, 255, 255, 255, 0, 0, 0, 0};
    recipe.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    Picture picture = Decode(plugin, WriteTiff(recipe, samples));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 32);
    EXPECT_EQ(picture.Pixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(picture.Pixel(1, 0), 0x80C86432u);
    EXPECT_EQ(picture.Pixel(2, 0), 0x00010203u);
    EXPECT_EQ(picture.Pixel(0, 1), 0x80402000u);

    // Premultiplied colours are divided by alpha; fully transparent pixels have no colour.
    recipe.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    picture = Decode(plugin, WriteTiff(recipe, samples));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.Pixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(picture.Pixel(1, 0), 0x80FFC764u);
    EXPECT_EQ(picture.Pixel(2, 0), 0x00000000u);
    EXPECT_EQ(picture.Pixel(0, 1), 0x80804000u);
    EXPECT_EQ(picture.Pixel(1, 1), 0xFFFFFFFFu);

    // Grey with alpha goes through libtiff's RGBA reader, with the same result.
    TiffRecipe grey = recipe;
    grey.samples = 2;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    const Bytes greySamples = {10, 255, 200, 128, 1, 0, 64, 128, 255, 255, 0, 0};
    for (const std::uint16_t kind : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
        grey.extraSamples = {kind};
        picture = Decode(plugin, WriteTiff(grey, greySamples));
        ASSERT_EQ(picture.code, SPI_SUCCESS);
        EXPECT_EQ(picture.bits, 32);
        const bool associated = kind == EXTRASAMPLE_ASSOCALPHA;
        EXPECT_EQ(picture.Pixel(0, 0), 0xFF0A0A0Au) << kind;
        EXPECT_EQ(picture.Pixel(1, 0), associated ? 0x80FFFFFFu : 0x80C8C8C8u) << kind;
        EXPECT_EQ(picture.Pixel(0, 1), associated ? 0x80808080u : 0x80404040u) << kind;
        EXPECT_EQ(picture.Pixel(2, 0) >> 24, 0u) << kind;
    }
}

TEST_F(TiffPlugin, SixteenBitRgbIsReducedToEightInEitherByteOrder)
{
    for (const bool bigEndian : {false, true}) {
        TiffRecipe recipe;
        recipe.width = 2;
        recipe.height = 2;
        recipe.bits = 16;
        recipe.samples = 3;
        recipe.photometric = PHOTOMETRIC_RGB;
        recipe.bigEndian = bigEndian;
        const std::uint16_t values[] = {65535, 0, 257 * 18, 257 * 52, 257 * 86, 257 * 120,
                                        257 * 154, 257 * 188, 257 * 222, 0, 0, 1000};
        Bytes samples(sizeof values);
        std::memcpy(samples.data(), values, sizeof values);
        const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS);
        EXPECT_EQ(picture.bits, 24);
        EXPECT_EQ(picture.Pixel(0, 0), 0xFF0012u) << bigEndian;
        EXPECT_EQ(picture.Pixel(1, 0), 0x345678u) << bigEndian;
        EXPECT_EQ(picture.Pixel(0, 1), 0x9ABCDEu) << bigEndian;
        EXPECT_EQ(picture.Pixel(1, 1), 0x000004u) << bigEndian;
    }
}

TEST_F(TiffPlugin, JpegCompressedYcbcrComesBackAsRgbWithinJpegLoss)
{
    TiffRecipe recipe;
    recipe.width = 32;
    recipe.height = 32;
    recipe.samples = 3;
    recipe.photometric = PHOTOMETRIC_YCBCR;
    recipe.compression = COMPRESSION_JPEG;
    recipe.jpegRgbInput = true;
    recipe.rowsPerStrip = 16;
    // Four flat 16 x 16 quarters, so that colour subsampling loses nothing but rounding.
    const std::uint32_t quarters[] = {0xC83214, 0x1E8C3C, 0x2850B4, 0xF0F0F0};
    Bytes samples;
    for (std::uint32_t y = 0; y < 32; ++y)
        for (std::uint32_t x = 0; x < 32; ++x) {
            const std::uint32_t c = quarters[(y / 16) * 2 + x / 16];
            samples.insert(samples.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
        }
    const Picture picture = Decode(plugin, WriteTiff(recipe, samples));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 24);
    // Away from the quarters' edges, where upsampling the colour blends neighbours.
    for (std::int32_t y : {2, 9, 21, 29})
        for (std::int32_t x : {2, 9, 21, 29}) {
            const std::uint32_t want = quarters[(y / 16) * 2 + x / 16];
            const std::uint32_t got = picture.Pixel(x, y);
            for (int shift : {0, 8, 16})
                EXPECT_NEAR(int(got >> shift & 0xFF), int(want >> shift & 0xFF), 8) << x << "," << y;
        }
}

// Layouts without a row conversion of their own go through libtiff's RGBA reader: CMYK, and a
// picture stored from the bottom in strips, read in several bands.
TEST_F(TiffPlugin, OtherLayoutsBecomeThirtyTwoBitsInTheRightRowOrder)
{
    TiffRecipe cmyk;
    cmyk.width = 2;
    cmyk.height = 2;
    cmyk.samples = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    Picture picture = Decode(plugin, WriteTiff(cmyk, {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0}));
    ASSERT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.bits, 32);
    EXPECT_EQ(picture.Pixel(0, 0), 0xFF00FFFFu);
    EXPECT_EQ(picture.Pixel(1, 0), 0xFFFF00FFu);
    EXPECT_EQ(picture.Pixel(0, 1), 0xFF000000u);
    EXPECT_EQ(picture.Pixel(1, 1), 0xFFFFFFFFu);

    // The same reader on tiles whose edges stick out of the picture.
    cmyk.width = 21;
    cmyk.height = 19;
    Bytes inks(21 * 19 * 4);
    for (std::size_t i = 0; i < inks.size(); ++i)
        inks[i] = std::uint8_t(i % 7 == 0 ? 255 : i % 5 == 0 ? 128 : 0);
    const Picture fromStrips = Decode(plugin, WriteTiff(cmyk, inks));
    cmyk.tileWidth = 16;
    cmyk.tileHeight = 16;
    const Picture fromTiles = Decode(plugin, WriteTiff(cmyk, inks));
    ASSERT_EQ(fromStrips.code, SPI_SUCCESS);
    ASSERT_EQ(fromTiles.code, SPI_SUCCESS);
    EXPECT_EQ(fromTiles.pixels, fromStrips.pixels);
    EXPECT_EQ(fromStrips.Pixel(0, 0), 0xFF00FFFFu);  // ink 0 of pixel 0 is full cyan

    for (const std::uint16_t orientation : {ORIENTATION_BOTLEFT, ORIENTATION_TOPLEFT}) {
        TiffRecipe grey;
        grey.width = 3;
        grey.height = 150;  // more than one band of rows
        grey.rowsPerStrip = 7;
        grey.orientation = orientation;
        grey.bits = 4;  // top-left: the unpacking rows; bottom-left: the RGBA reader; both agree
        Bytes samples(2 * 150);
        for (std::size_t y = 0; y < 150; ++y)
            samples[2 * y] = std::uint8_t((y % 16) << 4 | (15 - y % 16));
        picture = Decode(plugin, WriteTiff(grey, samples));
        ASSERT_EQ(picture.code, SPI_SUCCESS) << orientation;
        for (std::int32_t y = 0; y < 150; ++y) {
            // Stored row s is picture row s from the top, or from the bottom for BOTLEFT.
            const std::int32_t s = orientation == ORIENTATION_BOTLEFT ? 149 - y : y;
            const std::uint32_t grey0 = std::uint32_t(s % 16) * 17, grey1 = std::uint32_t(15 - s % 16) * 17;
            ASSERT_EQ(Colour(picture, 0, y) & 0xFFFFFF, grey0 * 0x010101) << orientation << " row " << y;
            ASSERT_EQ(Colour(picture, 1, y) & 0xFFFFFF, grey1 * 0x010101) << orientation << " row " << y;
        }
    }
}

TEST_F(TiffPlugin, ResolutionsBecomePixelsPerMetre)
{
    TiffRecipe recipe;
    recipe.resolution = 300;
    Picture picture = Decode(plugin, WriteTiff(recipe, {1}));
    EXPECT_EQ(picture.pixelsPerMetreX, 11811);
    EXPECT_EQ(picture.pixelsPerMetreY, 11811);
    recipe.resolution = 40;
    recipe.resolutionUnit = RESUNIT_CENTIMETER;
    picture = Decode(plugin, WriteTiff(recipe, {1}));
    EXPECT_EQ(picture.pixelsPerMetreX, 4000);
    recipe.resolutionUnit = RESUNIT_NONE;
    picture = Decode(plugin, WriteTiff(recipe, {1}));
    EXPECT_EQ(picture.pixelsPerMetreX, 0);
    recipe.resolution = 0;
    picture = Decode(plugin, WriteTiff(recipe, {1}));
    EXPECT_EQ(picture.code, SPI_SUCCESS);
    EXPECT_EQ(picture.pixelsPerMetreY, 0);
}

}  // namespace
