// Building a bitmap from a plug-in's blocks: what is taken from them, and that blocks smaller than
// they claim are refused without a byte read past their end.
#include "SSpiAccess.h"

#include "FuzzSeeds.h"
#include "ScanFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ulib;
using ulib::test::Bytes;

namespace {

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

// A 40-byte information header, then the colour table or masks (4 bytes each).
Bytes Info(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t compression = 0,
           std::vector<std::uint32_t> tail = {})
{
    Bytes info(40 + tail.size() * 4);
    Put32(info, 0, 40);
    Put32(info, 4, std::uint32_t(width));
    Put32(info, 8, std::uint32_t(height));
    info[12] = 1;
    info[14] = std::uint8_t(bits);
    info[15] = std::uint8_t(bits >> 8);
    Put32(info, 16, compression);
    Put32(info, 24, 3780);
    Put32(info, 28, 2835);
    for (std::size_t i = 0; i < tail.size(); ++i)
        Put32(info, 40 + i * 4, tail[i]);
    return info;
}

std::vector<std::uint32_t> Table(std::size_t entries)
{
    std::vector<std::uint32_t> table(entries);
    for (std::size_t i = 0; i < entries; ++i)
        table[i] = std::uint32_t(0x00010203 * (i + 1)) & 0xFFFFFF;
    return table;
}

// Exact-size heap copies, so that a read past either block shows up under the sanitizers.
SError Build(SBitmap& bitmap, const Bytes& info, const Bytes& pixels)
{
    std::unique_ptr<std::uint8_t[]> infoCopy(new std::uint8_t[info.size()]);
    std::unique_ptr<std::uint8_t[]> pixelCopy(new std::uint8_t[pixels.size()]);
    std::copy(info.begin(), info.end(), infoCopy.get());
    std::copy(pixels.begin(), pixels.end(), pixelCopy.get());
    return PictureFromPluginBlocks(&bitmap, infoCopy.get(), info.size(), pixelCopy.get(), pixels.size());
}

Bytes Ramp(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t(i * 7 + 1);
    return bytes;
}

TEST(PictureFromPluginBlocks, TakesSizeResolutionsTableAndPixels)
{
    SBitmap bitmap;
    const Bytes pixels = Ramp(8);  // 2 rows of 4 bytes
    ASSERT_EQ(Id(Build(bitmap, Info(2, 2, 8, 0, Table(256)), pixels)), "");
    EXPECT_EQ(bitmap.Dimensions(), (SPoint{2, 2}));
    EXPECT_EQ(bitmap.Format(), 8);
    EXPECT_EQ(bitmap.ResolutionX(), 3780);
    EXPECT_EQ(bitmap.ResolutionY(), 2835);
    EXPECT_EQ(bitmap.GetPaletteEntry(1), SColor(0x02, 0x04, 0x06));
    EXPECT_EQ(bitmap.GetPaletteEntry(255), SColor(0x02, 0x03, 0x00));
    ASSERT_EQ(bitmap.PixelAreaSize(), pixels.size());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bitmap.PixelArea()));

    // A larger pixel block is fine: only the area is taken.
    ASSERT_EQ(Id(Build(bitmap, Info(3, 1, 24), Ramp(64))), "");
    EXPECT_EQ(bitmap.GetColor(0, 0), SColor(Ramp(3)[2], Ramp(3)[1], Ramp(3)[0]));
}

TEST(PictureFromPluginBlocks, ATableTheBlockDoesNotHoldIsLeftAlone)
{
    SBitmap bitmap;
    ASSERT_EQ(Id(Build(bitmap, Info(2, 2, 8, 0, Table(255)), Ramp(8))), "");
    EXPECT_EQ(bitmap.GetPaletteEntry(1), SColor());
    ASSERT_EQ(Id(Build(bitmap, Info(2, 2, 1, 0, Table(2)), Ramp(8))), "");
    EXPECT_EQ(bitmap.GetPaletteEntry(1), SColor(0x02, 0x04, 0x06));
}

