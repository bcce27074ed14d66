// Every stored layout the plug-in reads, pinned: the picture the program builds from the blocks
// (size, bit count, resolutions, colour table and rows) must not change by a byte when the reader
// changes. A failure prints the new digest; take it only for a change made on purpose.
#include "TiffFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tiffio.h>

namespace {

struct PinnedCase
{
    const char* name;
    TiffRecipe recipe;
    std::uint64_t digest;
};

// 19 pixels wide: rows of every bit count end in padding.
TiffRecipe Layout(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric,
                  std::uint16_t compression = COMPRESSION_NONE)
{
    return Recipe(19, 7, bits, samples, photometric, compression);
}

TiffRecipe Extra(TiffRecipe recipe, std::uint16_t kind)
{
    recipe.extraSamples = {kind};
    return recipe;
}

TiffRecipe Tiled(TiffRecipe recipe)
{
    recipe.tileWidth = recipe.tileHeight = 16;
    recipe.height = 18;  // the last row of tiles sticks out of the picture
    return recipe;
}

TiffRecipe BigEndian(TiffRecipe recipe)
{
    recipe.bigEndian = true;
    return recipe;
}

TiffRecipe BottomUp(TiffRecipe recipe)
{
    recipe.orientation = ORIENTATION_BOTLEFT;
    return recipe;
}

TiffRecipe BigTiff(TiffRecipe recipe)
{
    recipe.bigTiff = recipe.bigEndian = true;
    return recipe;
}

TiffRecipe Dpi300(TiffRecipe recipe)
{
    recipe.resolution = 300;
    return recipe;
}

// Pinned against the JPEG library this program is built with.
TiffRecipe Jpeg()
{
    TiffRecipe recipe = Layout(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG);
    recipe.jpegRgbInput = true;
    recipe.width = recipe.height = recipe.rowsPerStrip = 16;
    return recipe;
}

TiffRecipe Palette(std::uint16_t bits, bool eightBitValues, std::uint16_t compression = COMPRESSION_NONE)
{
    TiffRecipe recipe = Layout(bits, 1, PHOTOMETRIC_PALETTE, compression);
    for (std::uint32_t i = 0; i < 3u << bits; ++i)
        recipe.colourMap.push_back(std::uint16_t(eightBitValues ? (i * 37) & 0xFF : i * 4099));
    return recipe;
}

Bytes Samples(const TiffRecipe& recipe)
{
    const std::size_t rowBytes = (std::size_t(recipe.width) * recipe.bits * recipe.samples + 7) / 8;
    Bytes bytes(rowBytes * recipe.height);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 151 ^ i >> 2);
    return bytes;
}

// FNV-1a over what the program takes from the blocks.
struct Digest
{
    std::uint64_t value = 14695981039346656037u;
    void Add(std::uint64_t word, int bytes = 4)
    {
        for (int i = 0; i < bytes; ++i)
            value = (value ^ (word >> (8 * i) & 0xFF)) * 1099511628211u;
    }
};

std::uint64_t DigestOf(const Picture& picture)
{
    Digest digest;
    for (const std::int64_t field : {std::int64_t(picture.code), std::int64_t(picture.width), std::int64_t(picture.height),
                                     std::int64_t(picture.bits), std::int64_t(picture.pixelsPerMetreX),
                                     std::int64_t(picture.pixelsPerMetreY)})
        digest.Add(std::uint64_t(field));
    for (const std::uint32_t entry : picture.palette)
        digest.Add(entry);
    for (const std::uint8_t byte : picture.pixels)
        digest.Add(byte, 1);
    return digest.value;
}

