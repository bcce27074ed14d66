// Bit-field BMPs (compression 3) of every channel layout drawing programs write, with and without an
// alpha mask: each stored pixel is checked against the channel values its bits encode.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

using namespace ulib;

namespace {

// The 8-bit value of the bits a mask selects, worked out bit by bit: output bit 7 - i is channel bit
// n - 1 - (i mod n), so a narrow channel repeats and a wide one keeps its top bits.
std::uint8_t Expected(std::uint32_t pixel, std::uint32_t mask)
{
    const int n = std::popcount(mask);
    if (n == 0)
        return 0;
    const std::uint32_t v = (pixel & mask) >> std::countr_zero(mask);
    std::uint8_t out = 0;
    for (int i = 0; i < 8; ++i)
        out = std::uint8_t(out | ((v >> (n - 1 - i % n)) & 1) << (7 - i));
    return out;
}

SError Read(SBitmap& image, const BmpRecipe& recipe)
{
    const Bytes file = MakeBmp(recipe);
    return ReadBmp(image, file.data(), file.data() + file.size());
}

}  // namespace

TEST(ReadBmp, BitFieldsOfAnyLayoutGiveTheEncodedChannels)
{
    struct Case
    {
        const char* what;
        std::uint16_t bits;
        std::uint32_t infoSize;
        std::vector<std::uint32_t> masks;  // red, green, blue (, alpha)
        std::int32_t format;
    };
    const Case cases[] = {
        {"16: 4-4-4", 16, 40, {0x0F00, 0x00F0, 0x000F}, 24},
        {"16: 2-3-1", 16, 40, {0x0030, 0x000E, 0x0001}, 24},
        {"16: 3-10-3", 16, 108, {0xE000, 0x1FF8, 0x0007}, 24},
        {"16: 6-5-5, blue high", 16, 40, {0x003F, 0x07C0, 0xF800}, 24},
        {"16: 4-4-4-4", 16, 124, {0x0F00, 0x00F0, 0x000F, 0xF000}, 32},
        {"16: 5-5-5-1, alpha low", 16, 108, {0xF800, 0x07C0, 0x003E, 0x0001}, 32},
        {"16: 4-4-4, zero alpha mask", 16, 56, {0x0F00, 0x00F0, 0x000F, 0}, 24},
        {"32: 10-10-10-2", 32, 124, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, 32},
        {"32: 11-11-10", 32, 108, {0xFFE00000, 0x001FFC00, 0x000003FF}, 24},
        {"32: 7-1-8-7", 32, 124, {0x7F000000, 0x00800000, 0x007F8000, 0x00007F00}, 32},
        {"32: 8-8-8-8, alpha low", 32, 56, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, 32},
        {"32: 5-6-5 in the low half", 32, 40, {0xF800, 0x07E0, 0x001F}, 24},
        {"32: one bit each", 32, 40, {0x4, 0x2, 0x1}, 24},
        {"32: red only", 32, 40, {0xFF0000, 0, 0}, 24},
    };
    std::mt19937 random(5);
    for (const Case& c : cases) {
        for (std::int32_t height : {3, -3}) {
            BmpRecipe recipe;
            recipe.width = 5;
            recipe.height = height;
            recipe.bitCount = c.bits;
            recipe.compression = 3;
            recipe.infoSize = c.infoSize;
            recipe.masks = c.masks;
            // Random bits everywhere, also outside the masks and in the row padding; the first
            // pixel has every bit set, so each channel's largest value must come out as 255.
            const std::size_t stride = (5 * std::size_t(c.bits) + 31) / 32 * 4;
            for (std::size_t i = 0; i < stride * 3; ++i)
                recipe.pixels.push_back(std::uint8_t(i < c.bits / 8 ? 0xFF : random()));
            SBitmap image;
            ASSERT_EQ(Read(image, recipe), 0u) << c.what;
            ASSERT_EQ(image.Format(), c.format) << c.what;
            EXPECT_EQ(image.HasAlpha(), c.format == 32) << c.what;
            const std::uint32_t alphaMask = c.masks.size() > 3 ? c.masks[3] : 0;
            for (std::int32_t fileRow = 0; fileRow < 3; ++fileRow)
                for (std::int32_t x = 0; x < 5; ++x) {
                    const std::uint8_t* stored = recipe.pixels.data() + std::size_t(fileRow) * stride;
                    std::uint32_t pixel = 0;
                    for (std::size_t i = 0; i < c.bits / 8u; ++i)
                        pixel |= std::uint32_t(stored[std::size_t(x) * c.bits / 8 + i]) << (8 * i);
                    const std::int32_t y = height < 0 ? fileRow : 2 - fileRow;
                    const std::uint8_t* got = image.PixelAddress(x, y);
                    const std::string at = std::string(c.what) + " at " + std::to_string(x) + "," + std::to_string(y);
                    EXPECT_EQ(got[0], Expected(pixel, c.masks[2])) << at;
                    EXPECT_EQ(got[1], Expected(pixel, c.masks[1])) << at;
                    EXPECT_EQ(got[2], Expected(pixel, c.masks[0])) << at;
                    if (c.format == 32) {
                        EXPECT_EQ(got[3], Expected(pixel, alphaMask)) << at;
                    }
                    if (fileRow == 0 && x == 0) {
                        EXPECT_EQ(got[2], c.masks[0] != 0 ? 255 : 0) << at;
                    }
                }
        }
    }
}

