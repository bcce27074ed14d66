// Pixel access: the per-format accessors, coordinate wrapping, the over rule, blending and fills.
#include "RasterFixture.h"
#include "SBitmap.h"
#include "SOver.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace ulib;

TEST(BitmapAccessors, DirectColourFormatsStoreTheirChannels)
{
    SBitmap argb = Made(3, 2, 32);
    argb.SetColor(1, 1, SColor(10, 20, 30, 40));
    const std::uint8_t* p = argb.PixelAddress(1, 1);
    EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{30, 20, 10, 215}));
    EXPECT_EQ(argb.GetColor(1, 1), SColor(10, 20, 30, 40));
    EXPECT_EQ(argb.GetIndex(1, 1), 0u);
    argb.SetIndex(1, 1, 7);
    EXPECT_EQ(argb.GetColor(1, 1), SColor(10, 20, 30, 40));

    SBitmap rgb = Made(3, 2, 24);
    rgb.SetColor(2, 0, SColor(10, 20, 30, 40));
    EXPECT_EQ(rgb.GetColor(2, 0), SColor(10, 20, 30, 0));
    EXPECT_EQ(rgb.PixelAddress(2, 0)[0], 30);

    SBitmap s565 = Made(2, 1, 16);
    s565.SetColor(1, 0, SColor(255, 130, 7));
    EXPECT_EQ(s565.PixelAddress(1, 0)[0] | s565.PixelAddress(1, 0)[1] << 8, 0xFC00);
    EXPECT_EQ(s565.GetColor(1, 0), SColor(248, 128, 0));

    SBitmap s555 = Made(2, 1, 15);
    s555.SetColor(1, 0, SColor(255, 130, 7));
    EXPECT_EQ(s555.PixelAddress(1, 0)[0] | s555.PixelAddress(1, 0)[1] << 8, 0x7E00);
    EXPECT_EQ(s555.GetColor(1, 0), SColor(248, 128, 0));
}

TEST(BitmapAccessors, TwoPlaneFormatsTouchOnlyTheFirstBytes)
{
    SBitmap wide = Made(2, 1, 64);
    wide.SetColor(0, 0, SColor(1, 2, 3, 4));
    EXPECT_EQ(wide.GetColor(0, 0), SColor(1, 2, 3, 4));
    EXPECT_EQ(wide.PixelAddress(1, 0) - wide.PixelAddress(0, 0), 8);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(wide.PixelAddress(0, 0)[i], 0);

    SBitmap deep = Made(2, 1, 48);
    deep.SetColor(0, 0, SColor(1, 2, 3, 4));
    EXPECT_EQ(deep.GetColor(0, 0), SColor(1, 2, 3, 0));
    EXPECT_EQ(deep.PixelAddress(0, 0)[3], 0xFF);

    SBitmap grey = Made(2, 1, -16);
    grey.SetPaletteEntry(5, SColor(50, 60, 70));
    grey.PixelAddress(1, 0)[0] = 5;
    EXPECT_EQ(grey.GetIndex(1, 0), 5u);
    EXPECT_EQ(grey.GetColor(1, 0), SColor(50, 60, 70));
    grey.SetIndex(1, 0, 9);
    grey.SetColor(1, 0, SColor::White);
    EXPECT_EQ(grey.GetIndex(1, 0), 5u);
}

TEST(BitmapAccessors, IndexedFormatsReadThroughTheTable)
{
    SBitmap eight = Made(2, 2, 8);
    eight.SetPaletteEntry(200, SColor(9, 8, 7));
    eight.SetIndex(1, 0, 200);
    EXPECT_EQ(eight.GetIndex(1, 0), 200u);
    EXPECT_EQ(eight.GetColor(1, 0), SColor(9, 8, 7));
    eight.SetColor(1, 0, SColor::Red);  // palette images take no colours
    EXPECT_EQ(eight.GetIndex(1, 0), 200u);

    SBitmap four = Made(3, 1, 4);
    four.SetIndex(0, 0, 0xA);
    four.SetIndex(1, 0, 0x5);
    four.SetIndex(2, 0, 0x1F);  // only the nibble is stored
    EXPECT_EQ(four.Row(0)[0], 0xA5);
    EXPECT_EQ(four.Row(0)[1], 0xF0);
    four.SetPaletteEntry(5, SColor::Cyan);
    EXPECT_EQ(four.GetColor(1, 0), SColor::Cyan);
    EXPECT_EQ(four.GetIndex(0, 0), 0xAu);

    for (std::int32_t format : {1, -1}) {
        SBitmap bits = Made(10, 1, format);
        bits.SetPaletteEntry(1, SColor::White);
        bits.Row(0)[0] = 0x40;  // column 1
        bits.Row(0)[1] = 0x80;  // column 8
        EXPECT_EQ(bits.GetColor(0, 0), SColor::Black);
        EXPECT_EQ(bits.GetColor(1, 0), SColor::White);
        EXPECT_EQ(bits.GetColor(8, 0), SColor::White);
        EXPECT_EQ(bits.GetColor(9, 0), SColor::Black);
        EXPECT_EQ(bits.GetIndex(1, 0), 0u);
        bits.SetColor(0, 0, SColor::White);
        EXPECT_EQ(bits.Row(0)[0], 0x40);
    }
}

