// The SBitmap block: its layout, creation rules and life cycle (copy, temporary hand-over, moves).
#include "RasterFixture.h"
#include "SBitmap.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

using namespace ulib;

namespace {

std::uint32_t HeaderWord(const SBitmap& image, int index)
{
    std::uint32_t v;
    std::memcpy(&v, image.Block() + index * 4, 4);
    return v;
}

std::int32_t InfoWord(const SBitmap& image, int offset)
{
    std::int32_t v;
    std::memcpy(&v, image.InfoHeader() + offset, 4);
    return v;
}

std::uint16_t InfoBitCount(const SBitmap& image)
{
    std::uint16_t v;
    std::memcpy(&v, image.InfoHeader() + 14, 2);
    return v;
}

}  // namespace

TEST(BitmapLayout, HeaderSectionsFollowEachOtherInOrder)
{
    SBitmap image = Made(5, 3, -16);
    ASSERT_EQ(image.Width(), 5);
    const std::uint8_t* b = image.Block();
    EXPECT_EQ(b[0] | b[1] | b[2] | b[3], 0);  // zero word, mask flag, temporary flag
    std::uint32_t total = HeaderWord(image, 1);
    EXPECT_EQ(total, image.BlockSize());
    EXPECT_EQ(HeaderWord(image, 9), total);  // end offset

    std::uint32_t stride = 12;  // 5 pixels of 16 bits, rounded up to 4 bytes
    std::uint32_t info = HeaderWord(image, 2), table = HeaderWord(image, 3), pixels = HeaderWord(image, 4);
    std::uint32_t plane = HeaderWord(image, 5), mask = HeaderWord(image, 6), rows = HeaderWord(image, 7);
    std::uint32_t columns = HeaderWord(image, 8);
    EXPECT_EQ(info, 88u);
    EXPECT_EQ(table, info + 40);
    EXPECT_EQ(pixels, table + 256 * 4);
    EXPECT_EQ(plane, pixels + 3 * stride);
    EXPECT_EQ(mask, plane + 3 * stride);
    EXPECT_EQ(rows, mask);  // no mask plane
    EXPECT_EQ(columns, rows + 4 * 4);
    EXPECT_EQ(total, columns + 6 * 4);

    EXPECT_EQ(HeaderWord(image, 10), 5u);
    EXPECT_EQ(HeaderWord(image, 11), 3u);
    EXPECT_EQ(std::int32_t(HeaderWord(image, 12)), -16);
    EXPECT_EQ(HeaderWord(image, 13), 256u);
    EXPECT_EQ(HeaderWord(image, 14), 0u);  // tag
    EXPECT_EQ(HeaderWord(image, 15), 1u);  // pixel step, halved for two-plane formats
    EXPECT_EQ(HeaderWord(image, 16), stride);
    EXPECT_EQ(HeaderWord(image, 17), 4u);  // mask stride: 5 bits rounded up to 32

    EXPECT_EQ(InfoWord(image, 0), 40);
    EXPECT_EQ(InfoWord(image, 4), 5);
    EXPECT_EQ(InfoWord(image, 8), 3);  // positive height: bottom-up
    EXPECT_EQ(InfoBitCount(image), 8);
    EXPECT_EQ(image.DibSize(false), 40 + 1024 + 3 * stride);
    EXPECT_EQ(image.DibSize(true), 14 + 40 + 1024 + 3 * stride);
}

TEST(BitmapLayout, RowsAreStoredBottomUpThroughTheTables)
{
    SBitmap image = Made(7, 3, 24);
    EXPECT_EQ(image.Row(0) - image.PixelArea(), 2 * image.Stride());
    EXPECT_EQ(image.Row(2) - image.PixelArea(), 0);
    EXPECT_EQ(image.PixelAddress(6, 1) - image.PixelArea(), image.Stride() + 18);
    std::int32_t lastRow;
    std::memcpy(&lastRow, image.Block() + HeaderWord(image, 7) + 3 * 4, 4);
    EXPECT_EQ(lastRow, -image.Stride());
    EXPECT_EQ(image.PixelAreaSize(), std::size_t(3 * image.Stride()));
}