TEST(PictureFromPluginBlocks, SixteenBitPicturesKeepTheirColourLayout)
{
    SBitmap bitmap;
    ASSERT_EQ(Id(Build(bitmap, Info(1, 1, 16), Ramp(4))), "");
    EXPECT_EQ(bitmap.Format(), 15);  // plain 16-bit is 5-5-5
    ASSERT_EQ(Id(Build(bitmap, Info(1, 1, 16, 3, {0xF800, 0x07E0, 0x001F}), Ramp(4))), "");
    EXPECT_EQ(bitmap.Format(), 16);
    ASSERT_EQ(Id(Build(bitmap, Info(1, 1, 16, 3, {0x7C00, 0x03E0, 0x001F}), Ramp(4))), "");
    EXPECT_EQ(bitmap.Format(), 15);
    EXPECT_EQ(Id(Build(bitmap, Info(1, 1, 16, 3, {0xF00, 0xF0, 0xF}), Ramp(4))), "bad_format");
    EXPECT_EQ(Id(Build(bitmap, Info(1, 1, 16, 3), Ramp(4))), "bad_format");  // masks missing
}

TEST(PictureFromPluginBlocks, RefusesWhatTheBlocksDoNotHold)
{
    SBitmap bitmap;
    const Bytes info = Info(5, 3, 24);
    const Bytes pixels = Ramp(48);  // 3 rows of 16 bytes
    for (std::size_t size = 0; size < 40; ++size) {
        ASSERT_EQ(Build(bitmap, info, pixels), 0u);
        EXPECT_EQ(Id(Build(bitmap, Bytes(info.begin(), info.begin() + std::ptrdiff_t(size)), pixels)), "bad_format");
        EXPECT_TRUE(bitmap.IsPristine()) << size;
    }
    for (std::size_t size : {0, 1, 47}) {
        EXPECT_EQ(Id(Build(bitmap, info, Bytes(pixels.begin(), pixels.begin() + std::ptrdiff_t(size)))), "unexpected");
        EXPECT_TRUE(bitmap.IsPristine()) << size;
    }
    EXPECT_EQ(Id(PictureFromPluginBlocks(&bitmap, info.data(), info.size(), nullptr, 48)), "unexpected");
    EXPECT_EQ(Id(PictureFromPluginBlocks(&bitmap, nullptr, 40, pixels.data(), pixels.size())), "bad_format");
    EXPECT_EQ(Id(PictureFromPluginBlocks(nullptr, info.data(), info.size(), pixels.data(), pixels.size())), "pointer");
}

TEST(PictureFromPluginBlocks, RefusesFormatsAndSizesTheBitmapCannotTake)
{
    SBitmap bitmap;
    EXPECT_EQ(Id(Build(bitmap, Info(2, 2, 2), Ramp(8))), "bad_format");
    EXPECT_EQ(Id(Build(bitmap, Info(2, 2, 8, 1, Table(256)), Ramp(8))), "bad_format");  // run lengths
    EXPECT_EQ(Id(Build(bitmap, Info(12001, 1, 8), Ramp(12004))), "memory_alloc");
    EXPECT_EQ(Id(Build(bitmap, Info(2, -2, 24), Ramp(16))), "memory_alloc");  // top-down
    EXPECT_EQ(Id(Build(bitmap, Info(-2, 2, 24), Ramp(16))), "memory_alloc");
    EXPECT_TRUE(bitmap.IsPristine());
}

// A 32-bit picture with a V5 header (124 bytes): bit fields with the given masks, sRGB.
Bytes V5Info(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000})
{
    Bytes info = Info(width, height, 32, 3, masks);
    info.resize(124);
    Put32(info, 0, 124);
    Put32(info, 56, 0x73524742);  // 'sRGB'
    return info;
}