TEST(BitmapAccessors, GreyFormatsStoreTheGreyValue)
{
    SBitmap grey = Made(2, 1, -8);
    grey.SetColor(0, 0, SColor(10, 10, 10));
    EXPECT_EQ(grey.GetIndex(0, 0), 10u);
    // (200 * 23434 + 100 * 6969 + 50 * 2365) >> 15 = 167
    grey.SetColor(1, 0, SColor(100, 200, 50));
    EXPECT_EQ(grey.GetIndex(1, 0), 167u);
    grey.SetIndex(1, 0, 3);
    EXPECT_EQ(grey.GetIndex(1, 0), 3u);

    SBitmap nibbles = Made(2, 1, -4);
    nibbles.SetColor(0, 0, SColor(100, 200, 50));
    nibbles.SetColor(1, 0, SColor(0x30, 0x30, 0x30));
    EXPECT_EQ(nibbles.Row(0)[0], 0xA3);
}

TEST(BitmapAccessors, CoordinatesWrapAroundBothWays)
{
    SBitmap image = Made(10, 3, 24);
    for (std::int32_t x = 0; x < 10; ++x)
        image.SetColor(x, 0, SColor(std::uint8_t(x), 0, 0));
    EXPECT_EQ(image.GetColor(-1, 0).r, 9);
    EXPECT_EQ(image.GetColor(10, 0).r, 0);
    EXPECT_EQ(image.GetColor(-21, 3).r, 9);
    EXPECT_EQ(image.GetColor(INT32_MIN, -3).r, 2);  // -2147483648 = -214748365 * 10 + 2

    image.SetColor(-1, -1, SColor::Blue);
    EXPECT_EQ(image.GetColor(9, 2), SColor::Blue);
    SBitmap indexed = Made(10, 1, 4);
    indexed.SetIndex(13, 5, 6);
    EXPECT_EQ(indexed.GetIndex(3, 0), 6u);

    SBitmap flat = Made(0, 5, 32);
    EXPECT_EQ(flat.GetColor(-1, 2), SColor());
    flat.SetColor(0, 0, SColor::Red);
    flat.SetIndex(0, 0, 1);
    EXPECT_EQ(flat.GetIndex(0, 0), 0u);
}

TEST(OverRule, ExactFiguresOnOpaqueAndTranslucentDestinations)
{
    // ws = W(127) = 2039, wd = 2056; e.g. red: (W(200) * 2039) >> 16 = (3212 * 2039) >> 16 = 99.
    EXPECT_EQ(Over(SColor(200, 100, 0, 128), SColor(0, 0, 255, 0)), SColor(99, 49, 128, 0));
    // d = (2056 * 2039) >> 12 = 1023, sum = 3062, T = 255 - 191; weights 1368 and 2727.
    EXPECT_EQ(Over(SColor(255, 0, 0, 128), SColor(0, 0, 255, 128)), SColor(170, 0, 85, 64));
    EXPECT_EQ(Over(SColor(10, 20, 30, 200), SColor(40, 50, 60, 0)), SColor(33, 43, 53, 0));
    // Full opacity saturates instead of overflowing.
    EXPECT_EQ(Over(SColor(255, 255, 255, 1), SColor(255, 255, 255, 254)), SColor(255, 255, 255, 1));
}

TEST(OverRule, ExtremeTransparenciesPickOneSide)
{
    SColor d(1, 2, 3, 0);
    EXPECT_EQ(Over(SColor(9, 9, 9, 0), d), SColor(9, 9, 9, 0));
    EXPECT_EQ(Over(SColor(9, 9, 9, 255), d), d);
    EXPECT_EQ(Over(SColor(9, 9, 9, 100), SColor(1, 2, 3, 255)), SColor(9, 9, 9, 100));
    // A fully transparent source leaves even a fully transparent destination as it was.
    EXPECT_EQ(Over(SColor(9, 9, 9, 255), SColor(1, 2, 3, 255)), SColor(1, 2, 3, 255));
}