TEST(BitmapLayout, StridesAndBitCountsPerFormat)
{
    EXPECT_EQ(Made(1, 1, 24).Stride(), 4);
    EXPECT_EQ(Made(33, 1, 1).Stride(), 8);
    EXPECT_EQ(Made(9, 1, 4).Stride(), 8);
    EXPECT_EQ(Made(3, 1, 48).Stride(), 20);
    EXPECT_EQ(InfoBitCount(Made(3, 1, 48)), 24);
    EXPECT_EQ(InfoBitCount(Made(3, 1, 64)), 32);
    EXPECT_EQ(HeaderWord(Made(3, 1, 48), 15), 3u);
    EXPECT_EQ(HeaderWord(Made(3, 1, 64), 15), 4u);
    EXPECT_EQ(Made(1, 1, 1).PaletteCount(), 2);
    EXPECT_EQ(Made(1, 1, -4).PaletteCount(), 16);
    EXPECT_EQ(Made(1, 1, 32).PaletteCount(), 0);
}

TEST(BitmapLayout, FiveFiveFiveTakesSixteenBitsAndCarriesItsMasks)
{
    SBitmap image = Made(3, 2, 15);
    EXPECT_EQ(image.Stride(), 8);
    EXPECT_EQ(InfoBitCount(image), 16);
    EXPECT_EQ(HeaderWord(image, 15), 2u);
    EXPECT_EQ(image.PixelAddress(2, 0) - image.Row(0), 4);
    EXPECT_EQ(HeaderWord(image, 3), HeaderWord(image, 2) + 52);
    EXPECT_EQ(InfoWord(image, 40), 0x7C00);
    EXPECT_EQ(InfoWord(image, 44), 0x03E0);
    EXPECT_EQ(InfoWord(image, 48), 0x001F);
    EXPECT_EQ(InfoWord(Made(1, 1, 16), 40), 0xF800);

    // Neighbouring pixels must not overlap.
    image.SetColor(0, 0, SColor(248, 0, 8));
    image.SetColor(1, 0, SColor(0, 248, 0));
    image.SetColor(2, 0, SColor(8, 16, 248));
    EXPECT_EQ(image.GetColor(0, 0), SColor(248, 0, 8));
    EXPECT_EQ(image.GetColor(1, 0), SColor(0, 248, 0));
    EXPECT_EQ(image.GetColor(2, 0), SColor(8, 16, 248));
    EXPECT_EQ(image.GetColor(0, 1), SColor(248, 248, 248));  // untouched white
}

TEST(BitmapCreate, SizesAndFormatsOutsideTheRangeRelease)
{
    SBitmap image = Made(0, 0, 24);
    EXPECT_EQ(image.Dimensions(), (SPoint{0, 0}));
    EXPECT_EQ(image.Format(), 24);

    image.Create(4, 4, 32);
    image.Create(12001, 10, 24);
    EXPECT_EQ(image.Dimensions(), (SPoint{0, 0}));
    EXPECT_TRUE(image.IsPristine());

    image.Create(4, 4, 32);
    image.Create(4, 4, 12);
    EXPECT_EQ(image.Width(), 0);
    image.Create(4, -1, 24);
    EXPECT_EQ(image.Width(), 0);

    image.Create(12000, 1, 1);
    EXPECT_EQ(image.Width(), 12000);
}