TEST(ReadBmp, UnusableBitFieldsAndOtherCompressionsAreRefused)
{
    struct Case
    {
        const char* what;
        std::uint16_t bits;
        std::uint32_t compression;
        std::uint32_t infoSize;
        std::vector<std::uint32_t> masks;
        const char* error;
    };
    const Case cases[] = {
        {"mask with a gap", 16, 3, 40, {0x0F0F, 0x00F0, 0x0000}, "UnacceptableVersion"},
        {"masks sharing a bit", 16, 3, 40, {0x0F80, 0x00F0, 0x000F}, "UnacceptableVersion"},
        {"alpha sharing a bit", 32, 3, 124, {0x3FF00000, 0x000FFC00, 0x000003FF, 0x00000300}, "UnacceptableVersion"},
        {"mask past 16 bits", 16, 3, 40, {0x1F000, 0x07E0, 0x001F}, "UnacceptableVersion"},
        {"24-bit fields", 24, 3, 40, {0xFF0000, 0xFF00, 0xFF}, "UnacceptableVersion"},
        {"8-bit fields", 8, 3, 40, {0xE0, 0x1C, 0x03}, "UnacceptableVersion"},
        {"JPEG inside", 24, 4, 40, {}, "UnacceptableVersion"},
        {"PNG inside", 24, 5, 40, {}, "UnacceptableVersion"},
        {"alpha bit fields", 32, 6, 40, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, "UnacceptableVersion"},
        {"masks cut off", 16, 3, 40, {0xF800}, "taillostdata"},
        {"alpha mask cut off", 32, 3, 56, {0xFF0000, 0xFF00, 0xFF}, "taillostdata"},
    };
    for (const Case& c : cases) {
        BmpRecipe recipe;
        recipe.width = 1;
        recipe.height = 1;
        recipe.bitCount = c.bits;
        recipe.compression = c.compression;
        recipe.infoSize = c.infoSize;
        recipe.masks = c.masks;
        Bytes file = MakeBmp(recipe);  // no pixels: a refusal must come from the header alone
        if (c.infoSize == 56)
            file.resize(14 + 54);
        SBitmap image = Made(2, 2, 8);
        EXPECT_EQ(ReadBmp(image, file.data(), file.data() + file.size()), Id(c.error)) << c.what;
        EXPECT_TRUE(image.IsPristine()) << c.what;
    }
}
