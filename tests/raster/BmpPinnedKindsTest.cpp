// Every kind of BMP the reader took before it learnt run lengths, any bit fields and alpha masks,
// pinned by a digest of the whole bitmap it makes (format, headers, colour table, pixels, tables):
// a change to the reader must leave these pictures exactly as they were. Of them only a 32-bit
// bit-field picture whose alpha mask is the whole fourth byte is marked as having alpha.
#include "PictureFixture.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace ulib;

namespace {

// FNV-1a over the bitmap's block, less the alpha mark (byte 1), which readers add to pictures
// whose fourth byte is alpha without touching the pixels.
std::uint64_t Digest(const SBitmap& image)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < image.BlockSize(); ++i) {
        hash ^= i == 1 ? 0 : image.Block()[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

Bytes Pattern(std::size_t count, std::uint8_t seed)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = std::uint8_t(i * 37 + seed);
    return bytes;
}

BmpRecipe Kind(std::int32_t width, std::int32_t height, std::uint16_t bits)
{
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = bits;
    recipe.resolutionX = 2835;
    recipe.resolutionY = 3780;
    const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
    recipe.pixels = Pattern(stride * std::size_t(height < 0 ? -height : height), std::uint8_t(bits + width));
    if (bits <= 8)
        for (std::uint32_t i = 0; i < (1u << bits); ++i)
            recipe.table.push_back(i * 0x030507u + 0x10000000u * (i & 1));
    return recipe;
}

BmpRecipe Fields(BmpRecipe recipe, std::uint32_t infoSize, std::vector<std::uint32_t> masks)
{
    recipe.compression = 3;
    recipe.infoSize = infoSize;
    recipe.masks = std::move(masks);
    return recipe;
}

}  // namespace

TEST(ReadBmp, KindsReadBeforeGiveTheSamePicture)
{
    struct Case
    {
        const char* what;
        BmpRecipe recipe;
        std::int32_t format;
        std::uint64_t digest;
        bool alpha = false;
    };
    BmpRecipe pal4Short = Kind(5, 3, 4);
    pal4Short.coloursUsed = 3;
    pal4Short.table.resize(3);
    pal4Short.gap = 6;
    BmpRecipe pal4Long = Kind(3, 2, 4);
    pal4Long.coloursUsed = 20;
    pal4Long.table.resize(20, 0x00ABCDEF);
    BmpRecipe rgbTable = Kind(3, 2, 24);
    rgbTable.infoSize = 124;
    rgbTable.coloursUsed = 2;
    rgbTable.table = {0x123456, 0x654321};
    BmpRecipe offsetInHeaders = Kind(4, 2, 8);
    offsetInHeaders.pixelOffsetGiven = true;
    offsetInHeaders.pixelOffset = 20;
    const std::vector<std::uint32_t> m565 = {0xF800, 0x07E0, 0x001F}, m555 = {0x7C00, 0x03E0, 0x001F};
    const std::vector<std::uint32_t> m888 = {0xFF0000, 0xFF00, 0xFF}, m8888 = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    BmpRecipe wide15 = Kind(17, 2, 15);  // rows of 16-bit pixels
    wide15.pixels = Pattern(36 * 2, 5);
    BmpRecipe rgbV5 = Kind(2, 3, 32);
    rgbV5.infoSize = 124;
    BmpRecipe rgbV5Masks = rgbV5;  // masks without bit-field compression do not count
    rgbV5Masks.masks = m8888;

    const Case cases[] = {
        {"1 bit", Kind(9, 3, 1), 1, 0x3f243688cabb4186},
        {"1 bit top-down", Kind(9, -3, 1), 1, 0xfd0160cf84f5c286},
        {"4 bits, short table, gap", pal4Short, 4, 0xeb9bf66116dcb265},
        {"4 bits, 20 entries", pal4Long, 4, 0x4833cbbcac2c9df0},
        {"8 bits", Kind(5, 3, 8), 8, 0x7bf438ebc9b3802c},
        {"8 bits, offset into the headers", offsetInHeaders, 8, 0x7dd1ce0110b88569},
        {"16 bits plain", Kind(3, 2, 16), 15, 0x77a3de779434ac1c},
        {"16 bits top-down", Kind(3, -2, 16), 15, 0x70c00d0b9b3a55dc},
        {"15 bits", wide15, 15, 0xa742fe7c2dae6b72},
        {"16 bits 5-6-5 fields", Fields(Kind(3, 2, 16), 40, m565), 16, 0x7e788968d9acce37},
        {"16 bits 5-5-5 fields", Fields(Kind(3, 2, 16), 40, m555), 15, 0x77a3de779434ac1c},
        {"16 bits 5-6-5 fields, version 4", Fields(Kind(3, 2, 16), 108, m565), 16, 0x7e788968d9acce37},
        {"16 bits 1-5-5-5 fields, version 5", Fields(Kind(3, 2, 16), 124, {0x7C00, 0x03E0, 0x001F, 0x8000}),
         15, 0x77a3de779434ac1c},
        {"24 bits", Kind(3, 3, 24), 24, 0x2822da5faf96404c},
        {"24 bits top-down", Kind(3, -3, 24), 24, 0x78e641affb36076c},
        {"24 bits, version 5, table", rgbTable, 24, 0x5bf2df731f419dd4},
        {"32 bits", Kind(2, 3, 32), 32, 0x4731ee6ea3b8817b},
        {"32 bits, version 5", rgbV5, 32, 0x4731ee6ea3b8817b},
        {"32 bits, version 5 with masks", rgbV5Masks, 32, 0x4731ee6ea3b8817b},
        {"32 bits 8-8-8 fields", Fields(Kind(2, 3, 32), 40, m888), 32, 0x4731ee6ea3b8817b},
        {"32 bits 8-8-8-8 fields, version 3", Fields(Kind(2, -3, 32), 56, m8888), 32, 0xaa92e55a55f21fbb, true},
        {"32 bits 8-8-8-8 fields, version 5", Fields(Kind(2, 3, 32), 124, m8888), 32, 0x4731ee6ea3b8817b, true},
        {"48 bits", Kind(2, 2, 48), 48, 0x8c6bda9a06aa6ff2},
        {"64 bits", Kind(2, 2, 64), 64, 0x7d0013f9e978ab03},
        {"no pixels", Kind(0, 0, 24), 24, 0x70347a4f272e8823},
    };
    for (const Case& c : cases) {
        const Bytes file = MakeBmp(c.recipe);
        SBitmap image;
        ASSERT_EQ(ReadBmp(image, file.data(), file.data() + file.size()), 0u) << c.what;
        EXPECT_EQ(image.Format(), c.format) << c.what;
        EXPECT_EQ(image.HasAlpha(), c.alpha) << c.what;
        EXPECT_EQ(Digest(image), c.digest) << c.what << std::hex << " 0x" << Digest(image);
    }
}