const std::vector<PinnedCase>& Cases()
{
    static const std::vector<PinnedCase> cases = {
        {"bilevel white-is-zero", Layout(1, 1, PHOTOMETRIC_MINISWHITE), 0x30625a9c281ad200},
        {"bilevel g4", Layout(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4), 0x30625a9c281ad200},
        {"bilevel g3", Layout(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3), 0x30625a9c281ad200},
        {"bilevel black-is-zero packbits", Layout(1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS), 0xc1aa14ee740703d0},
        {"grey 2-bit", Layout(2, 1, PHOTOMETRIC_MINISBLACK), 0xc6667c6f311391fc},
        {"grey 4-bit white-is-zero", Layout(4, 1, PHOTOMETRIC_MINISWHITE), 0xc7b87db51000a4e3},
        {"grey 8-bit lzw", Layout(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW), 0x5cfa1d788553329a},
        {"grey 8-bit white-is-zero", Layout(8, 1, PHOTOMETRIC_MINISWHITE), 0x2d3668642ef2cc9a},
        {"grey 8-bit bottom-up", BottomUp(Layout(8, 1, PHOTOMETRIC_MINISBLACK)), 0x518fbf08067d79eb},
        {"grey 16-bit big-endian", BigEndian(Layout(16, 1, PHOTOMETRIC_MINISBLACK)), 0x3c0474dcb4f77756},
        {"grey 16-bit white-is-zero", Layout(16, 1, PHOTOMETRIC_MINISWHITE), 0x0c40bfc85e971156},
        {"palette 1-bit", Palette(1, false), 0xc69d5ead23cc1891},
        {"palette 2-bit", Palette(2, false), 0x1c4f02cd36bc3aa4},
        {"palette 4-bit packbits", Palette(4, false, COMPRESSION_PACKBITS), 0xafd48d9035a9bad7},
        {"palette 8-bit", Palette(8, false), 0xaa24859d23095a91},
        {"palette 8-bit eight-bit map", Palette(8, true), 0xa72fb8546f4b109a},
        {"rgb 8-bit lzw", Layout(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW), 0x6451c800c5b9160f},
        {"rgb 8-bit tiles deflate", Tiled(Layout(8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE)), 0xb666a820cb67082b},
        {"rgb 8-bit bigtiff big-endian", BigTiff(Layout(8, 3, PHOTOMETRIC_RGB)), 0x6451c800c5b9160f},
        {"rgb 8-bit unspecified extra", Extra(Layout(8, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_UNSPECIFIED), 0xfbc5ac8850e0262c},
        {"rgb 16-bit", Layout(16, 3, PHOTOMETRIC_RGB), 0xaab8cbdd534010bc},
        {"rgb 16-bit big-endian tiles", BigEndian(Tiled(Layout(16, 3, PHOTOMETRIC_RGB))), 0x708a348b90905b72},
        {"rgba 8-bit unassociated", Extra(Layout(8, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_UNASSALPHA), 0x6e002ec9c0486dcd},
        {"rgba 8-bit associated", Extra(Layout(8, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_ASSOCALPHA), 0xec93dc437223e0b5},
        {"rgba 8-bit unassociated bottom-up", BottomUp(Extra(Layout(8, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_UNASSALPHA)), 0x49ec5a2caeae36f0},
        {"rgba 16-bit unassociated", Extra(Layout(16, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_UNASSALPHA), 0x824323319cd993de},
        {"rgba 16-bit associated", Extra(Layout(16, 4, PHOTOMETRIC_RGB), EXTRASAMPLE_ASSOCALPHA), 0x61b13ca8f4493400},
        {"grey-alpha 8-bit unassociated", Extra(Layout(8, 2, PHOTOMETRIC_MINISBLACK), EXTRASAMPLE_UNASSALPHA), 0xae0dbfd4bfb34e34},
        {"grey-alpha 8-bit associated", Extra(Layout(8, 2, PHOTOMETRIC_MINISBLACK), EXTRASAMPLE_ASSOCALPHA), 0x8eb5a3b66e94ddae},
        // 16-bit grey with alpha: grey from its high byte as libtiff's reader renders it, and the alpha
        // that reader drops.
        {"grey-alpha 16-bit unassociated", Extra(Layout(16, 2, PHOTOMETRIC_MINISBLACK), EXTRASAMPLE_UNASSALPHA), 0xab8219bc46ab74d7},
        {"grey-alpha 16-bit associated", Extra(Layout(16, 2, PHOTOMETRIC_MINISBLACK), EXTRASAMPLE_ASSOCALPHA), 0x7fa3916a0ee9f98f},
        {"grey-alpha 8-bit white-is-zero", Extra(Layout(8, 2, PHOTOMETRIC_MINISWHITE), EXTRASAMPLE_UNASSALPHA), 0xb4d3242b9c9e9c6d},
        {"grey-alpha 16-bit white-is-zero", Extra(Layout(16, 2, PHOTOMETRIC_MINISWHITE), EXTRASAMPLE_UNASSALPHA), 0x9b9a90279755bc7a},
        {"ycbcr jpeg", Jpeg(), 0xf241c45f14eccbdd},
        {"cmyk", Layout(8, 4, PHOTOMETRIC_SEPARATED), 0x17b84aa1893901c1},
        {"cmyk tiles lzw", Tiled(Layout(8, 4, PHOTOMETRIC_SEPARATED, COMPRESSION_LZW)), 0xd20a497a110f90ad},
        {"grey 8-bit 300 dpi", Dpi300(Layout(8, 1, PHOTOMETRIC_MINISBLACK)), 0x44169c041e49e53e},
    };
    return cases;
}

using TiffPinned = LoadedPluginTest;

TEST_F(TiffPinned, EveryLayoutReadGivesThePinnedPicture)
{
    for (const PinnedCase& pinned : Cases()) {
        const Picture picture = Decode(plugin, WriteTiff(pinned.recipe, Samples(pinned.recipe)));
        EXPECT_EQ(picture.code, SPI_SUCCESS) << pinned.name;
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%016llx", static_cast<unsigned long long>(DigestOf(picture)));
        EXPECT_EQ(DigestOf(picture), pinned.digest) << pinned.name << ": " << hex;
    }
}

}  // namespace