TEST(BitmapCreate, FillsWhiteOrZeroAndKeepsContentsWhenNothingChanges)
{
    // 0xFF bytes read back as the brightest value each packing can hold.
    EXPECT_EQ(Made(2, 2, 15).GetColor(1, 1), SColor(248, 248, 248));
    EXPECT_EQ(Made(2, 2, 16).GetColor(1, 1), SColor(248, 252, 248));
    EXPECT_EQ(Made(2, 2, 24).GetColor(1, 1), SColor::White);
    EXPECT_EQ(Made(2, 2, 48).GetColor(1, 1), SColor::White);
    for (std::int32_t format : {-16, -8, -4, -1, 1, 4, 8, 32, 64}) {
        SBitmap image = Made(2, 2, format);
        EXPECT_EQ(image.GetIndex(1, 1), 0u) << format;
        EXPECT_EQ(image.Row(1)[0], 0) << format;
    }
    EXPECT_EQ(Made(2, 2, 32).GetColor(0, 0), SColor(0, 0, 0, 255));

    SBitmap image = Made(2, 2, 24);
    image.SetColor(1, 1, SColor::Red);
    image.Create(2, 2, 24);
    EXPECT_EQ(image.GetColor(1, 1), SColor::Red);
}

TEST(BitmapCreate, KeepCarriesTagResolutionsAndTableButNeverPixels)
{
    SBitmap image = Made(4, 4, 8);
    image.SetResolutionX(3780);
    image.SetResolutionY(2835);
    for (int i = 0; i < 256; ++i)
        image.SetPaletteEntry(i, SColor(std::uint8_t(i), 1, 2));
    image.SetIndex(0, 0, 9);

    image.Create(6, 2, 4, true);
    ASSERT_EQ(image.Dimensions(), (SPoint{6, 2}));
    EXPECT_EQ(image.ResolutionX(), 3780);
    EXPECT_EQ(image.ResolutionY(), 2835);
    EXPECT_EQ(image.GetPaletteEntry(15), SColor(15, 1, 2));
    EXPECT_EQ(image.GetIndex(0, 0), 0u);

    // Growing the table: entries beyond the old one start at 0.
    image.Create(6, 2, 8, true);
    EXPECT_EQ(image.GetPaletteEntry(15), SColor(15, 1, 2));
    EXPECT_EQ(image.GetPaletteEntry(16), SColor());

    SBitmap photo = Made(3, 3, 24);
    photo.SetResolutionX(100);
    photo.FillRect(SColor::Blue);
    photo.Create(5, 5, 32, true);
    EXPECT_EQ(photo.GetColor(4, 4), SColor(0, 0, 0, 255));
    EXPECT_EQ(photo.ResolutionX(), 100);
    photo.Create(2, 2, 24, true);
    EXPECT_EQ(photo.GetColor(0, 0), SColor::White);

    photo.Create(2, 3, 24);
    EXPECT_EQ(photo.ResolutionX(), 0);
}

TEST(BitmapLifecycle, EmptyImageIsSharedPristineAndNeverWritten)
{
    SBitmap a, b;
    EXPECT_EQ(a.Block(), b.Block());
    EXPECT_TRUE(a.IsPristine());
    EXPECT_EQ(a.GetColor(3, 3), SColor());
    EXPECT_EQ(a.GetIndex(0, 0), 0u);
    a.SetColor(0, 0, SColor::Red);  // nothing to write: must not touch the shared block
    a.BlendColor(0, 0, SColor(1, 2, 3, 100));
    a.FillRect(SColor::Red);
    a.SetPaletteEntry(0, SColor::Red);
    a.MarkTemporary();
    EXPECT_EQ(a.Block()[3], 0);
    EXPECT_EQ(a.GetPaletteEntry(0), SColor());
    EXPECT_TRUE(a.GetPalette().IsEmpty());

    a.SetResolutionX(3780);
    EXPECT_NE(a.Block(), b.Block());
    EXPECT_EQ(a.Dimensions(), (SPoint{0, 0}));
    EXPECT_EQ(a.Format(), 24);
    EXPECT_EQ(a.ResolutionX(), 3780);
    EXPECT_FALSE(a.IsPristine());
    EXPECT_EQ(b.ResolutionX(), 0);
    a.Release();
    EXPECT_EQ(a.Block(), b.Block());
}

