// The TIFF plug-in on hostile input: every cut and every flipped bit of a few seed files gives a
// picture or an error code with nothing allocated, a claimed size beyond the cap is refused before
// anything is read, and the progress function is called per band and can stop the reading. The
// seeds also make the corpus of the FuzzTiffPlugin target (HUEDRANE_WRITE_SEEDS=1 rewrites it).
#include "TiffFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tiffio.h>

namespace {

using ulib::test::Seeds;

Bytes Pattern(std::size_t count, unsigned multiplier)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = std::uint8_t(i * multiplier ^ i >> 3);
    return bytes;
}

// One small file of each road through the reader.
Seeds TiffSeeds()
{
    Seeds seeds;
    seeds.emplace_back("bilevel-g4.tif", WriteTiff(Recipe(21, 9, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4), Pattern(27, 37)));
    seeds.emplace_back("grey-lzw.tif", WriteTiff(Recipe(9, 7, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW), Pattern(63, 3)));
    TiffRecipe palette = Recipe(7, 5, 4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_PACKBITS);
    for (std::uint16_t i = 0; i < 48; ++i)
        palette.colourMap.push_back(std::uint16_t(i * 1367));
    seeds.emplace_back("palette4-packbits.tif", WriteTiff(palette, Pattern(20, 11)));
    TiffRecipe tiles = Recipe(19, 17, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE);
    tiles.tileWidth = 16;
    tiles.tileHeight = 16;
    seeds.emplace_back("rgb-tiles-deflate.tif", WriteTiff(tiles, Pattern(19 * 17 * 3, 5)));
    TiffRecipe rgba = Recipe(5, 4, 8, 4, PHOTOMETRIC_RGB, COMPRESSION_NONE);
    rgba.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    seeds.emplace_back("rgba-assoc.tif", WriteTiff(rgba, Pattern(80, 7)));
    TiffRecipe rgb16 = Recipe(4, 3, 16, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW);
    rgb16.bigEndian = true;
    seeds.emplace_back("rgb16-be.tif", WriteTiff(rgb16, Pattern(72, 13)));
    TiffRecipe rgba16 = Recipe(4, 3, 16, 4, PHOTOMETRIC_RGB, COMPRESSION_NONE);
    rgba16.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    seeds.emplace_back("rgba16-unassoc.tif", WriteTiff(rgba16, Pattern(96, 29)));
    seeds.emplace_back("grey16-white.tif", WriteTiff(Recipe(5, 3, 16, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE), Pattern(30, 19)));
    TiffRecipe greyAlpha = Recipe(5, 4, 8, 2, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS);
    greyAlpha.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    seeds.emplace_back("grey-alpha8-assoc.tif", WriteTiff(greyAlpha, Pattern(40, 27)));
    TiffRecipe greyAlpha16 = Recipe(5, 4, 16, 2, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    greyAlpha16.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    greyAlpha16.bigEndian = true;
    seeds.emplace_back("grey-alpha16-be.tif", WriteTiff(greyAlpha16, Pattern(80, 31)));
    TiffRecipe jpeg = Recipe(16, 16, 8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG);
    jpeg.jpegRgbInput = true;
    jpeg.rowsPerStrip = 16;
    seeds.emplace_back("ycbcr-jpeg.tif", WriteTiff(jpeg, Pattern(16 * 16 * 3, 1)));
    seeds.emplace_back("cmyk.tif", WriteTiff(Recipe(3, 3, 8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_NONE), Pattern(36, 9)));
    TiffRecipe cmykTiles = Recipe(17, 18, 8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_LZW);
    cmykTiles.tileWidth = 16;
    cmykTiles.tileHeight = 16;
    seeds.emplace_back("cmyk-tiles-lzw.tif", WriteTiff(cmykTiles, Pattern(17 * 18 * 4, 23)));
    TiffRecipe bottomUp = Recipe(6, 5, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    bottomUp.orientation = ORIENTATION_BOTLEFT;
    seeds.emplace_back("grey-bottom-up.tif", WriteTiff(bottomUp, Pattern(30, 17)));
    return seeds;
}

bool IsRefusal(int code) { return code == SPI_NOT_SUPPORTED || code == SPI_BAD_FORMAT || code == SPI_NO_MEMORY; }

// Sets a tag of the first directory of a little-endian classic TIFF to one LONG value.
void PatchTag(Bytes& bytes, std::uint16_t tag, std::uint32_t value)
{
    auto get = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | bytes.at(at + std::size_t(i));
        return v;
    };
    const std::size_t directory = get(4, 4);
    const std::uint32_t entries = get(directory, 2);
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::size_t entry = directory + 2 + 12 * e;
        if (get(entry, 2) != tag)
            continue;
        const std::uint8_t patched[] = {4, 0, 1, 0, 0, 0, std::uint8_t(value), std::uint8_t(value >> 8),
                                        std::uint8_t(value >> 16), std::uint8_t(value >> 24)};
        std::copy(std::begin(patched), std::end(patched), bytes.begin() + std::ptrdiff_t(entry + 2));
        return;
    }
    ADD_FAILURE() << "no tag " << tag;
}

using TiffDamage = LoadedPluginTest;