// The mark needs a header that holds the alpha mask and the bitmap's own byte order; everything
// else read today gives the same picture as before, unmarked.
TEST(PictureFromPluginBlocks, AnAlphaMaskMarksThirtyTwoBitPicturesAndChangesNothingElse)
{
    const Bytes pixels = Ramp(24);  // 3 x 2 pixels, alpha bytes 0x16, 0x32, ...
    SBitmap plain;
    ASSERT_EQ(Id(Build(plain, Info(3, 2, 32), pixels)), "");
    EXPECT_FALSE(plain.HasAlpha());

    Bytes v4 = V5Info(3, 2);
    v4.resize(108);
    Put32(v4, 0, 108);
    Bytes cut = V5Info(3, 2);  // claims 124 bytes, the block holds 52: the alpha mask is not read
    cut.resize(52);
    Bytes opaque = Ramp(24);
    for (std::size_t i = 3; i < opaque.size(); i += 4)
        opaque[i] = 0;
    const struct
    {
        const char* name;
        Bytes info;
        Bytes pixels;
        bool marked;
    } cases[] = {
        {"v5", V5Info(3, 2), pixels, true},
        {"v4", v4, pixels, true},
        {"v5 with alpha zero throughout", V5Info(3, 2), opaque, false},
        {"v5 without an alpha mask", V5Info(3, 2, {0xFF0000, 0xFF00, 0xFF, 0}), pixels, false},
        {"v5 in red, green, blue, alpha order", V5Info(3, 2, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}), pixels, false},
        {"v5 uncompressed", [] { Bytes b = V5Info(3, 2); Put32(b, 16, 0); return b; }(), pixels, false},
        {"40 bytes and four masks", Info(3, 2, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}), pixels, false},
        {"v5 cut", cut, pixels, false},
    };
    for (const auto& c : cases) {
        SBitmap bitmap;
        ASSERT_EQ(Id(Build(bitmap, c.info, c.pixels)), "") << c.name;
        EXPECT_EQ(bitmap.HasAlpha(), c.marked) << c.name;
        EXPECT_EQ(bitmap.Format(), 32) << c.name;
        EXPECT_EQ(bitmap.Dimensions(), plain.Dimensions()) << c.name;
        EXPECT_EQ(bitmap.ResolutionX(), plain.ResolutionX()) << c.name;
        ASSERT_EQ(bitmap.PixelAreaSize(), c.pixels.size()) << c.name;
        EXPECT_TRUE(std::equal(c.pixels.begin(), c.pixels.end(), bitmap.PixelArea())) << c.name;
    }

    // The mark belongs to one picture: the next one read into the same bitmap starts without it.
    SBitmap reused;
    ASSERT_EQ(Id(Build(reused, V5Info(3, 2), pixels)), "");
    ASSERT_TRUE(reused.HasAlpha());
    ASSERT_EQ(Id(Build(reused, Info(3, 2, 32), pixels)), "");
    EXPECT_FALSE(reused.HasAlpha());
    EXPECT_EQ(Id(Build(reused, V5Info(3, 2), Ramp(23))), "unexpected");
    EXPECT_TRUE(reused.IsPristine());
}

// The fuzzer's input: two little-endian bytes giving the information block's length, that block,
// then the pixel block.
Bytes FuzzInput(const Bytes& info, const Bytes& pixels)
{
    Bytes input = {std::uint8_t(info.size()), std::uint8_t(info.size() >> 8)};
    input.insert(input.end(), info.begin(), info.end());
    input.insert(input.end(), pixels.begin(), pixels.end());
    return input;
}

TEST(PictureFromPluginBlocksSeeds, FuzzCorpusHoldsBlocksOfEachKind)
{
    const test::Seeds seeds = {
        {"grey8.bin", FuzzInput(Info(3, 2, 8, 0, Table(256)), Ramp(8))},
        {"mono1.bin", FuzzInput(Info(9, 2, 1, 0, Table(2)), Ramp(8))},
        {"rgb24.bin", FuzzInput(Info(2, 2, 24), Ramp(16))},
        {"rgb565.bin", FuzzInput(Info(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}), Ramp(4))},
        {"rgba32-short.bin", FuzzInput(Info(2, 2, 32), Ramp(15))},
        {"rgba32-v5.bin", FuzzInput(V5Info(2, 2), Ramp(16))},
    };
    test::WriteSeedsWhenAsked("FuzzPluginBlocks", seeds);
    for (const auto& [name, bytes] : seeds)
        EXPECT_EQ(test::ReadFileBytes(test::FuzzCorpusFolder("FuzzPluginBlocks") / name), bytes)
            << name << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
}

}  // namespace