TEST(BitmapLifecycle, CopiesAreIndependentWorkingBlocks)
{
    SBitmap a = Made(3, 2, 32);
    a.SetColor(2, 1, SColor(1, 2, 3, 4));
    SBitmap b(a);
    ASSERT_NE(b.Block(), a.Block());
    EXPECT_EQ(std::memcmp(a.Block(), b.Block(), a.BlockSize()), 0);
    // The copy lives at another address; its accessors must still find its own pixels.
    b.SetColor(2, 1, SColor::Green);
    EXPECT_EQ(b.GetColor(2, 1), SColor::Green);
    EXPECT_EQ(a.GetColor(2, 1), SColor(1, 2, 3, 4));

    SBitmap c = Made(9, 9, 8);
    c = a;
    EXPECT_EQ(c.Dimensions(), (SPoint{3, 2}));
    EXPECT_EQ(c.GetColor(2, 1), SColor(1, 2, 3, 4));
    c = SBitmap();
    EXPECT_EQ(c.Block(), SBitmap().Block());
}

TEST(BitmapLifecycle, AssignTakesOverTemporaryBlocksOnly)
{
    SBitmap target = Made(2, 2, 24);
    SBitmap source = Made(4, 4, 32);
    const std::uint8_t* sourceBlock = source.Block();
    const std::uint8_t* targetBlock = target.Block();

    target.Assign(source);  // plain copy
    EXPECT_NE(target.Block(), sourceBlock);
    EXPECT_EQ(source.Block(), sourceBlock);
    EXPECT_EQ(target.Width(), 4);

    source.MarkTemporary();
    EXPECT_EQ(source.Block()[3], 1);
    targetBlock = target.Block();
    target.Assign(source);  // swap
    EXPECT_EQ(target.Block(), sourceBlock);
    EXPECT_EQ(source.Block(), targetBlock);
    EXPECT_EQ(target.Block()[3], 0);
    EXPECT_EQ(source.Block()[3], 0);

    SBitmap empty;
    target.Assign(empty);
    EXPECT_EQ(target.Block(), empty.Block());
}

TEST(BitmapLifecycle, MovesAndSwapsHandBlocksOverAndClearTheFlag)
{
    SBitmap a = Made(2, 2, 24);
    a.MarkTemporary();
    const std::uint8_t* block = a.Block();
    SBitmap b(std::move(a));
    EXPECT_EQ(b.Block(), block);
    EXPECT_TRUE(a.IsPristine());
    // A moved block has an owner now: assigning from it copies instead of taking the picture away.
    EXPECT_EQ(b.Block()[3], 0);
    SBitmap c;
    c.Assign(b);
    EXPECT_EQ(b.Block(), block);

    SBitmap d = Made(5, 1, 8);
    d = std::move(b);
    EXPECT_EQ(d.Block(), block);
    EXPECT_EQ(b.Width(), 0);

    SBitmap e = Made(1, 7, 1);
    e.MarkTemporary();
    d.Swap(e);
    EXPECT_EQ(d.Width(), 1);
    EXPECT_EQ(e.Block(), block);
    EXPECT_EQ(d.Block()[3], 0);
}