TEST_F(TiffDamage, EveryCutAndBitFlipGivesAPictureOrAnErrorCodeSilently)
{
    // The plug-in runs inside a helper whose error output is the program's: libtiff and its codecs
    // must not print there.
    testing::internal::CaptureStderr();
    for (const auto& [name, seed] : TiffSeeds()) {
        ASSERT_EQ(Decode(plugin, seed).code, SPI_SUCCESS) << name;
        for (std::size_t length = 0; length < seed.size(); ++length) {
            const int code = Decode(plugin, Bytes(seed.begin(), seed.begin() + std::ptrdiff_t(length))).code;
            // Cut data is refused, never padded; a cut that drops only unused bytes may still read.
            ASSERT_TRUE(code == SPI_SUCCESS || IsRefusal(code)) << name << " cut at " << length << ": " << code;
        }
        Bytes flipped = seed;
        for (std::size_t bit = 0; bit < seed.size() * 8; ++bit) {
            flipped[bit / 8] ^= std::uint8_t(1u << bit % 8);
            const int code = Decode(plugin, flipped).code;
            ASSERT_TRUE(code == SPI_SUCCESS || IsRefusal(code)) << name << " bit " << bit << ": " << code;
            flipped[bit / 8] = seed[bit / 8];
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(TiffDamage, CutStripsAreRefusedNotPadded)
{
    const Bytes samples = Pattern(64 * 64, 3);
    TiffRecipe recipe = Recipe(64, 64, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE);
    recipe.rowsPerStrip = 64;
    Bytes bytes = WriteTiff(recipe, samples);
    // libtiff writes the strip before the directory: point the strip past the end of the file.
    PatchTag(bytes, TIFFTAG_STRIPOFFSETS, std::uint32_t(bytes.size() - 100));
    EXPECT_EQ(Decode(plugin, bytes).code, SPI_BAD_FORMAT);
}

TEST_F(TiffDamage, ClaimedSizesBeyondTheCapAreRefusedBeforeReading)
{
    Bytes bytes = WriteTiff(Recipe(4, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE), Pattern(16, 1));
    PatchTag(bytes, TIFFTAG_IMAGEWIDTH, 20000);
    PatchTag(bytes, TIFFTAG_IMAGELENGTH, 20000);
    EXPECT_EQ(Decode(plugin, bytes).code, SPI_NO_MEMORY);
    // Within the cap, but the file holds 16 of its 100 million bytes.
    PatchTag(bytes, TIFFTAG_IMAGEWIDTH, 10000);
    PatchTag(bytes, TIFFTAG_IMAGELENGTH, 10000);
    PatchTag(bytes, TIFFTAG_ROWSPERSTRIP, 10000);
    PatchTag(bytes, TIFFTAG_STRIPBYTECOUNTS, 16);
    EXPECT_EQ(Decode(plugin, bytes).code, SPI_BAD_FORMAT);
}

struct ProgressLog
{
    std::vector<std::pair<int, int>> calls;
    std::size_t stopAt = SIZE_MAX;  // the call that asks to stop
};

int LogProgress(int done, int total, intptr_t data)
{
    auto* log = reinterpret_cast<ProgressLog*>(data);
    log->calls.emplace_back(done, total);
    return log->calls.size() > log->stopAt ? 1 : 0;
}

// Strips, tiles and the RGBA reader each report bands from 0 to the height, and stop when asked.
TEST_F(TiffDamage, ProgressIsReportedPerBandAndStopsTheReading)
{
    TiffRecipe strips = Recipe(10, 200, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW);
    TiffRecipe tiles = Recipe(40, 70, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE);
    tiles.tileWidth = 16;
    tiles.tileHeight = 16;
    TiffRecipe cmyk = Recipe(10, 200, 8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_NONE);
    const std::pair<TiffRecipe, std::size_t> cases[] = {{strips, 10 * 200}, {tiles, 40 * 70 * 3}, {cmyk, 10 * 200 * 4}};
    for (const auto& [recipe, sampleCount] : cases) {
        const Bytes bytes = WriteTiff(recipe, Pattern(sampleCount, 1));
        const int height = int(recipe.height);
        ProgressLog log;
        ASSERT_EQ(Decode(plugin, bytes, LogProgress, reinterpret_cast<intptr_t>(&log)).code, SPI_SUCCESS);
        ASSERT_GE(log.calls.size(), 3u) << recipe.photometric;
        EXPECT_EQ(log.calls.front(), std::make_pair(0, height));
        EXPECT_EQ(log.calls.back(), std::make_pair(height, height));
        for (std::size_t i = 1; i < log.calls.size(); ++i) {
            EXPECT_GT(log.calls[i].first, log.calls[i - 1].first);
            EXPECT_EQ(log.calls[i].second, height);
        }

        for (const std::size_t stopAt : {std::size_t(0), std::size_t(1)}) {
            ProgressLog stopping;
            stopping.stopAt = stopAt;
            EXPECT_EQ(Decode(plugin, bytes, LogProgress, reinterpret_cast<intptr_t>(&stopping)).code, SPI_ABORT);
            EXPECT_EQ(stopping.calls.size(), stopAt + 1) << "no call after the one that stopped";
        }
    }
}

TEST_F(TiffDamage, FuzzCorpusHoldsReadableSeeds)
{
    const Seeds seeds = TiffSeeds();
    ulib::test::WriteSeedsWhenAsked("FuzzTiffPlugin", seeds);
    const std::filesystem::path folder = ulib::test::FuzzCorpusFolder("FuzzTiffPlugin");
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder << " (HUEDRANE_WRITE_SEEDS=1 makes it)";
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(Decode(plugin, ulib::test::ReadFileBytes(entry.path())).code, SPI_SUCCESS) << entry.path();
        ++count;
    }
    EXPECT_GE(count, seeds.size());
}

}  // namespace