TEST(BitmapBlend, CompositesOntoTheStoredPixel)
{
    SBitmap image = Made(3, 1, 32);
    image.SetColor(0, 0, SColor(0, 0, 255, 0));
    image.BlendColor(0, 0, SColor(200, 100, 0, 128));
    EXPECT_EQ(image.GetColor(0, 0), SColor(99, 49, 128, 0));  // still opaque

    image.BlendColor(1, 0, SColor(200, 100, 0, 128));  // onto transparent: the colour as it is
    EXPECT_EQ(image.GetColor(1, 0), SColor(200, 100, 0, 128));

    image.SetColor(2, 0, SColor(5, 5, 5, 50));
    image.BlendColor(2, 0, SColor(200, 100, 0, 255));
    EXPECT_EQ(image.GetColor(2, 0), SColor(5, 5, 5, 50));
    image.BlendColor(-1, 0, SColor(7, 7, 7, 0));  // wraps to column 2
    EXPECT_EQ(image.GetColor(2, 0), SColor(7, 7, 7, 0));

    SBitmap rgb = Made(1, 1, 24);
    rgb.BlendColor(0, 0, SColor(0, 0, 0, 128));
    EXPECT_EQ(rgb.GetColor(0, 0), SColor(128, 128, 128));  // (4095 * 2056) >> 16
}

TEST(BitmapFill, FillsTheClippedRectangleOnly)
{
    SBitmap image = Made(4, 3, 32);
    SRect rect{-2, 1, 2, 9};
    image.FillRect(SColor(1, 2, 3, 4), &rect);
    EXPECT_EQ(image.GetColor(0, 1), SColor(1, 2, 3, 4));
    EXPECT_EQ(image.GetColor(1, 2), SColor(1, 2, 3, 4));
    EXPECT_EQ(image.GetColor(2, 1), SColor(0, 0, 0, 255));
    EXPECT_EQ(image.GetColor(0, 0), SColor(0, 0, 0, 255));
    EXPECT_EQ(image.GetColor(3, 2), SColor(0, 0, 0, 255));  // no wrap-around

    for (std::int32_t format : {15, 16, 24}) {
        SBitmap other = Made(5, 2, format);
        other.FillRect(SColor(0x80, 0x80, 0x80));
        EXPECT_EQ(other.GetColor(4, 1), SColor(0x80, 0x80, 0x80)) << format;
        EXPECT_EQ(other.GetColor(0, 0), SColor(0x80, 0x80, 0x80)) << format;
    }
    SBitmap grey = Made(5, 2, -8);
    grey.FillRect(SColor(0x80, 0x80, 0x80));
    EXPECT_EQ(grey.GetIndex(4, 1), 0x80u);

    SBitmap wide = Made(2, 1, 64);
    wide.FillRect(SColor::Red);
    EXPECT_EQ(wide.GetColor(1, 0), SColor::Red);
    EXPECT_EQ(wide.PixelAddress(1, 0)[4], 0);

    SBitmap indexed = Made(2, 1, 8);
    indexed.SetIndex(1, 0, 3);
    indexed.FillRect(SColor::Red);
    EXPECT_EQ(indexed.GetIndex(1, 0), 3u);
}

TEST(BitmapPalette, EntriesWrapAndStayOpaque)
{
    SBitmap image = Made(1, 1, 4);
    image.SetPaletteEntry(-1, SColor(1, 2, 3, 99));
    EXPECT_EQ(image.GetPaletteEntry(15), SColor(1, 2, 3, 0));
    EXPECT_EQ(image.GetPaletteEntry(31), SColor(1, 2, 3, 0));
    SPalette palette = image.GetPalette();
    ASSERT_EQ(palette.Count(), 16);
    EXPECT_EQ(palette.Get(15), SColor(1, 2, 3, 0));
    EXPECT_EQ(palette.Get(0), SColor());

    SBitmap direct = Made(1, 1, 24);
    direct.SetPaletteEntry(0, SColor::Red);
    EXPECT_EQ(direct.GetPaletteEntry(0), SColor());
    EXPECT_TRUE(direct.GetPalette().IsEmpty());
}