TEST(BitmapDraw, HandsTheStoredPixelsToThePlatform)
{
    test::SScriptedPlatform platform;
    test::ScopedPlatform installed(platform);
    int target = 0;
    auto* surface = reinterpret_cast<SDrawSurface*>(&target);

    EXPECT_EQ(SBitmap().Draw(surface, 0, 0), 0u);
    EXPECT_TRUE(platform.Draws().empty());

    SBitmap image = Made(4, 3, 24);
    EXPECT_EQ(image.Draw(surface, 5, 6), 0u);
    ASSERT_EQ(platform.Draws().size(), 1u);
    test::SScriptedPlatform::DrawCall call = platform.Draws()[0];
    EXPECT_EQ(call.surface, surface);
    EXPECT_EQ(call.at, (SPoint{5, 6}));
    EXPECT_EQ(call.source, image.Bounds());
    EXPECT_EQ(call.pixels.infoHeader, image.InfoHeader());
    EXPECT_EQ(call.pixels.pixels, image.PixelArea());
    EXPECT_EQ(call.pixels.stride, 12);
    EXPECT_EQ(call.pixels.bitCount, 24);

    // The part that reaches outside is cut off without moving the rest.
    SRect part{-2, 1, 3, 9};
    EXPECT_EQ(image.Draw(surface, 5, 6, &part), 0u);
    call = platform.Draws().back();
    EXPECT_EQ(call.source, (SRect{0, 1, 3, 3}));
    EXPECT_EQ(call.at, (SPoint{7, 6}));

    SRect outside{4, 0, 9, 3};
    EXPECT_EQ(image.Draw(surface, 0, 0, &outside), 0u);
    EXPECT_EQ(platform.Draws().size(), 2u);

    platform.SetDrawResult(ErrorFromIdentifier("io"));
    EXPECT_EQ(image.Draw(surface, 0, 0), ErrorFromIdentifier("io"));
}

TEST(BitmapDraw, TwoPlaneFormatsAreDrawnAsTheHeaderDescribesThem)
{
    // Keeps the pixels it was handed, which live only for the call.
    struct Keeper : test::SScriptedPlatform
    {
        std::vector<std::uint8_t> rows;
        SError DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source) override
        {
            rows.assign(pixels.pixels, pixels.pixels + std::size_t(pixels.stride) * std::size_t(pixels.height));
            return SScriptedPlatform::DrawPixels(surface, at, pixels, source);
        }
    } platform;
    test::ScopedPlatform installed(platform);

    SBitmap image = Made(5, 2, 48);
    image.SetColor(1, 1, SColor(3, 2, 1));  // image row 1 is the first stored row
    image.PixelAddress(0, 1)[3] = 0x55;     // the second half of pixel 0 must not show
    EXPECT_EQ(image.Draw(nullptr, 0, 0), 0u);
    ASSERT_EQ(platform.Draws().size(), 1u);
    EXPECT_EQ(platform.Draws()[0].pixels.bitCount, 24);
    EXPECT_EQ(platform.Draws()[0].pixels.stride, 16);  // 5 * 3 bytes rounded up, not the stored 32
    ASSERT_EQ(platform.rows.size(), 32u);
    EXPECT_EQ((std::vector<std::uint8_t>(platform.rows.begin(), platform.rows.begin() + 7)),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 1, 2, 3, 0xFF}));
}

TEST(BitmapCreate, ResetPixelsRestoresTheFreshFillInPlace)
{
    SBitmap white = Made(3, 2, 24);
    white.SetColor(1, 1, SColor(1, 2, 3));
    const std::uint8_t* before = white.PixelArea();
    white.ResetPixels();
    EXPECT_EQ(white.PixelArea(), before);
    EXPECT_EQ(white.GetColor(1, 1), SColor::White);

    SBitmap clear = Made(3, 2, 32);
    clear.SetColor(2, 0, SColor(9, 9, 9));
    clear.ResetPixels();
    EXPECT_EQ(clear.Row32(0)[2], 0u);
}

TEST(BitmapCreate, TheAlphaMarkTravelsWithCopiesAndNotIntoNewImages)
{
    SBitmap empty;
    empty.SetHasAlpha(true);  // the shared empty image is never written
    EXPECT_FALSE(SBitmap().HasAlpha());

    SBitmap picture = Made(4, 3, 32);
    EXPECT_FALSE(picture.HasAlpha());
    picture.SetHasAlpha(true);
    const SBitmap copy = picture;
    EXPECT_TRUE(copy.HasAlpha());
    picture.Create(5, 3, 32, true);
    EXPECT_FALSE(picture.HasAlpha());
}
